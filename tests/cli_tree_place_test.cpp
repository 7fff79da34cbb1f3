// A tree is where it lies: made and removed with paths spelt relative or
// absolute, from any folder, and a project copied whole with the first still
// there, on the real program.
#include "skeld_cli.h"

namespace fs = std::filesystem;

namespace {

class TreePlace : public SkeldCli {
protected:
    // A project folder of its own, proj/: the data files, the personality,
    // Boost and the output, as a user keeps them side by side.
    void lay_out() override
    {
        put("boost_compiler_person_settings.txt", "-a\n");
        put("lib/boost/a.hpp", "#include <vector>\n");
        put("sys/vector", "");
        fs::create_directories(dir / "proj");
        for (const char* name : {"possible_defines.txt", "treat_as_nonboost.txt", "boost_compiler_person_settings.txt",
                                 "orvo++_compiler.hpp", "orvo++_windows.hpp"})
            fs::copy_file(dir / name, dir / "proj" / name);
        fs::copy(dir / "lib", dir / "proj/lib", fs::copy_options::recursive);
        fs::create_directories(dir / "proj/out");
        put("proj/p.p_c", original());
    }
    std::string original() const { return "-sd FOO=1\n-si \"" + at("sys") + "\"\n"; }

    // Relative to the project folder, run from it; or absolute, run from the
    // scratch folder above it.
    program_result make(const std::string& project, bool relative) const
    {
        if (relative)
            return run_from(dir / project, {"p.p_c", sep("lib/boost"), "out"});
        return run({at(project + "/p.p_c"), at(project + "/lib/boost"), at(project + "/out")});
    }
    program_result remove(const std::string& project, bool relative) const
    {
        if (relative)
            return run_from(dir / project, {"--remove", "p.p_c", "out"});
        return run({"--remove", at(project + "/p.p_c"), at(project + "/out")});
    }
};

TEST_P(TreePlace, ATreeMadeWithOneSpellingIsRemovedWithTheOther)
{
    for (const bool made_relative : {true, false}) {
        SCOPED_TRACE(made_relative ? "made relative, removed absolute" : "made absolute, removed relative");
        ASSERT_EQ(make("proj", made_relative).status, 0);
        ASSERT_NE(get("proj/p.p_c"), original());
        // The record keeps where the output lies beside how it was spelt.
        EXPECT_NE(get("proj/out/skeld-record.txt").find(lines("Output folder: " + at("proj/out") + "\n")),
                  std::string::npos);
        const program_result removed = remove("proj", !made_relative);
        EXPECT_EQ(removed.status, 0) << removed.output;
        EXPECT_EQ(removed.output.find("is a copy or was moved"), std::string::npos) << removed.output;
        EXPECT_EQ(get("proj/p.p_c"), original());
        EXPECT_EQ(files_below("proj/out"), std::vector<std::string>{});
    }
}

TEST_P(TreePlace, AProjectCopiedWholeIsATreeOfItsOwn)
{
    ASSERT_EQ(make("proj", true).status, 0);
    const std::string first_personality = get("proj/p.p_c");
    const std::vector<std::string> first_files = files_below("proj/out");
    fs::copy(dir / "proj", dir / "copy", fs::copy_options::recursive);

    // The copy's record names the first project's output: not a tree of
    // another personality's here, so neither a check nor a run refuses.
    program_result result = run_from(dir / "copy", {"--check", "p.p_c", sep("lib/boost"), "out"});
    EXPECT_NE(result.status, 2) << result.output;
    result = make("copy", true);
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_NE(get("copy/out/skeld-record.txt").find(lines("Output folder: " + at("copy/out") + "\n")), std::string::npos);
    EXPECT_EQ(get("copy/p.p_c"), first_personality);

    // The copy is this personality's tree now: it goes with its lines, and
    // the first project keeps all of its own.
    result = remove("copy", true);
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(get("copy/p.p_c"), original());
    EXPECT_EQ(files_below("copy/out"), std::vector<std::string>{});
    EXPECT_EQ(get("proj/p.p_c"), first_personality);
    EXPECT_EQ(files_below("proj/out"), first_files);
}

INSTANTIATE_FOR_BOTH_BUILDS(TreePlace);

}  // namespace
