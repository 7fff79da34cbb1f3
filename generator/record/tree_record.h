// The record a run leaves in the output folder: what it was made from and
// every file and directory it wrote, each file with a digest of its bytes. A
// later run reads it to converge, --remove to take the tree away.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "path_table.h"

// The record's file name, directly in the output folder.
inline constexpr const char* record_name = "skeld-record.txt";
// What a run is about to write, kept while it writes: a run that is stopped
// before its record is written leaves its files known. The record replaces it.
inline constexpr const char* journal_name = "skeld-journal.txt";

// A recorded path (relative, '/' between components) in the output folder.
std::string path_in_output(const std::string& output, std::string_view relative);

// A short digest of a file's bytes (digest_fold over eight bytes at a time), written as 16 hex digits.
using digest = std::uint64_t;
digest digest_of(std::string_view bytes);

// A file of the record: the digest of the bytes Skeld wrote there, and its
// stamp as it was after that write, when the line carries one.
struct file_entry : path_entry {
    digest value = 0;
    std::uint64_t stamp = 0;
    bool stamped = false;
    // Named by a journal: a run killed between creating the file and writing
    // it left it empty, and empty it is still Skeld's. Its line wins over the
    // record's.
    bool journalled = false;
    bool overrides() const { return journalled; }
};
using recorded_files = path_table<file_entry>;

// What the include scan found in one Boost file, and the file's change
// stamp when it was read: a run again reads only files whose stamp moved.
struct scanned_source : path_entry {
    std::uint64_t stamp = 0;
    std::string includes;  // each name ended by a line feed: one string a file
    bool overrides() const { return false; }
};
using recorded_sources = path_table<scanned_source>;

struct tree_record {
    std::string made_by;     // the Skeld that wrote it
    std::string scan_rules;  // the include scan's rules: other rules scan again
    std::string output;      // the output as the run was given it
    std::string output_folder;  // and resolved: a copy or a move names another
    std::string boost_folder;
    std::string boost_version;  // "1.74.0", or empty when version.hpp does not say
    std::string personality;       // as given
    std::string personality_file;  // the file edited: links resolved
    std::string data_folder;
    // The lines Skeld's runs into this output added to the personality and
    // that it still holds: at its top, at its end, and whether a line end was
    // put after its last line. Nothing else is ever taken out of it.
    std::vector<std::string> added_top;
    std::vector<std::string> added_end;
    bool added_line_end = false;
    // The lines a run found the personality holding for this output when no
    // record said who added them (one was lost or could not be trusted):
    // entries naming the output, and then the settings it held. --remove
    // names those it leaves for the user to take out.
    std::vector<std::string> found_top;
    std::vector<std::string> found_end;
    // The files an earlier record and journal name, paths relative to the
    // output folder with '/' between components; a run marks those it takes
    // over, and what stays is written out by path. A file's stamp lets a
    // later run trust its bytes to be the recorded ones while it still shows
    // it and was written before the record (see stamp_vouches).
    recorded_files files;
    // This run's files, in plan order: the plan's own table, moved in.
    recorded_files planned;
    // The record file's own modification time as read (0 when unknown).
    std::int64_t written_at = 0;
    std::set<std::string> directories;
    // By path relative to the Boost folder, '/' between components.
    recorded_sources sources;
    // The sources a run scanned, already as the record's lines (see
    // append_source_lines).
    std::string source_lines;
    std::string end_line;  // as read: it seals the text above it
};

// The record's and the journal's line for a file: "File: DIGEST PATH", or
// "File: DIGEST/STAMP PATH" with its stamp. The one place a file's line is made.
void append_file_line(std::string& lines, std::string_view path, const file_entry& entry);
// The record's line for a directory, and its lines for a scanned source.
void append_directory_line(std::string& lines, std::string_view path);
void append_source_lines(std::string& lines, std::uint64_t stamp, std::string_view path, std::string_view includes);

// The Skeld that is running, as a record names it, and its include scan's rules.
std::string this_skeld();
std::string this_scan_rules();

// A value as the record holds it: a control character, and a backslash that
// would read as an escape, as \xHH; and back, false when malformed.
std::string record_escaped(std::string_view value);
bool record_unescaped(std::string_view value, std::string& plain);
// A path the record may hold: relative, '/' between non-empty components,
// none of them "..", no drive. A "." component leads nowhere and may stand.
bool record_path(std::string_view path);

// The record's text: a few lines of what the tree was made from, then one
// line per directory and file, and a last line that counts them and seals
// the text above it, so that a truncated or edited record is told apart.
std::string record_text(const tree_record& record);

// The record in text, or nullopt with why it cannot be trusted: damaged,
// truncated, edited, or naming a path that leads outside the output folder.
std::optional<tree_record> parse_record(std::string text, std::string& why_not);

// The Boost version that boost/version.hpp's BOOST_VERSION states, as
// "major.minor.patch"; empty when the text does not state it.
std::string boost_version_of(std::string_view version_hpp);

// The files and directories a journal lists, added to record (a journal
// comes after the record it would replace, so its lines win, its files
// marked journalled); lines that are not whole or name no plain path are
// passed over.
void add_journal(std::string_view text, tree_record& record);
// Whether bytes are what the record says Skeld wrote there: its digest, or
// nothing at all where a journal names the file.
bool holds_what_skeld_wrote(const file_entry& recorded, std::string_view bytes);
// A journal's first line; File and Directory lines follow.
std::string journal_head();

// What reading the output folder's record found.
struct record_lookup {
    enum class status { none, ok, untrusted };
    status outcome = status::none;
    tree_record record;
    std::string why_not;  // for untrusted: the line that says so
    // A journal was there: a run stopped before writing its record. Its
    // files are in record (and make it ok when no record was there).
    bool journal = false;
    // Its whole lines after its head: a run takes them into its own journal
    // first, so that a second stopped run still names what the first wrote.
    std::string journal_lines;
    // A journal there that cannot be read: the line that says why. Nothing
    // may then replace it, or what the stopped run wrote would be forgotten.
    std::string journal_unreadable;
};
// Reads the record in output and the journal beside it; a record that is a
// link, or is not a regular file, is untrusted.
record_lookup read_record(const std::string& output);

// The last line record_text would end with: the same line, the same text.
std::string record_end_line(const tree_record& record);

// Puts the record into output in one step, unless the record there holds the
// same text already, then removes the journal. False when it cannot, with the
// line that says why.
// earlier_end: the last line of the record read at the start, which seals
// its text.
[[nodiscard]] bool write_record(const std::string& output, const tree_record& record, const std::string& earlier_end,
                                std::string& failure);

// The line velk shows under the output field: for which Boost the tree in
// the output was made, and whether the Boost chosen now (its folder, or the
// version its version.hpp states) is another. Empty when the output holds no
// record.
// With the chosen personality given, a tree another personality still names
// is said to be that one's: a run there stops.
std::string tree_status_line(const record_lookup& lookup, const std::string& chosen_boost,
                             const std::string& chosen_version, const std::string& chosen_personality = {});

// The version a Boost folder's version.hpp states; empty when it cannot tell.
std::string version_of_boost(const std::string& boost_folder);
