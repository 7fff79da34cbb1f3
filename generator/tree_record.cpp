#include "tree_record.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "output_file.h"
#include "paths.h"
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
            hash = (hash ^ static_cast<unsigned char>(pending_[i])) * 1099511628211ULL;
        return hash;
    }

private:
    void mix(const char* eight)
    {
        std::uint64_t word;
        std::memcpy(&word, eight, 8);
        value_ = (value_ ^ word) * 1099511628211ULL;
        value_ ^= value_ >> 32;
    }

    digest value_ = 14695981039346656037ULL;
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
    "# as it is. Each file line holds a digest of what Skeld wrote there.\n"
    "Skeld record 1\n";

std::string end_line(std::size_t directories, std::size_t files, digest sealed)
{
    std::string line = "End: " + std::to_string(directories) + " directories, " + std::to_string(files) + " files, seal ";
    append_hex(line, sealed);
    return line + "\n";
}

// A recorded path: relative, '/' between non-empty components, none of them
// "." or "..", no drive.
bool plain_relative_path(std::string_view path)
{
    if (!paths::stays_inside(path) || path.find('\r') != std::string_view::npos)
        return false;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find('/', start);
        const std::string_view part = path.substr(start, end == std::string_view::npos ? end : end - start);
        if (part.empty() || part == ".")
            return false;
        if (end == std::string_view::npos)
            return true;
        start = end + 1;
    }
}

bool take(std::string_view line, std::string_view key, std::string& value)
{
    if (!line.starts_with(key))
        return false;
    value = line.substr(key.size());
    return true;
}

}  // namespace

std::string this_skeld()
{
    return "Skeld " HEADWRIGHT_VERSION;
}

void append_file_line(std::string& lines, digest value, std::string_view path)
{
    lines.append("File: ");
    append_hex(lines, value);
    lines.append(1, ' ').append(path).append(1, '\n');
}

void append_source_lines(std::string& lines, std::uint64_t stamp, std::string_view path, std::string_view includes)
{
    lines.append("Source: ");
    append_hex(lines, stamp);
    lines.append(1, ' ').append(path).append(1, '\n');
    for_each_line(includes, [&](std::string_view name) { lines.append("Includes: ").append(name).append(1, '\n'); });
}

namespace {

// Everything of the record but the lines a run gathered as it went, and the
// last line.
std::string record_head(const tree_record& record)
{
    std::string text(heading);
    text.append("Made by: ").append(record.made_by).append("\n");
    text.append("Boost: ").append(record.boost_folder).append("\n");
    text.append("Boost version: ").append(record.boost_version.empty() ? "unknown" : record.boost_version).append("\n");
    text.append("Personality: ").append(record.personality).append("\n");
    text.append("Data folder: ").append(record.data_folder).append("\n");
    for (const std::string& entry : record.personality_entries)
        text.append("Entry: ").append(entry).append("\n");
    for (const std::string& setting : record.settings)
        text.append("Setting: ").append(setting).append("\n");
    for (const std::string& directory : record.directories)
        text.append("Directory: ").append(directory).append("\n");
    for (const auto& [path, value] : record.files)
        append_file_line(text, value, path);
    for (const auto& [path, scanned] : record.sources)
        append_source_lines(text, scanned.stamp, path, scanned.includes);
    return text;
}

// The record's text in its pieces, the last line sealing the others.
struct record_pieces {
    std::string head;
    std::string_view files, sources;
    std::string end;
};
record_pieces pieces_of(const tree_record& record)
{
    record_pieces pieces{record_head(record), record.file_lines, record.source_lines, {}};
    seal sealed;
    sealed.add(pieces.head);
    sealed.add(pieces.files);
    sealed.add(pieces.sources);
    pieces.end = end_line(record.directories.size(), record.files.size() + record.file_line_count, sealed.value());
    return pieces;
}

}  // namespace

std::string record_text(const tree_record& record)
{
    const record_pieces pieces = pieces_of(record);
    return pieces.head + std::string(pieces.files) + std::string(pieces.sources) + pieces.end;
}

