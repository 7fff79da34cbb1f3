// The personality's text as every question of a run asks it: decoded once,
// split into lines once, each line read once. The scan, the edit, the trees
// a personality names and removal all ask this value; none reads the text
// itself. Pure.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text_encoding.h"

enum class line_kind { define, include, other };

// One line as the analyser reads it.
struct personality_line {
    std::string text;      // without its line end
    std::string_view end;  // "\r\n", "\n", or "" for a last line without one
    // A define line holds a define option anywhere; an include line holds an
    // include option and is not a define line.
    line_kind kind = line_kind::other;
    // A define line's argument, the option cut off by its length.
    std::string define_name, define_value;
    // The directory of the -si option (any spelling) that opens the line,
    // whatever its kind, and of the -q option that opens it: blanks and
    // double quotes trimmed; empty when no such option opens the line or it
    // names nothing.
    std::string include, quoted;

    // The directory an entry line names: include, else quoted.
    const std::string& directory() const { return include.empty() ? quoted : include; }
};

class personality_text {
public:
    personality_text() = default;
    // text: UTF-8 without a byte-order mark, line ends as in the file;
    // encoding: what the file's bytes are in, and so which mark they start with.
    explicit personality_text(std::string_view text, text_encoding encoding = text_encoding::utf8);

    const std::vector<personality_line>& lines() const { return lines_; }
    // The lines, each with its own end: the text it was made from, byte for byte.
    const std::string& text() const { return text_; }
    text_encoding encoding() const { return encoding_; }

    // The line end new lines take: the first line's, the platform's when no
    // line has one.
    std::string_view line_end() const;
    // Whether the last line has no line end.
    bool open_ended() const { return !lines_.empty() && lines_.back().end.empty(); }

    // The first line that is exactly line; nullptr when none is.
    const personality_line* find(std::string_view line) const;
    // Those of lines that this text holds as whole lines, in their order.
    std::vector<std::string> held(const std::vector<std::string>& lines) const;
    // The directories of the -si lines, in their order.
    std::vector<std::string> include_directories() const;

    // This text with top put before its first line and end after its last,
    // each in this text's line end; a last line without one gets it when
    // lines go after it.
    personality_text with(const std::vector<std::string>& top, const std::vector<std::string>& end) const;
    // This text without one line equal to each of top (the first such) and to
    // each of end (the last such); with drop_line_end, when only lines taken
    // out follow the last line kept, its line end goes too. What stays, stays
    // byte for byte.
    personality_text without(const std::vector<std::string>& top, const std::vector<std::string>& end,
                             bool drop_line_end) const;

private:
    personality_text(std::vector<personality_line> lines, text_encoding encoding);

    std::vector<personality_line> lines_;
    std::string text_;
    text_encoding encoding_ = text_encoding::utf8;
};

// One line read as the analyser reads it, with the line end given.
personality_line read_personality_line(std::string_view text, std::string_view end = {});
