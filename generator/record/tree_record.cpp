#include "tree_record.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "digest_fold.h"
#include "include_scan.h"
#include "output_file.h"
#include "paths.h"
#include "personality_trees.h"
#include "record_paths.h"
#include "text_files.h"

namespace {

// The seal: digest_of's mixing, fed piece by piece, so that the text can be
// sealed as it is written without being joined first.
class seal {
public:
    void add(std::string_view bytes)
    {
        std::size_t i = 0;
        while (pending_size_ > 0 && pending_size_ < 8 && i < bytes.size())
            pending_[pending_size_++] = bytes[i++];
        if (pending_size_ == 8) {
            mix(pending_);
            pending_size_ = 0;
        }
        for (; i + 8 <= bytes.size(); i += 8)
            mix(bytes.data() + i);
        while (i < bytes.size())
            pending_[pending_size_++] = bytes[i++];
    }
    digest value() const
    {
        digest hash = value_;
        for (std::size_t i = 0; i < pending_size_; ++i)
            hash = digest_fold::fold(hash, static_cast<unsigned char>(pending_[i]));
        return hash;
    }

private:
    void mix(const char* eight)
    {
        std::uint64_t word;
        std::memcpy(&word, eight, 8);
        value_ = digest_fold::fold(value_, word);
        value_ ^= value_ >> 32;
    }

    digest value_ = digest_fold::start;
    char pending_[8] = {};
    std::size_t pending_size_ = 0;
};

}  // namespace

std::string path_in_output(const std::string& output, std::string_view relative)
{
    std::string native(relative);
    for (char& c : native)
        if (c == '/')
            c = platform::path_separator;
    return paths::join(output, native);
}

digest digest_of(std::string_view bytes)
{
    seal sealed;
    sealed.add(bytes);
    return sealed.value();
}

namespace {

// 16 hex digits appended in place: no string of their own per line.
void append_hex(std::string& text, digest value)
{
    const std::size_t at = text.size();
    text.resize(at + 16);
    for (std::size_t i = 16; i-- > 0; value >>= 4)
        text[at + i] = "0123456789abcdef"[value & 15];
}

constexpr std::string_view heading =
    "# Skeld's record of the tree it wrote in this folder. Skeld reads it when it\n"
    "# runs again and when it removes the tree (Skeld --remove): please leave it\n"
    "# as it is. Each file line holds a digest of what Skeld wrote there. The\n"
    "# text is UTF-8; a control character in a value is written \\xHH.\n"
    "Skeld record 3\n";
// Skeld 1.6 wrote format 2: the same heading and lines, without the findings.
bool written_in_format_2(std::string_view text)
{
    return text.starts_with(heading.substr(0, heading.size() - 2)) && text.substr(heading.size() - 2, 2) == "2\n";
}

constexpr std::string_view journal_heading = "Skeld journal 2\n";

std::string end_line(std::size_t directories, std::size_t files, digest sealed)
{
    std::string line = "End: " + std::to_string(directories) + " directories, " + std::to_string(files) + " files, seal ";
    append_hex(line, sealed);
    return line + "\n";
}

// A line's value after its key, unescaped; a malformed escape counts as a
// line the reader does not know.
bool take(std::string_view line, std::string_view key, std::string& value, bool& well_formed)
{
    if (!line.starts_with(key))
        return false;
    well_formed = record_unescaped(line.substr(key.size()), value) && well_formed;
    return true;
}

bool needs_escape(unsigned char c, std::string_view rest)
{
    return c < 0x20 || c == 0x7f || (c == '\\' && rest.starts_with('x'));
}

int hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string this_skeld()
{
    return "Skeld " HEADWRIGHT_VERSION;
}

std::string this_scan_rules()
{
    return include_scan_rules;
}

std::string record_escaped(std::string_view value)
{
    std::string text;
    text.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(value[i]);
        if (!needs_escape(c, value.substr(i + 1))) {
            text.push_back(static_cast<char>(c));
            continue;
        }
        text.append("\\x");
        text.push_back("0123456789abcdef"[c >> 4]);
        text.push_back("0123456789abcdef"[c & 15]);
    }
    return text;
}

