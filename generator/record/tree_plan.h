// What a run writes into the output folder, gathered as the steps go: every
// directory, and every file with a digest of its bytes. A run carries each
// file out as it comes, writing only what would change, each named in the
// journal before it is written; --check compares and writes nothing. The
// record and the clean-up of what an earlier run wrote are made from the
// same plan.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "output_file.h"
#include "platform.h"
#include "run_progress.h"
#include "tree_record.h"
#include "work_share.h"

// Whether a file's stamp now vouches that it holds the bytes the record
// names, so that it need not be read: the record kept its stamp (taken after
// the last write), the stamp has not moved, and the file was written before
// the record itself. One written as late as the record could have been
// written again within the same tick of the clock, keeping its size and
// time: it is read.
bool stamp_vouches(std::optional<std::uint64_t> recorded, const platform::file_stamp& now, std::int64_t record_written_at);

class tree_plan {
public:
    enum class mode { run, check };

    // output: the output folder as given. earlier: the record found there,
    // or null; the files the plan takes over are moved out of it, so that it
    // keeps only those this run does not write. fresh: nothing of a tree is
    // there yet, so no file needs comparing before it is written. carried:
    // the lines of a journal a stopped run left, which this run's journal
    // starts with: it never forgets what that run wrote.
    void start(std::string output, mode how, tree_record* earlier, bool fresh, std::string carried = {});

    bool checking() const { return mode_ == mode::check; }
    // Whether the plan asks the stamps of the files there (none in a fresh
    // output); a caller that took the stamp of the file it plans next, in a
    // thread of its own, hands it over with stamp_known.
    bool asks_stamps() const { return !fresh_; }
    void stamp_known(std::string path, std::optional<platform::file_stamp> stamp)
    {
        known_path_ = std::move(path);
        known_stamp_ = stamp;
    }
    // Told of every file the plan handles.
    void report_progress(run_progress* progress) { progress_ = progress; }

    // A directory of the output (links refused, as make_output_directory);
    // in a check nothing is created.
    [[nodiscard]] directory_status directory(const std::string& path);
    // A file of the output with its text (line feeds; stored with the
    // platform's line ends). Not written when the file there already holds
    // exactly these bytes.
    write_result file(const std::string& path, std::string_view text);
    // The same, for a caller that knows the path relative to the output.
    write_result file(const std::string& path, std::string_view text, std::string rel);

    // The same, for a forwarding header: a file to write waits with the
    // others of its directory, and their journal lines go to the system in
    // one write before any of them is written. What failed, when writing an
    // earlier directory's files now (or at flush(), the rest), is returned.
    struct failed_write {
        std::string path;
        write_result result;
    };
    [[nodiscard]] std::optional<failed_write> file_with_its_directory(const std::string& path, std::string_view text,
                                                                      std::string rel);
    [[nodiscard]] std::optional<failed_write> flush();

    // With a share of threads, the files a flush hands to the journal wait
    // there, their lines in the journal already, and write_deferred() writes
    // them all at once among the threads, with `more` other jobs beside them
    // (other(i, thread) for i below more: the next files' reading); what
    // failed first in plan order is returned. Null: each flush writes its
    // files itself.
    void share_writes(work_share* share) { share_ = share; }
    [[nodiscard]] std::optional<failed_write> write_deferred(std::size_t more = 0,
                                                             const work_share::job_type& other = {});
    // The same in two halves, so that the caller plans the next files while
    // the threads write: start_deferred() hands the files journalled so far
    // and the other jobs to the threads and returns at once; files planned
    // meanwhile wait for the next start. wait_deferred() returns when all
    // are done, with what failed first among the writes.
    void start_deferred(std::size_t more, work_share::job_type other);
    [[nodiscard]] std::optional<failed_write> wait_deferred();

    // The plan's files so far, in plan order, as the record holds them, and
    // how many; paths relative to the output with '/'. A path is planned
    // once: a step never writes another's file.
    recorded_files& files() { return files_; }
    // Takes the stamps the closes of written files could not give (see
    // platform::file::close) from their directories' listings, each
    // directory listed once; before the record is made from files().
    void stamp_the_rest();
    std::size_t file_count() const { return files_.entries().size(); }
    const std::set<std::string>& directories() const { return directories_; }

    // The path relative to the output folder, '/' between components.
    std::string relative(std::string_view path) const;

    std::size_t written = 0;    // or, in a check, would be
    std::size_t unchanged = 0;
    // In a check, the files a run would write, in plan order.
    std::vector<std::string> changed_paths;
    // Files a user changed since the earlier run wrote them, which this run
    // wrote again; files no record of Skeld's names, which it replaced.
    std::vector<std::string> rewritten_after_user_change;
    std::vector<std::string> replaced_unknown;
    // Files and directories not written, since the record could not hold
    // their names (a ".." between backslashes, a name byte on POSIX): the
    // record would then be refused by every later read.
    std::vector<std::string> unrecordable;
    // Whether the record can hold rel (relative to the output, '/' between
    // components); when not, it is named in unrecordable. A writer asks
    // before it reads what it would write from.
    bool takes(const std::string& rel, bool directory = false);

    // Whether this run wrote anything: then it leaves a record, whatever ends it.
    bool wrote_anything() const { return journal_.is_open(); }
    // The journal is done with once the record is written.
    [[nodiscard]] bool close_journal() { return journal_.close(); }

private:
    std::optional<std::string> bytes_there(const std::string& path) const;
    // The stamp of the plain file at path, asked as a walk goes (see
    // platform::walk_stamps), or nothing.
    std::optional<platform::file_stamp> stamp_there(const std::string& path);
    // Puts the stamps of the files just written into their entries where
    // their close gave them; the others wait for stamp_the_rest().
    struct written_file {
        const std::string* path;
        std::size_t entry;
        platform::file_stamp stamp;
    };
    void stamp_written(const std::vector<written_file>& written);
    // Plans the file; true when it must be written (in a run), its bytes
    // then in bytes and its entry at `entry` of files().
    bool plan_file(const std::string& path, std::string_view text, std::string& rel, std::string& bytes,
                   std::size_t& entry);
    // Its journal line.
    void append_line(std::string& lines, std::size_t entry) const;
    // Hands the journal's lines to the system before what they name is
    // written; false when it cannot, and then nothing is written.
    [[nodiscard]] bool journal(std::string_view lines);

    mode mode_ = mode::run;
    std::string output_;
    tree_record* earlier_ = nullptr;
    bool fresh_ = true;
    std::string carried_;
    recorded_files files_;
    std::size_t next_recorded_ = 0;  // where the earlier record's next file likely stands
    std::set<std::string> directories_;
    std::set<std::string> skipped_directories_;  // whose names the record cannot hold
    journal_file journal_;
    // The files waiting for their directory's journal write.
    struct waiting_file {
        std::string path;
        std::string bytes;
        std::size_t entry;  // in files_
    };
    std::vector<waiting_file> waiting_;
    std::string waiting_lines_;
    std::string waiting_directory_;
    work_share* share_ = nullptr;
    std::vector<waiting_file> deferred_;  // journalled, not yet written
    std::vector<waiting_file> writing_;   // being written by the threads
    struct write_outcome {
        write_result result;
        platform::file_stamp stamp;
    };
    std::vector<write_outcome> outcomes_;  // one a file being written
    bool in_flight_ = false;
    std::vector<std::size_t> unstamped_;  // entries of written files without a stamp yet
    run_progress* progress_ = nullptr;
    platform::walk_stamps listed_;
    std::string known_path_;  // stamp_known's, for the file planned next
    std::optional<platform::file_stamp> known_stamp_;
};
