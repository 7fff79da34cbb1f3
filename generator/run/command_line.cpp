#include "command_line.h"

#include <string_view>
#include <vector>
#include <string>

#include "command_line_help.h"

namespace {

// A whole number of threads in range, else 0.
unsigned job_count(std::string_view word)
{
    unsigned count = 0;
    for (const char c : word) {
        if (c < '0' || c > '9' || count > max_jobs)
            return 0;
        count = count * 10 + static_cast<unsigned>(c - '0');
    }
    return count <= max_jobs ? count : 0;
}

}  // namespace

command_line parse_command_line(int argc, const char* const argv[])
{
    command_line line;
    std::vector<std::string_view> words(argv + 1, argv + (argc > 1 ? argc : 1));
    // Only alone: with three arguments, "--help" names a personality.
    if (words.size() == 1 && (words[0] == "--help" || words[0] == "--version")) {
        line.what = words[0] == "--help" ? command_line::action::help : command_line::action::version;
        return line;
    }
    bool remove = false;
    std::size_t first_path = 0;
    for (; first_path < words.size(); ++first_path) {
        const std::string_view word = words[first_path];
        if (word == "--jobs" && line.jobs == 0) {
            ++first_path;
            line.jobs = first_path < words.size() ? job_count(words[first_path]) : 0;
            if (line.jobs == 0) {
                line.usage = jobs_error;
                line.usage_status = line.check_asked ? 2 : 1;
                return line;
            }
            continue;
        }
        bool* const flag = word == "--progress" ? &line.progress
                           : word == "--check"  ? &line.check_asked
                           : word == "--remove" ? &remove
                                                : nullptr;
        if (!flag || *flag)
            break;  // a path, or an option given twice, which names one
        *flag = true;
    }
    const std::size_t count = words.size() - first_path;
    auto path = [&](std::size_t i) { return std::string(words[first_path + i]); };
    if (line.check_asked && (remove || count != 3)) {
        line.usage = "Usage: Skeld --check <curr_compiler_personality> <orig_header_loc> <config_output_loc>";
        line.usage_status = 2;
        return line;
    }
    if (remove) {
        if (count != 2) {
            line.usage = "Usage: Skeld --remove <curr_compiler_personality> <config_output_loc>";
            return line;
        }
        line.what = command_line::action::remove;
        line.personality = path(0);
        line.output = path(1);
        return line;
    }
    if (count < 3) {
        line.usage = usage_line;
        return line;
    }
    line.what = line.check_asked ? command_line::action::check : command_line::action::run;
    line.personality = path(0);
    line.boost = path(1);
    line.output = path(2);
    return line;
}