namespace {

// record_unescaped's work, appended to plain.
bool append_unescaped(std::string_view value, std::string& plain)
{
    if (value.find('\\') == std::string_view::npos) {
        plain.append(value);
        return true;
    }
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size() || value[i + 1] != 'x') {
            plain.push_back(value[i]);
            continue;
        }
        const int high = i + 2 < value.size() ? hex_value(value[i + 2]) : -1;
        const int low = i + 3 < value.size() ? hex_value(value[i + 3]) : -1;
        if (high < 0 || low < 0)
            return false;
        plain.push_back(static_cast<char>(high * 16 + low));
        i += 3;
    }
    return true;
}

}  // namespace

bool record_unescaped(std::string_view value, std::string& plain)
{
    plain.clear();
    return append_unescaped(value, plain);
}

bool record_path(std::string_view path)
{
    if (!paths::stays_inside(path))
        return false;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find('/', start);
        if (path.substr(start, end == std::string_view::npos ? end : end - start).empty())
            return false;
        if (end == std::string_view::npos)
            return true;
        start = end + 1;
    }
}

namespace {

// A value and its line end; most values need no escape, and get no copy.
void append_value(std::string& lines, std::string_view value)
{
    bool plain = true;
    for (std::size_t i = 0; i < value.size() && plain; ++i)
        plain = !needs_escape(static_cast<unsigned char>(value[i]), value.substr(i + 1));
    if (plain)
        lines.append(value);
    else
        lines.append(record_escaped(value));
    lines.append(1, '\n');
}

}  // namespace

void append_file_line(std::string& lines, std::string_view path, const file_entry& entry)
{
    lines.append("File: ");
    append_hex(lines, entry.value);
    if (entry.stamped)
        append_hex(lines.append(1, '/'), entry.stamp);
    append_value(lines.append(1, ' '), path);
}

void append_source_lines(std::string& lines, std::uint64_t stamp, std::string_view path, std::string_view includes)
{
    lines.append("Source: ");
    append_hex(lines, stamp);
    append_value(lines.append(1, ' '), path);
    for_each_line(includes, [&](std::string_view name) { append_value(lines.append("Includes: "), name); });
}

namespace {

// Everything of the record but the lines a run gathered as it went, and the
// last line.
std::string record_head(const tree_record& record)
{
    std::string text(heading);
    auto line = [&](std::string_view key, std::string_view value) { append_value(text.append(key), value); };
    line("Made by: ", record.made_by);
    line("Scan rules: ", record.scan_rules);
    line("Output: ", record.output);
    // An earlier Skeld's record has no such line: the reader derives it.
    if (!record.output_folder.empty())
        line("Output folder: ", record.output_folder);
    line("Boost: ", record.boost_folder);
    line("Boost version: ", record.boost_version.empty() ? "unknown" : record.boost_version);
    line("Personality: ", record.personality);
    line("Personality file: ", record.personality_file);
    line("Data folder: ", record.data_folder);
    for (const std::string& added : record.added_top)
        line("Added at top: ", added);
    for (const std::string& added : record.added_end)
        line("Added at end: ", added);
    line("Added line end: ", record.added_line_end ? "yes" : "no");
    for (const std::string& found : record.found_top)
        line("Found at top: ", found);
    for (const std::string& found : record.found_end)
        line("Found at end: ", found);
    for (const std::string& directory : record.directories)
        line("Directory: ", directory);
    record.files.in_path_order([&](std::string_view path, const file_entry& file) { append_file_line(text, path, file); });
    return text;
}

// This run's files in plan order, then the sources the record holds by path
// (a run's own come as lines).
std::string record_middle(const tree_record& record)
{
    std::string text;
    record.planned.in_order([&](std::string_view path, const file_entry& file) { append_file_line(text, path, file); });
    record.sources.in_path_order([&](std::string_view path, const scanned_source& scanned) {
        append_source_lines(text, scanned.stamp, path, scanned.includes);
    });
    return text;
}

// The record's text in its pieces, the last line sealing the others.
struct record_pieces {
    std::string head;
    std::string files;
    std::string_view sources;
    std::string end;
};
record_pieces pieces_of(const tree_record& record)
{
    record_pieces pieces{record_head(record), record_middle(record), record.source_lines, {}};
    seal sealed;
    sealed.add(pieces.head);
    sealed.add(pieces.files);
    sealed.add(pieces.sources);
    pieces.end = end_line(record.directories.size(), record.files.size() + record.planned.entries().size(), sealed.value());
    return pieces;
}

}  // namespace

std::string record_text(const tree_record& record)
{
    const record_pieces pieces = pieces_of(record);
    return pieces.head + pieces.files + std::string(pieces.sources) + pieces.end;
}

std::string record_end_line(const tree_record& record)
{
    return pieces_of(record).end;
}

