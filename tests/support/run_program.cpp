#include "run_program.h"

#include <csignal>
#include <stdexcept>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

program_result run_program(const std::vector<std::string>& argv, const std::filesystem::path& working_directory,
                           bool unprivileged)
{
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0)
        throw std::runtime_error("pipe failed");
    pid_t child = fork();
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
    program_result result;
    char buffer[65536];
    ssize_t got;
    while ((got = read(pipe_fds[0], buffer, sizeof buffer)) > 0)
        result.output.append(buffer, static_cast<std::size_t>(got));
    close(pipe_fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

program_result run_program_killed_at(const std::vector<std::string>& argv, const std::filesystem::path& working_directory,
                                     const std::string& kill_at, std::size_t nth)
{
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0)
        throw std::runtime_error("pipe failed");
    (void)fcntl(pipe_fds[0], F_SETPIPE_SZ, 4096);
    pid_t child = fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        dup2(pipe_fds[1], STDOUT_FILENO);
        close(pipe_fds[0]);
        close(pipe_fds[1]);
        if (chdir(working_directory.c_str()) != 0)
            _exit(126);
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(pipe_fds[1]);
    program_result result;
    std::size_t line_start = 0;
    char c;
    while (read(pipe_fds[0], &c, 1) == 1) {
        result.output.push_back(c);
        if (c != '\n')
            continue;
        if (result.output.compare(line_start, kill_at.size(), kill_at) == 0 && --nth == 0) {
            kill(child, SIGKILL);
            break;
        }
        line_start = result.output.size();
    }
    int status = 0;
    waitpid(child, &status, 0);
    close(pipe_fds[0]);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
