// Finds the angle-bracket includes of non-Boost headers in a source: the
// rules of one line, and the scan of a whole file fed in chunks as it is read.
#pragma once

#include <set>
#include <string>
#include <string_view>

// The rules' own version, kept in the record: a Skeld whose rules give
// another include list for the same file reads every file again. Raise it
// with any change to what the scan collects.
inline constexpr const char* include_scan_rules = "1";

// Fed one line at a time, character by character, so that a file is scanned
// in large reads with no allocation per line. The rules work on the line with
// every space removed.
class include_line_scanner {
public:
    void feed(char c)
    {
        if (c == ' ')
            return;
        match_include(c);
        match_boost(c);
        if (!seen_lt_) {
            if (c == '/' && previous_ == '/')
                comment_first_ = true;
            else if (c == '>')
                gt_first_ = true;
            else if (c == '<')
                seen_lt_ = true;
        } else if (!name_done_) {
            if (c == '>' && !gt_first_)
                name_done_ = true;
            else
                name_.push_back(c);
        }
        previous_ = c;
    }

    // Ends the line; true when it names a header, which name() then holds.
    bool end_line()
    {
        bool found = has_include_ && !has_boost_ && !comment_first_;
        include_matched_ = boost_matched_ = 0;
        has_include_ = has_boost_ = comment_first_ = gt_first_ = seen_lt_ = name_done_ = false;
        previous_ = 0;
        if (!found)
            name_.clear();
        return found;
    }

    // The header name of the line just ended; cleared by the next line.
    std::string& name() { return name_; }

    void start_line() { name_.clear(); }

private:
    // Neither "#include<" nor "boost" has a proper prefix that is also a
    // suffix of a longer prefix, so a mismatch restarts the match at the
    // current character.
    void match_include(char c)
    {
        static constexpr char pattern[] = "#include<";
        if (has_include_)
            return;
        if (c == pattern[include_matched_])
            ++include_matched_;
        else
            include_matched_ = (c == pattern[0]) ? 1 : 0;
        if (include_matched_ == sizeof pattern - 1)
            has_include_ = true;
    }

    void match_boost(char c)
    {
        static constexpr char pattern[] = "boost";
        if (has_boost_)
            return;
        if (c == pattern[boost_matched_])
            ++boost_matched_;
        else
            boost_matched_ = (c == pattern[0]) ? 1 : 0;
        if (boost_matched_ == sizeof pattern - 1)
            has_boost_ = true;
    }

    std::string name_;
    unsigned include_matched_ = 0;
    unsigned boost_matched_ = 0;
    char previous_ = 0;
    bool has_include_ = false;
    bool has_boost_ = false;
    bool comment_first_ = false;  // a "//" before the first "<"
    bool gt_first_ = false;       // a ">" before the first "<": the name runs to the line's end
    bool seen_lt_ = false;
    bool name_done_ = false;
};

// The scan of one file. Chunks may split lines and CR LF pairs anywhere: a
// carriage return counts only when no line feed follows it, as text mode
// reads it. Whole lines that cannot name a system header (no '<' after their
// '#', or "boost" anywhere: taking the spaces out only joins more characters)
// are skipped unread, at memchr speed.
class include_scan {
public:
    // Each name found goes into found and, when names is given, is also
    // appended to it with a line feed: the file's own list, for the record.
    explicit include_scan(std::set<std::string>& found, std::string* names = nullptr) : found_(found), names_(names) {}

    void feed(std::string_view chunk);
    // After the last chunk: the last line needs no line feed.
    void finish();

private:
    void end_line();

    std::set<std::string>& found_;
    std::string* names_;
    include_line_scanner scanner_;
    bool pending_cr_ = false;
    bool at_line_start_ = true;
};