namespace {

bool is_hex(std::string_view digits)
{
    return digits.size() == 16 && digits.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// 16 lower-case hex digits, checked by is_hex.
std::uint64_t hex_number(std::string_view digits)
{
    std::uint64_t number = 0;
    for (const char c : digits)
        number = number << 4 | static_cast<std::uint64_t>(hex_value(c));
    return number;
}

// A path after its key, unescaped onto the table's paths; whether the record may hold it.
template <class Entry>
bool take_path(std::string_view value, path_table<Entry>& table, std::size_t& at)
{
    std::string& space = table.path_space();
    at = space.size();
    if (!append_unescaped(value, space))
        return false;
    return record_path(std::string_view(space).substr(at));
}

// "HEX PATH": a stamp and a path the record may hold, added to sources; false otherwise.
bool add_source(std::string_view value, recorded_sources& sources)
{
    if (value.size() < 18 || value[16] != ' ' || !is_hex(value.substr(0, 16)))
        return false;
    scanned_source source;
    source.stamp = hex_number(value.substr(0, 16));
    std::size_t at = 0;
    const bool ok = take_path(value.substr(17), sources, at);
    sources.add_appended(at, std::move(source));
    return ok;
}

// A file line's value: "DIGEST PATH", or "DIGEST/STAMP PATH" with its stamp,
// added to files; false when it is not one, or names no path the record may hold.
bool add_file(std::string_view value, recorded_files& files, bool journalled)
{
    if (value.size() < 18 || !is_hex(value.substr(0, 16)))
        return false;
    file_entry file;
    file.value = hex_number(value.substr(0, 16));
    file.journalled = journalled;
    std::size_t path_at = 17;
    if (value[16] == '/') {
        if (value.size() < 35 || !is_hex(value.substr(17, 16)) || value[33] != ' ')
            return false;
        // A journal's stamp is a place held for the record's: a stopped run may have written the file since.
        file.stamped = !journalled;
        file.stamp = journalled ? 0 : hex_number(value.substr(17, 16));
        path_at = 34;
    } else if (value[16] != ' ') {
        return false;
    }
    std::size_t at = 0;
    if (!take_path(value.substr(path_at), files, at)) {
        files.drop_appended(at);
        return false;
    }
    files.add_appended(at, std::move(file));
    return true;
}

}  // namespace

std::optional<tree_record> parse_record(std::string plain, std::string& why_not)
{
    drop_carriage_returns(plain);
    const bool format_2 = written_in_format_2(plain);
    if (!plain.starts_with(heading) && !format_2) {
        // The format's line comes after the comment, whatever that says.
        const std::size_t format = plain.find("\nSkeld record ");
        why_not = plain.starts_with("# Skeld's record") && format != std::string::npos && format < heading.size()
                      ? "another Skeld wrote it, in a form this one does not read"
                      : "it does not begin as Skeld writes it";
        return std::nullopt;
    }
    const std::size_t end = plain.rfind("End: ");
    if (end == std::string::npos || (end > 0 && plain[end - 1] != '\n')) {
        why_not = "its last line is missing";
        return std::nullopt;
    }
    tree_record record;
    bool known = true;  // every line one the reader knows, well formed
    bool paths_ok = true;
    std::size_t file_lines = 0;
    std::string value;
    const std::string_view body = std::string_view(plain).substr(heading.size(), end - heading.size());
    // Room for the tables at once: a tree's record holds tens of thousands
    // of paths, which would otherwise be copied each time their string grows.
    std::size_t files = 0, sources = 0, file_bytes = 0, source_bytes = 0;
    for_each_line(body, [&](std::string_view line) {
        if (line.starts_with("File: "))
            ++files, file_bytes += line.size();
        else if (line.starts_with("Source: "))
            ++sources, source_bytes += line.size();
    });
    record.files.reserve(files, file_bytes);
    record.sources.reserve(sources, source_bytes);
    for_each_line(body, [&](std::string_view line) {
        // A tree's lines first: they are nearly all of it.
        if (line.starts_with("File: ")) {
            paths_ok = add_file(line.substr(6), record.files, false) && paths_ok;
            ++file_lines;
            return;
        }
        if (line.starts_with("Source: ")) {
            paths_ok = add_source(line.substr(8), record.sources) && paths_ok;
            return;
        }
        if (line.starts_with("Includes: ")) {
            if (take(line, "Includes: ", value, known) && !record.sources.entries().empty())
                record.sources.entries().back().includes.append(value).append("\n");
            else
                known = false;
            return;
        }
        if (take(line, "Made by: ", record.made_by, known) || take(line, "Scan rules: ", record.scan_rules, known) ||
            take(line, "Output: ", record.output, known) || take(line, "Output folder: ", record.output_folder, known) ||
            take(line, "Boost: ", record.boost_folder, known) ||
            take(line, "Personality: ", record.personality, known) ||
            take(line, "Personality file: ", record.personality_file, known) ||
            take(line, "Data folder: ", record.data_folder, known))
            return;
        if (take(line, "Boost version: ", record.boost_version, known)) {
            if (record.boost_version == "unknown")
                record.boost_version.clear();
        } else if (take(line, "Added at top: ", value, known)) {
            record.added_top.push_back(value);
        } else if (take(line, "Added at end: ", value, known)) {
            record.added_end.push_back(value);
        } else if (take(line, "Added line end: ", value, known)) {
            record.added_line_end = value == "yes";
        } else if (!format_2 && take(line, "Found at top: ", value, known)) {
            record.found_top.push_back(value);
        } else if (!format_2 && take(line, "Found at end: ", value, known)) {
            record.found_end.push_back(value);
        } else if (take(line, "Directory: ", value, known)) {
            paths_ok = paths_ok && record_path(value);
            record.directories.insert(value);
        } else {
            known = false;
        }
    });
    // The seal covers every line above it: an edit anywhere shows.
    seal sealed;
    sealed.add(std::string_view(plain).substr(0, end));
    record.end_line = plain.substr(end);
    if (record.end_line != end_line(record.directories.size(), file_lines, sealed.value())) {
        why_not = "it was changed or cut short since Skeld wrote it";
        return std::nullopt;
    }
    if (!paths_ok) {
        why_not = "it names a path that leads outside the output folder";
        return std::nullopt;
    }
    if (!known) {
        why_not = "it holds a line Skeld does not write";
        return std::nullopt;
    }
    // Made now: threads look sources up at once, and only read.
    record.files.index();
    record.sources.index();
    return record;
}

void add_journal(std::string_view text, tree_record& record)
{
    if (!text.starts_with(journal_heading))
        return;
    text.remove_prefix(journal_heading.size());
    text = text.substr(0, text.rfind('\n') + 1);  // a line cut short by a kill is not whole
    std::string plain(text);
    drop_carriage_returns(plain);
    for_each_line(plain, [&](std::string_view line) {
        std::string path;
        bool well_formed = true;
        if (take(line, "Directory: ", path, well_formed)) {
            if (well_formed && record_path(path))
                record.directories.insert(path);
        } else if (line.starts_with("File: ")) {
            (void)add_file(line.substr(6), record.files, true);
        }
    });
    record.files.index();
}

bool holds_what_skeld_wrote(const file_entry& recorded, std::string_view bytes)
{
    return digest_of(bytes) == recorded.value || (bytes.empty() && recorded.journalled);
}

std::string journal_head()
{
    return std::string(journal_heading);
}

void append_directory_line(std::string& lines, std::string_view path)
{
    append_value(lines.append("Directory: "), path);
}

std::string boost_version_of(std::string_view version_hpp)
{
    std::string text(version_hpp);
    drop_carriage_returns(text);
    std::string version;
    for_each_line(text, [&](std::string_view line) {
        constexpr std::string_view define = "#define BOOST_VERSION ";
        if (!version.empty() || !line.starts_with(define))
            return;
        line.remove_prefix(define.size());
        const std::size_t digits = line.find_first_not_of("0123456789");
        const std::string_view number = line.substr(0, digits);
        if (number.empty() || number.size() > 9)
            return;
        const unsigned long value = std::stoul(std::string(number));
        version = std::to_string(value / 100000) + "." + std::to_string(value / 100 % 1000) + "." +
                  std::to_string(value % 100);
    });
    return version;
}

namespace {

record_lookup read_record_alone(const std::string& output)
{
    record_lookup lookup;
    const std::string path = paths::join(output, record_name);
    switch (platform::node_at(path)) {
    case platform::node_kind::missing: return lookup;
    case platform::node_kind::regular: break;
    case platform::node_kind::link:
        lookup.outcome = record_lookup::status::untrusted;
        lookup.why_not = "it is a link";
        return lookup;
    default:
        lookup.outcome = record_lookup::status::untrusted;
        lookup.why_not = "it is not a regular file";
        return lookup;
    }
    std::string bytes;
    if (const read_result read = read_file_bytes(path, bytes); !read.ok()) {
        lookup.outcome = record_lookup::status::untrusted;
        lookup.why_not = "it cannot be read" + read.why();
        return lookup;
    }
    std::optional<tree_record> record = parse_record(std::move(bytes), lookup.why_not);
    lookup.outcome = record ? record_lookup::status::ok : record_lookup::status::untrusted;
    if (record) {
        lookup.record = std::move(*record);
        // Its time bounds which stamps it can vouch for.
        if (platform::file_stamp stamp; platform::stamp_of_file(path, stamp))
            lookup.record.written_at = stamp.modified;
    }
    return lookup;
}

}  // namespace

record_lookup read_record(const std::string& output)
{
    record_lookup lookup = read_record_alone(output);
    const std::string path = paths::join(output, journal_name);
    std::string text;
    if (platform::node_at(path) != platform::node_kind::regular)
        return lookup;
    if (const read_result read = read_file_bytes(path, text); !read.ok()) {
        lookup.journal_unreadable = "Error: Cannot read " + path + read.why() +
                                    ", which lists what a stopped run wrote; Skeld changes nothing until it can.";
        return lookup;
    }
    lookup.journal = true;
    // Beside a record that cannot be trusted the journal's files stay
    // unknown: nothing is removed on the word of either.
    if (lookup.outcome == record_lookup::status::untrusted)
        return lookup;
    lookup.outcome = record_lookup::status::ok;
    // Written with the platform's line ends, as every text is.
    drop_carriage_returns(text);
    add_journal(text, lookup.record);
    if (text.starts_with(journal_heading))
        lookup.journal_lines = text.substr(journal_heading.size(), text.rfind('\n') + 1 - journal_heading.size());
    return lookup;
}

bool write_record(const std::string& output, const tree_record& record, const std::string& earlier_end,
                  std::string& failure)
{
    const std::string path = paths::join(output, record_name);
    const record_pieces pieces = pieces_of(record);
    // The same last line seals the same text: nothing to write.
    if (pieces.end != earlier_end || platform::node_at(path) != platform::node_kind::regular) {
        replacement_file replacement(path);
        std::string storage;
        auto put = [&](std::string_view text) { return replacement.write(file_text(text, storage)); };
        if (!replacement.open() || !put(pieces.head) || !put(pieces.files) || !put(pieces.sources) ||
            !put(pieces.end) || !replacement.commit()) {
            failure = "Couldn't write " + path + ": " + platform::last_error_text();
            return false;
        }
    }
    // The record now names everything the journal did.
    const std::string journal = paths::join(output, journal_name);
    if (platform::node_at(journal) != platform::node_kind::missing && !platform::remove_file(journal)) {
        failure = "Couldn't remove " + journal + ": " + platform::last_error_text();
        return false;
    }
    return true;
}
std::string version_of_boost(const std::string& boost_folder)
{
    std::string version_hpp;
    if (!read_file_bytes(paths::join(boost_folder, "version.hpp"), version_hpp).ok())
        return {};
    return boost_version_of(version_hpp);
}

std::string tree_status_line(const record_lookup& lookup, const std::string& chosen_boost,
                             const std::string& chosen_version, const std::string& chosen_personality)
{
    switch (lookup.outcome) {
    case record_lookup::status::none: return {};
    case record_lookup::status::untrusted: return "Holds a tree whose record cannot be trusted: Finish writes it anew.";
    case record_lookup::status::ok: break;
    }
    const tree_record& record = lookup.record;
    std::string chosen_file;
    if (!chosen_personality.empty() && !record.personality_file.empty() &&
        platform::resolve_path(chosen_personality, chosen_file) && !same_file(record.personality_file, chosen_file) &&
        personality_names_output(record.personality_file, recorded_output_folder(record), search_through(&record, recorded_output_folder(record))))
        return "Holds the tree of the personality " + record.personality_file +
               ", which still names it: Finish stops. Choose another output, or remove that tree first.";
    const std::string made_for = "Holds a tree for Boost " +
                                 (record.boost_version.empty() ? std::string("(version unknown)") : record.boost_version) +
                                 " (" + record.boost_folder + ")";
    const bool same_folder = paths::without_trailing_separators(chosen_boost) ==
                             paths::without_trailing_separators(record.boost_folder);
    if (same_folder && chosen_version == record.boost_version)
        return made_for + ": Finish brings it up to date.";
    return made_for + ", not the Boost above: Finish remakes it for that one.";
}
