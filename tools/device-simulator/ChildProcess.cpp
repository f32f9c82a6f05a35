#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace devicesim {

namespace {

// openpty cannot mark its descriptors close-on-exec at once; while it runs, no other thread may
// fork, or that child would keep the terminal open and its session would never end.
std::mutex descriptorCreation;

std::vector<char*> nullTerminated(const std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (const auto& text : texts) {
        pointers.push_back(const_cast<char*>(text.c_str()));
    }
    pointers.push_back(nullptr);
    return pointers;
}

bool makePipe(UniqueFd& readEnd, UniqueFd& writeEnd) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return false;
    }
    readEnd.reset(fds[0]);
    writeEnd.reset(fds[1]);
    return true;
}

// Runs in the forked child: only async-signal-safe calls until execve.
[[noreturn]] void becomeChild(int in, int out, int err, bool terminal, char** argv, char** envp) {
    ::setsid();
    if (terminal) {
        ::ioctl(in, TIOCSCTTY, 0);
    }
    ::dup2(in, STDIN_FILENO);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    // The simulator blocks its termination signals and ignores SIGPIPE; a shell must not inherit
    // either.
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    ::sigaction(SIGPIPE, &defaultAction, nullptr);
    ::execve(argv[0], argv, envp);
    ::_exit(127);
}

} // namespace

ChildProcess startChildProcess(const std::vector<std::string>& arguments,
                               const std::vector<std::string>& environment, ChildStreams streams,
                               std::string& error) {
    ChildProcess child;
    UniqueFd childIn, childOut, childErr;
    if (streams == ChildStreams::pseudoTerminal) {
        int master = -1;
        int slave = -1;
        std::lock_guard lock(descriptorCreation);
        if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
            error = std::string("cannot open a terminal: ") + std::strerror(errno);
            return child;
        }
        ::fcntl(master, F_SETFD, FD_CLOEXEC);
        ::fcntl(slave, F_SETFD, FD_CLOEXEC);
        child.terminal.reset(master);
        child.input.reset(::fcntl(master, F_DUPFD_CLOEXEC, 0));
        child.output.reset(::fcntl(master, F_DUPFD_CLOEXEC, 0));
        childIn.reset(slave);
    } else {
        bool made = makePipe(childIn, child.input) && makePipe(child.output, childOut);
        if (made && streams == ChildStreams::separatePipes) {
            made = makePipe(child.errors, childErr);
        }
        if (!made) {
            error = std::string("cannot create pipes: ") + std::strerror(errno);
            return ChildProcess{};
        }
    }
    const int in = childIn.get();
    const int out = childOut.valid() ? childOut.get() : in;
    const int err = childErr.valid() ? childErr.get() : out;

    auto argv = nullTerminated(arguments);
    auto envp = nullTerminated(environment);
    pid_t pid;
    {
        std::lock_guard lock(descriptorCreation);
        pid = ::fork();
    }
    if (pid < 0) {
        error = std::string("cannot start a process: ") + std::strerror(errno);
        return ChildProcess{};
    }
    if (pid == 0) {
        becomeChild(in, out, err, streams == ChildStreams::pseudoTerminal, argv.data(),
                    envp.data());
    }
    child.pid = pid;
    return child;
}

int waitForChild(pid_t pid, const std::function<bool()>& abandoned,
                 std::chrono::milliseconds grace) {
    using clock = std::chrono::steady_clock;
    std::optional<clock::time_point> killAt;
    bool killed = false;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            if (WIFEXITED(status)) {
                return WEXITSTATUS(status);
            }
            return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : 255;
        }
        if (done < 0 && errno != EINTR) {
            return 255;
        }
        if (!killAt && abandoned()) {
            killAt = clock::now() + grace;
        }
        if (killAt && !killed && clock::now() >= *killAt) {
            ::kill(pid, SIGKILL);
            killed = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace devicesim