std::optional<tree_record> parse_record(std::string plain, std::string& why_not)
{
    drop_carriage_returns(plain);
    if (!plain.starts_with(heading)) {
        why_not = "it does not begin as Skeld writes it";
        return std::nullopt;
    }
    const std::size_t end = plain.rfind("End: ");
    if (end == std::string::npos || (end > 0 && plain[end - 1] != '\n')) {
        why_not = "its last line is missing";
        return std::nullopt;
    }
    tree_record record;
    bool paths_ok = true;
    std::size_t file_lines = 0;
    scanned_source* source = nullptr;
    auto stamped_path = [](std::string_view value, digest& stamp) {
        const bool ok = value.size() > 17 && value[16] == ' ' && value.find_first_not_of("0123456789abcdef") == 16;
        stamp = ok ? std::stoull(std::string(value.substr(0, 16)), nullptr, 16) : 0;
        return ok && plain_relative_path(value.substr(17)) ? std::string(value.substr(17)) : std::string();
    };
    for_each_line(std::string_view(plain).substr(heading.size(), end - heading.size()), [&](std::string_view line) {
        std::string value;
        if (take(line, "Made by: ", record.made_by) || take(line, "Boost: ", record.boost_folder) ||
            take(line, "Personality: ", record.personality) || take(line, "Data folder: ", record.data_folder))
            return;
        if (take(line, "Boost version: ", record.boost_version)) {
            if (record.boost_version == "unknown")
                record.boost_version.clear();
        } else if (take(line, "Entry: ", value)) {
            record.personality_entries.push_back(value);
        } else if (take(line, "Setting: ", value)) {
            record.settings.push_back(value);
        } else if (take(line, "Directory: ", value)) {
            paths_ok = paths_ok && plain_relative_path(value);
            record.directories.insert(value);
        } else if (take(line, "File: ", value)) {
            digest value_digest;
            const std::string path = stamped_path(value, value_digest);
            paths_ok = paths_ok && !path.empty();
            record.files.emplace(path, value_digest);
            ++file_lines;
        } else if (take(line, "Source: ", value)) {
            digest stamp;
            const std::string path = stamped_path(value, stamp);
            paths_ok = paths_ok && !path.empty();
            source = &record.sources[path];
            source->stamp = stamp;
        } else if (take(line, "Includes: ", value) && source) {
            source->includes.append(value).append("\n");
        } else {
            paths_ok = false;
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
    return record;
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

record_lookup read_record(const std::string& output)
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
    if (record)
        lookup.record = std::move(*record);
    return lookup;
}

bool write_record(const std::string& output, const tree_record& record, const std::string& earlier_end,
                  std::string& failure)
{
    const std::string path = paths::join(output, record_name);
    const record_pieces pieces = pieces_of(record);
    // The same last line seals the same text: nothing to write.
    if (pieces.end == earlier_end && platform::node_at(path) == platform::node_kind::regular)
        return true;
    replacement_file replacement(path);
    const bool lf = std::string_view(platform::line_end) == "\n";
    auto put = [&](std::string_view text) { return replacement.write(lf ? std::string(text) : to_file_text(text)); };
    if (replacement.open() && put(pieces.head) && put(pieces.files) && put(pieces.sources) && put(pieces.end) &&
        replacement.commit())
        return true;
    failure = "Couldn't write " + path + ": " + platform::last_error_text();
    return false;
}
std::string version_of_boost(const std::string& boost_folder)
{
    std::string version_hpp;
    if (!read_file_bytes(paths::join(boost_folder, "version.hpp"), version_hpp).ok())
        return {};
    return boost_version_of(version_hpp);
}

std::string tree_status_line(const record_lookup& lookup, const std::string& chosen_boost,
                             const std::string& chosen_version)
{
    switch (lookup.outcome) {
    case record_lookup::status::none: return {};
    case record_lookup::status::untrusted: return "Holds a tree whose record cannot be trusted: Finish writes it anew.";
    case record_lookup::status::ok: break;
    }
    const tree_record& record = lookup.record;
    const std::string made_for = "Holds a tree for Boost " +
                                 (record.boost_version.empty() ? std::string("(version unknown)") : record.boost_version) +
                                 " (" + record.boost_folder + ")";
    const bool same_folder = paths::without_trailing_separators(chosen_boost) ==
                             paths::without_trailing_separators(record.boost_folder);
    if (same_folder && chosen_version == record.boost_version)
        return made_for + ": Finish brings it up to date.";
    return made_for + ", not the Boost above: Finish remakes it for that one.";
}
