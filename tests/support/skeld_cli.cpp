#include "skeld_cli.h"

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

namespace fs = std::filesystem;

std::string skeld_target::spell(const fs::path& path) const
{
    std::string text = path.string();
    if (!windows())
        return text;
    std::replace(text.begin(), text.end(), '/', '\\');
    return "Z:" + text;
}

const skeld_target& target_named(const std::string& name)
{
    static const skeld_target native{"native", SKELD_NATIVE_PROGRAM, '/', "\n", "No such file or directory"};
    static const skeld_target windows{"windows",
                                      std::getenv("SKELD_WINDOWS_PROGRAM") ? std::getenv("SKELD_WINDOWS_PROGRAM") : "",
                                      '\\', "\r\n", "File not found"};
    return name == "windows" ? windows : native;
}

void SkeldCli::SetUp()
{
    target_ = &target_named(GetParam());
    if (target_->program.empty() || !fs::exists(target_->program))
        GTEST_SKIP() << "the " << target_->name << " build of Skeld is not available";
    lay_out_run();
    lay_out();
}

void SkeldCli::fresh_output() const
{
    fs::remove_all(dir / "out");
    fs::create_directories(dir / "out");
}

std::string SkeldCli::printed(const std::vector<std::string>& whole_lines) const
{
    std::string out;
    for (const std::string& line : whole_lines)
        out += line + target_->line_end;
    return out;
}

std::string SkeldCli::sep(std::string text) const
{
    std::replace(text.begin(), text.end(), '/', target_->separator);
    return text;
}

std::string SkeldCli::lines(const std::string& text) const
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += target_->line_end;
        else
            out += c;
    }
    return out;
}

std::vector<std::string> SkeldCli::files_below(const std::string& relative) const
{
    std::vector<std::string> found;
    fs::path root = dir / relative;
    if (!fs::exists(root))
        return found;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (!entry.is_directory())
            found.push_back(entry.path().lexically_relative(root).generic_string());
    std::sort(found.begin(), found.end());
    return found;
}

fs::path SkeldCli::program_copy() const
{
    // A copy of its own, in a folder without data files: a run reads the data
    // of its working directory and nothing beside the build's program. The
    // unprivileged user can reach it there too.
    const fs::path copy = program_dir_ / fs::path(target_->program).filename().string();
    if (!fs::exists(copy)) {
        fs::copy_file(target_->program, copy);
        fs::permissions(program_dir_.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                                 fs::perms::others_read | fs::perms::others_exec);
        fs::permissions(copy, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    }
    return copy;
}

program_result SkeldCli::run(const std::vector<std::string>& arguments, bool unprivileged) const
{
    return run_from(dir.path(), arguments, unprivileged);
}

program_result SkeldCli::run_from(const fs::path& working_directory, const std::vector<std::string>& arguments,
                                  bool unprivileged) const
{
    return run_program(command(arguments), working_directory, unprivileged);
}

program_result SkeldCli::run_killed_at(const std::vector<std::string>& arguments, const std::string& kill_at, std::size_t nth) const
{
    program_result result = run_program_killed_at(command(arguments), dir.path(), kill_at, nth);
    // Wine lets go of a killed process's files and locks once its server
    // has seen it end: the next run must not find them held. The suite keeps
    // one persistent server, which "-w" would wait for forever: a few
    // seconds are ample for it to see the end of a process.
    if (target_->windows())
        (void)run_program({"timeout", "5", "wineserver", "-w"}, dir.path());
    return result;
}

std::vector<std::string> SkeldCli::command(const std::vector<std::string>& arguments) const
{
    std::vector<std::string> argv;
    if (!environment.empty()) {
        argv = {"env"};
        argv.insert(argv.end(), environment.begin(), environment.end());
    }
    if (target_->windows())
        argv.insert(argv.end(), {"wine", program_copy().string()});
    else
        argv.push_back(program_copy().string());
    // HEADWRIGHT_TEST_JOBS reruns the suite with that many threads: every
    // case's files and lines are the same whatever the threads did.
    if (const char* jobs = std::getenv("HEADWRIGHT_TEST_JOBS"); jobs && arguments.size() > 1)
        argv.insert(argv.end(), {"--jobs", jobs});
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}

program_result SkeldCli::run_default(bool unprivileged) const
{
    return run({at("p.p_c"), at("lib/boost"), at("out")}, unprivileged);
}

std::string SkeldCli::files_line(std::size_t written, std::size_t unchanged, std::size_t removed)
{
    return "Files written: " + std::to_string(written) + ", left unchanged: " + std::to_string(unchanged) +
           ", removed: " + std::to_string(removed);
}

std::vector<std::string> SkeldCli::full_run_writing(std::size_t written, const std::string& output) const
{
    std::vector<std::string> lines = full_run(output);
    lines.push_back(files_line(written));
    return lines;
}

std::vector<std::string> SkeldCli::full_run(const std::string& output) const
{
    std::vector<std::string> steps = {
        "Creating compiler header Files ...",
        "Creating boost substitute header files ...",
        "Creating compiler/platform substitute header files ...",
        "Modifying Compiler Personality...",
    };
    if (!output.empty())
        steps.insert(steps.end(), {kAddOutputByHand, at(output)});
    return steps;
}

std::string SkeldCli::boost_pattern(const std::string& forwarded) const
{
    const std::string forward = "#include_next \"" + sep(forwarded) + "\"\n";
    return lines("#ifndef IN_BOOST_HEADERS\n#define IN_BOOST_HEADERS\n#include \"RemoveAllCompilerFlags.h\"\n" +
                 forward + "#include \"AddAllCompilerFlags.h\"\n#undef IN_BOOST_HEADERS\n#else\n" + forward +
                 "#endif\n");
}

std::string SkeldCli::nonboost_pattern(const std::string& forwarded) const
{
    const std::string forward = "#include_next \"" + sep(forwarded) + "\"\n";
    return lines("#ifndef IN_BOOST_HEADERS\n" + forward +
                 "#else\n#include \"AddAllCompilerFlags.h\"\n#undef IN_BOOST_HEADERS\n" + forward +
                 "#define IN_BOOST_HEADERS\n#include \"RemoveAllCompilerFlags.h\"\n#endif\n");
}

void SkeldCli::lay_out_run() const
{
    put("possible_defines.txt", "FOO\n");
    put("p.p_c", "-sd FOO=1\n");
    put("treat_as_nonboost.txt", "");
    put("boost_compiler_person_settings.txt", "");
    put("orvo++_compiler.hpp", "");
    put("orvo++_windows.hpp", "");
    put("lib/boost/config/compiler/gcc.hpp", "");
    put("lib/boost/config/platform/linux.hpp", "");
    fs::create_directories(dir / "out");
}
