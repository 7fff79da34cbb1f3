// Every file Skeld writes goes through here: generated files are written in
// place, never through a link; the personality is written beside itself and
// replaces itself in one step.
#pragma once

#include <string>
#include <string_view>

#include "platform.h"

// What became of a write. The message names the path and the reason; it is
// empty on success.
struct [[nodiscard]] write_result {
    enum class status { ok, cannot_create, write_failed };
    status outcome = status::ok;
    std::string reason;

    bool ok() const { return outcome == status::ok; }
    // The failure's line: cannot_create_line when the file could not be
    // created (each kind of file has its own), else what went wrong with path.
    std::string failure_line(const std::string& cannot_create_line, const std::string& path) const;
};

// Creates or empties path and writes text with the platform's line ends. A
// link, or anything else there that is not a plain file of its own, is
// replaced by a regular file: what it led to is never written.
write_result write_generated_file(const std::string& path, std::string_view text);
// The same for bytes already in the file's form; stamp, when given, gets the
// written file's stamp as platform::file::close gives it.
write_result write_generated_bytes(const std::string& path, std::string_view bytes,
                                   platform::file_stamp* stamp = nullptr);

// Creates one directory level of the output. Fine when a real directory is
// there already; refused (false) when a link is there, which the output must
// never be written through.
enum class directory_status { ok, not_created, link };
[[nodiscard]] directory_status make_output_directory(const std::string& path);

// The line that refuses a link met in the output.
std::string link_refusal(const std::string& path);

// A file that replaces another in one step: written under a unique name
// beside the target and moved over it by commit(); never committed, it is
// removed by the destructor.
class replacement_file {
public:
    explicit replacement_file(std::string target);
    replacement_file(const replacement_file&) = delete;
    replacement_file& operator=(const replacement_file&) = delete;
    ~replacement_file();

    // Creates the new file, with the mode and owner of the one it replaces.
    [[nodiscard]] bool open(const platform::file& replaced);
    // Creates the new file with the usual mode, for a target that may not exist.
    [[nodiscard]] bool open();
    [[nodiscard]] bool write(std::string_view bytes);
    // Flushes to the disk, closes and moves the new file over the target.
    [[nodiscard]] bool commit();

private:
    std::string target_;
    std::string temporary_;
    platform::file file_;
    bool committed_ = false;
};

// A file that grows a piece at a time, each piece handed to the system at
// once: what a killed process wrote is there (a journal). Created at the
// first piece, at path, emptied, never through a link, as generated files
// are; later pieces go to the file already open, whatever path says.
class journal_file {
public:
    [[nodiscard]] bool append(const std::string& path, std::string_view text);
    bool is_open() const { return file_.is_open(); }
    [[nodiscard]] bool close();

private:
    platform::file file_;
};
