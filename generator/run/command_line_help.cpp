#include "command_line_help.h"

std::vector<std::string> help_lines(const std::vector<std::string>& data_places)
{
    std::vector<std::string> lines = {
        usage_line,
        "",
        "Builds a substitute Boost tree through which an ORVO analyser reads Boost",
        "with the compiler macros of a personality, and edits the personality to use it.",
        "",
        "  curr_compiler_personality  the compiler personality (.p_c) to edit: entries",
        "                             go at its top, options at its end",
        "  orig_header_loc            the Boost headers directory; its last component",
        "                             must be exactly boost",
        "  config_output_loc          an existing directory outside the Boost tree that",
        "                             receives the generated files",
        "",
        "A header Boost includes gets a stub only when one of the personality's -si",
        "directories that exist holds it; with none but Boost's parent, every one does.",
        "",
        "Run again into the same output after Boost or the personality changed: only",
        "changed files are written, files of the earlier run that are no longer",
        "written are removed (as skeld-record.txt lists them), and nothing is added",
        "to the personality twice.",
        "  --check <personality> <orig_header_loc> <config_output_loc>",
        "      write nothing; exit status 0 up to date, 1 stale, 2 a run would refuse;",
        "      the last line: Check: status=S write=W remove=R add=A record=C refuse=WHY",
        "  --remove <personality> <config_output_loc>",
        "      take the tree out of the personality, then off the disk",
        "  --progress, before the paths of a run or a check (with --check in any order)",
        "      also print Progress: STEP DONE TOTAL lines, for a progress bar",
        "  --jobs N, before the paths of a run or a check",
        "      read and write with N threads (1 to 64); the default is one per core,",
        "      at most 8; what is written is the same whatever N",
        "",
        "Skeld removes only files its record lists that still hold what it wrote,",
        "and takes out of the personality only lines the record says it added for",
        "this output; the user's own lines stay. The record's seal catches",
        "accidents, not forgery. An output belongs to one personality.",
        "",
        "The data files are read from the first of these folders that holds",
        "possible_defines.txt:",
    };
    for (std::size_t i = 0; i < data_places.size(); ++i)
        lines.push_back("  " + data_places[i] + (i == 0 ? " (the working folder)" : ""));
    lines.insert(lines.end(),
                 {"", "Exit status: 0 on success, 1 on any failure.", "Skeld --version prints the version."});
    return lines;
}

std::string version_line()
{
    return "Skeld (Headwright) " HEADWRIGHT_VERSION;
}
