// Folders named in any script, on any system code page: the arguments, the
// names a listing gives, the working folder and the lines Skeld prints.
#include "skeld_cli.h"

#include <clocale>
#include <locale.h>

namespace fs = std::filesystem;

namespace {

class UnicodePaths : public SkeldCli {};

bool locale_exists(const char* name)
{
    locale_t locale = newlocale(LC_ALL_MASK, name, nullptr);
    if (locale)
        freelocale(locale);
    return locale != nullptr;
}

}  // namespace

TEST_P(UnicodePaths, AWholeRunBelowAFolderNamedInAnyScript)
{
    struct folder_case {
        std::string folder;
        const char* locale;  // Wine's: C.UTF-8 gives code page 1252, ja_JP.UTF-8 932
    };
    const folder_case cases[] = {
        {"\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB5\xD0\xBA\xD1\x82", "C.UTF-8"},  // Проект, on a Western code page
        {"\xE6\x95\xB0\xE6\x8D\xAE", "C.UTF-8"},                          // 数据
        // ソ表能: in Shift-JIS each holds 0x5C, '\', in its second byte.
        {"\xE3\x82\xBD\xE8\xA1\xA8\xE8\x83\xBD", "ja_JP.UTF-8"},
    };
    for (const folder_case& c : cases) {
        SCOPED_TRACE(c.folder);
        if (!locale_exists(c.locale)) {
            ADD_FAILURE() << "no locale " << c.locale << ": scripts/install-deps.sh test makes it";
            continue;
        }
        environment = {std::string("LC_ALL=") + c.locale};
        const std::string f = c.folder + "/";
        for (const char* data : {"possible_defines.txt", "treat_as_nonboost.txt", "boost_compiler_person_settings.txt",
                                 "orvo++_compiler.hpp", "orvo++_windows.hpp"})
            put(f + data, get(data));
        const std::string personality = "-sd FOO=1\n-si \"" + at(f + "lib") + "\"\n";
        put(f + "p.p_c", personality);
        put(f + "lib/boost/config/compiler/gcc.hpp", "");
        put(f + "lib/boost/config/platform/linux.hpp", "");
        put(f + "lib/boost/" + c.folder + ".hpp", "#include <vector>\n");
        fs::create_directories(dir / (f + "out"));

        program_result result = run_from(dir / c.folder, {at(f + "p.p_c"), at(f + "lib/boost"), at(f + "out")});
        EXPECT_EQ(result.output, printed(full_run_writing(8)));
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(get(f + "out/boost/" + c.folder + ".hpp"), boost_pattern("boost/" + c.folder + ".hpp"));
        EXPECT_TRUE(exists(f + "out/system/vector"));
        EXPECT_EQ(get(f + "p.p_c"), "-si \"" + at(f + "out/system") + "\"\n-q \"" + at(f + "out/system") + "\"\n-si \"" +
                                         at(f + "out") + "\"\n-q \"" + at(f + "out") + "\"\n" + personality);

        // A line that names a path prints it in UTF-8.
        result = run_from(dir / c.folder, {at(f + "missing.p_c"), at(f + "lib/boost"), at(f + "out")});
        EXPECT_EQ(result.output,
                  printed({full_run()[0], "Error: Cannot open Compiler Personality - " + at(f + "missing.p_c")}));
        EXPECT_EQ(result.status, 1);
    }
}

INSTANTIATE_FOR_BOTH_BUILDS(UnicodePaths);
