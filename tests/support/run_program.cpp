#include "run_program.h"

#include <csignal>
#include <stdexcept>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A child running argv in working_directory, its standard output the write
// end of a pipe whose read end the parent holds.
struct started_program {
    pid_t pid;
    int output;
};

// pipe_size: the pipe's capacity when given (Linux only), else the system's.
started_program start_program(const std::vector<std::string>& argv, const std::filesystem::path& working_directory,
                              bool unprivileged, int pipe_size = 0)
{
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0)
        throw std::runtime_error("pipe failed");
    if (pipe_size)
        (void)fcntl(pipe_fds[0], F_SETPIPE_SZ, pipe_size);
    const pid_t child = fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        dup2(pipe_fds[1], STDOUT_FILENO);
        close(pipe_fds[0]);
        close(pipe_fds[1]);
        if (chdir(working_directory.c_str()) != 0)
            _exit(126);
        if (unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(125);
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(pipe_fds[1]);
    return {child, pipe_fds[0]};
}

// Waits for the child, then closes the pipe: its exit status, -1 when it did
// not end normally.
int finish_program(const started_program& program)
{
    int status = 0;
    waitpid(program.pid, &status, 0);
    close(program.output);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

program_result run_program(const std::vector<std::string>& argv, const std::filesystem::path& working_directory,
                           bool unprivileged)
{
    const started_program program = start_program(argv, working_directory, unprivileged);
    program_result result;
    char buffer[65536];
    ssize_t got;
    while ((got = read(program.output, buffer, sizeof buffer)) > 0)
        result.output.append(buffer, static_cast<std::size_t>(got));
    result.status = finish_program(program);
    return result;
}

program_result run_program_killed_at(const std::vector<std::string>& argv, const std::filesystem::path& working_directory,
                                     const std::string& kill_at, std::size_t nth)
{
    const started_program program = start_program(argv, working_directory, false, 4096);
    program_result result;
    std::size_t line_start = 0;
    char c;
    while (read(program.output, &c, 1) == 1) {
        result.output.push_back(c);
        if (c != '\n')
            continue;
        if (result.output.compare(line_start, kill_at.size(), kill_at) == 0 && --nth == 0) {
            kill(program.pid, SIGKILL);
            break;
        }
        line_start = result.output.size();
    }
    result.status = finish_program(program);
    return result;
}
