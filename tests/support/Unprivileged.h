#pragma once
// Permission bits bind every user but root, and `make test` runs as root. A
// test about permissions started as root runs itself again as nobody (through
// setpriv, from util-linux) and reports what that run found; started as any
// other user it simply runs.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>
#include <vector>

extern char** environ;

inline constexpr const char* kSetprivPath = "/usr/bin/setpriv";

inline bool RunningAsRoot() { return ::geteuid() == 0; }
inline bool CanRunAsNobody() { return ::access(kSetprivPath, X_OK) == 0; }

inline std::string OwnProgramPath() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

struct SUnprivilegedRun {
    int status = -1;     // the exit status, -1 when the program did not end by itself
    std::string output;  // standard output and standard error together
};

// Runs `args` (the program first) as nobody:nogroup without supplementary
// groups, in /tmp and with its temporary files there, where nobody may write.
// The program is handed over open, so that it runs even from a build folder
// nobody may enter (a checkout in root's home).
inline SUnprivilegedRun RunAsNobody(std::vector<std::string> args) {
    SUnprivilegedRun run;
    const int program = ::open(args.at(0).c_str(), O_RDONLY);
    if (program < 0) return run;
    args[0] = "/proc/self/fd/" + std::to_string(program);
    std::vector<std::string> full = {kSetprivPath, "--reuid=nobody", "--regid=nogroup",
                                     "--clear-groups", "--"};
    full.insert(full.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : full) argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment = {"TMPDIR=/tmp"};
    for (char** variable = environ; *variable != nullptr; ++variable)
        if (std::string(*variable).rfind("TMPDIR=", 0) != 0) environment.emplace_back(*variable);
    std::vector<char*> envp;
    for (std::string& variable : environment) envp.push_back(variable.data());
    envp.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        ::close(program);
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
    posix_spawn_file_actions_addchdir_np(&actions, "/tmp");
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, kSetprivPath, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    ::close(program);
    if (spawned == 0) {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) != 0) {
            if (n > 0)
                run.output.append(buffer, static_cast<std::size_t>(n));
            else if (errno != EINTR)
                break;
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    }
    ::close(pipeFds[0]);
    return run;
}
