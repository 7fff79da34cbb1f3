// The personality's own encoding on the real program: byte-order marks,
// UTF-16, ANSI, and bytes that are no text.
#include "skeld_cli.h"

namespace {

// ASCII text as UTF-16 with its mark.
std::string utf16(const std::string& ascii, bool big_endian)
{
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii)
        bytes += big_endian ? std::string{'\0', c} : std::string{c, '\0'};
    return bytes;
}

class Encoding : public SkeldCli {
protected:
    void lay_out() override { put("boost_compiler_person_settings.txt", "-a\n"); }

    std::string include_line() const { return "-si \"" + at("lib") + "\""; }
};

TEST_P(Encoding, ThePersonalityIsReadAndEditedInItsOwnEncoding)
{
    struct encoding_case {
        const char* what;
        std::string (*encoded)(const std::string&);
        const char* eol;
        const char* own_line;  // what tells its encoding, when no mark does
        bool remove;           // --remove then gives the old bytes back
    };
    const encoding_case cases[] = {
        {"UTF-8 with a mark", [](const std::string& s) { return "\xEF\xBB\xBF" + s; }, "\r\n", "-w1", true},
        {"UTF-16 LE", [](const std::string& s) { return utf16(s, false); }, "\r\n", "-w1", true},
        {"UTF-16 BE", [](const std::string& s) { return utf16(s, true); }, "\n", "-w1", false},
        {"ANSI", [](const std::string& s) { return s; }, "\r\n", "-w \"Caf\xE9\"", false},
        {"UTF-8", [](const std::string& s) { return s; }, "\n", "-w \"Caf\xC3\xA9\"", false},
    };
    for (const encoding_case& c : cases) {
        SCOPED_TRACE(c.what);
        fresh_output();
        const std::string eol = c.eol;
        const std::string old = "-sd FOO=1" + eol + include_line() + eol + c.own_line + eol;
        put("p.p_c", c.encoded(old));
        program_result result = run_default();
        EXPECT_EQ(result.output, printed(full_run_writing(6)));
        EXPECT_EQ(result.status, 0);
        // The mark is not part of the first line's option.
        EXPECT_EQ(get("out/RemoveAllCompilerFlags.h"), lines("#undef FOO\n#define LONG_LONG long long\n"));
        EXPECT_EQ(get("p.p_c"), c.encoded("-si \"" + at("out") + "\"" + eol + "-q \"" + at("out") + "\"" + eol + old +
                                          "-a" + eol));
        if (!c.remove)
            continue;
        result = run({"--remove", at("p.p_c"), at("out")});
        EXPECT_EQ(result.status, 0) << result.output;
        EXPECT_EQ(get("p.p_c"), c.encoded(old));
    }
}

TEST_P(Encoding, WhatCannotBeReadOrWrittenAsItsTextStopsTheRunBeforeItWrites)
{
    if (!every_build_run())
        GTEST_SKIP() << "the same on every build";
    struct refusal_case {
        std::string personality;
        const char* output;
        std::string line;
    };
    const std::string personality = "-sd FOO=1\r\n" + include_line() + "\r\n";
    const refusal_case cases[] = {
        {utf16(personality, false).substr(2), "out",
         "Error: Cannot read Compiler Personality - " + at("p.p_c") +
             ": it holds NUL bytes (the first at byte 1) and no byte-order mark that says how to read them. Please "
             "save it as UTF-8 or ANSI."},
        {utf16(personality, false) + "-", "out",
         "Error: Cannot read Compiler Personality - " + at("p.p_c") +
             ": it starts with the byte-order mark of UTF-16 LE but is no such text (at byte " +
             std::to_string(2 * personality.size() + 2) + "). Please save it as UTF-8 or ANSI."},
        // A POSIX name that is not UTF-8 has no form in UTF-16, nor in UTF-8.
        {utf16(personality, true), "out\xFF",
         "Error: Compiler Personality - " + at("p.p_c") + " is in UTF-16 BE, which has no form for the path " +
             at("out\xFF") + ", so Skeld wrote nothing. Please choose paths that are valid Unicode and run Skeld "
             "again."},
        {"\xEF\xBB\xBF" + personality, "out\xFF",
         "Error: Compiler Personality - " + at("p.p_c") + " is in UTF-8, which has no form for "
             "the path " + at("out\xFF") + ", so Skeld wrote nothing. Please choose paths that are valid Unicode "
             "and run Skeld again."},
    };
    for (const refusal_case& c : cases) {
        SCOPED_TRACE(c.line);
        put("p.p_c", c.personality);
        std::filesystem::create_directories(dir / c.output);
        program_result result = run({at("p.p_c"), at("lib/boost"), at(c.output)});
        EXPECT_EQ(result.output, printed({"Creating compiler header Files ...", c.line}));
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(files_below(c.output), std::vector<std::string>{});
        EXPECT_EQ(get("p.p_c"), c.personality);
    }
}

TEST_P(Encoding, AnAnsiPersonalityNamesPathsInTheSystemsCodePage)
{
    environment = {"LC_ALL=C.UTF-8"};  // Wine's code page 1252, the Western one
    const std::string personality = "-sd FOO=1\r\n" + include_line() + "\r\n";
    struct ansi_case {
        std::string folder;
        std::string spelt;  // as the personality's lines name it: 1252 on Windows, the bytes on POSIX
    };
    const std::string cafe = "Caf\xC3\xA9";
    const std::string project = "\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB5\xD0\xBA\xD1\x82";  // Проект: none in 1252
    const bool windows = target().windows();
    const ansi_case cases[] = {
        {cafe, windows ? at(cafe).substr(0, at(cafe).size() - 2) + "\xE9" : at(cafe)},
        {project, windows ? "" : at(project)},
    };
    for (const ansi_case& c : cases) {
        SCOPED_TRACE(c.folder);
        put("p.p_c", personality);
        std::filesystem::create_directories(dir / c.folder);
        const program_result result = run({at("p.p_c"), at("lib/boost"), at(c.folder)});
        if (c.spelt.empty()) {
            EXPECT_EQ(result.output,
                      printed({"Creating compiler header Files ...",
                               "Error: Compiler Personality - " + at("p.p_c") +
                                   " is in the system's ANSI code page 1252, which has no form for the path " +
                                   at(c.folder) +
                                   ", so Skeld wrote nothing. Please save the personality as UTF-8 with a "
                                   "byte-order mark and run Skeld again."}));
            EXPECT_EQ(result.status, 1);
            EXPECT_EQ(files_below(c.folder), std::vector<std::string>{});
            EXPECT_EQ(get("p.p_c"), personality);
            continue;
        }
        EXPECT_EQ(result.status, 0) << result.output;
        EXPECT_EQ(get("p.p_c"), "-si \"" + c.spelt + "\"\r\n-q \"" + c.spelt + "\"\r\n" + personality + "-a\r\n");
    }
}

}  // namespace

INSTANTIATE_FOR_BOTH_BUILDS(Encoding);
