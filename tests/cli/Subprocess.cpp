#include "tests/cli/Subprocess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavora::testing {

namespace {

[[noreturn]] void ExecChild(const ProcessSpec& spec) {
    if (!spec.workingDir.empty() && chdir(spec.workingDir.c_str()) != 0)
        _exit(126);
    std::vector<std::string> envText;
    for (const auto& [k, v] : spec.env)
        envText.push_back(k + "=" + v);
    std::vector<char*> argv{const_cast<char*>(spec.program.c_str())};
    for (const auto& a : spec.args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& e : envText)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    execve(spec.program.c_str(), argv.data(), envp.data());
    _exit(127);
}

bool ReadSome(int fd, std::string& into) {
    char buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
        into.append(buffer, static_cast<size_t>(n));
        return true;
    }
    return n < 0 && errno == EINTR;
}

} // namespace

ProcessResult RunProcess(const ProcessSpec& spec) {
    ProcessResult result;
    int outFd = -1, errFd = -1;
    pid_t pid;
    if (spec.terminal) {
        int master = -1;
        pid = forkpty(&master, nullptr, nullptr, nullptr);
        if (pid == 0)
            ExecChild(spec);
        outFd = master;
    } else {
        int out[2], err[2];
        if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
            return result;
        pid = fork();
        if (pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            dup2(err[1], STDERR_FILENO);
            int devnull = open("/dev/null", O_RDONLY);
            dup2(devnull, STDIN_FILENO);
            ExecChild(spec);
        }
        close(out[1]);
        close(err[1]);
        outFd = out[0];
        errFd = err[0];
    }
    if (pid < 0)
        return result;

    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(spec.timeoutMs);
    bool killed = false;
    while (outFd >= 0 || errFd >= 0) {
        pollfd fds[2];
        int count = 0;
        if (outFd >= 0)
            fds[count++] = {outFd, POLLIN, 0};
        if (errFd >= 0)
            fds[count++] = {errFd, POLLIN, 0};
        const int ready = poll(fds, static_cast<nfds_t>(count), 100);
        if (std::chrono::steady_clock::now() > deadline && !killed) {
            kill(pid, SIGKILL);
            killed = true;
        }
        if (ready <= 0)
            continue;
        for (int i = 0; i < count; ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const bool isOut = fds[i].fd == outFd;
            std::string& into = isOut ? result.out : result.err;
            if (!ReadSome(fds[i].fd, into)) {
                close(fds[i].fd);
                (isOut ? outFd : errFd) = -1;
            } else if (isOut && spec.onOutput) {
                spec.onOutput(result.out, pid);
            }
        }
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    return result;
}

} // namespace tavora::testing
