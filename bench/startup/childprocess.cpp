#include "childprocess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

ChildProcess::ChildProcess() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGCHLD);
    sigprocmask(SIG_BLOCK, &set, nullptr);
    signalFd_ = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !ended_) {
        terminate(1000);
    }
    if (signalFd_ >= 0) {
        close(signalFd_);
    }
}

std::string ChildProcess::start(const std::vector<std::string>& argv, int closeInChild,
                                bool quiet) {
    if (signalFd_ < 0) {
        return std::string("signalfd: ") + std::strerror(errno);
    }
    // The child reports a failed exec through this pipe; a successful exec
    // closes it (O_CLOEXEC) and the parent reads end-of-file.
    int execPipe[2];
    if (pipe2(execPipe, O_CLOEXEC) != 0) {
        return std::string("pipe: ") + std::strerror(errno);
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);

    pid_ = fork();
    if (pid_ < 0) {
        return std::string("fork: ") + std::strerror(errno);
    }
    if (pid_ == 0) {
        // Only async-signal-safe calls from here on.
        sigset_t set;
        sigemptyset(&set);
        sigprocmask(SIG_SETMASK, &set, nullptr);
        if (closeInChild >= 0) {
            close(closeInChild);
        }
        if (quiet) {
            const int null = open("/dev/null", O_WRONLY);
            if (null >= 0) {
                dup2(null, STDOUT_FILENO);
                dup2(null, STDERR_FILENO);
            }
        }
        execvp(args[0], args.data());
        const int error = errno;
        [[maybe_unused]] const ssize_t written = write(execPipe[1], &error, sizeof error);
        _exit(127);
    }
    close(execPipe[1]);
    int error = 0;
    ssize_t got;
    do {
        got = read(execPipe[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(execPipe[0]);
    if (got == static_cast<ssize_t>(sizeof error)) {
        waitpid(pid_, &status_, 0);
        ended_ = true;
        return "cannot run " + argv[0] + ": " + std::strerror(error);
    }
    return {};
}

bool ChildProcess::reap() {
    signalfd_siginfo info;
    while (read(signalFd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
    }
    if (!ended_ && pid_ > 0 && waitpid(pid_, &status_, WNOHANG) == pid_) {
        ended_ = true;
    }
    return ended_;
}

std::string ChildProcess::exitDescription() const {
    std::ostringstream text;
    if (WIFEXITED(status_)) {
        text << "exited with status " << WEXITSTATUS(status_);
    } else if (WIFSIGNALED(status_)) {
        text << "was killed by signal " << WTERMSIG(status_) << " (" << strsignal(WTERMSIG(status_))
             << ")";
    } else {
        text << "ended";
    }
    return text.str();
}

long ChildProcess::residentKib() const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

void ChildProcess::terminate(int graceMs) {
    if (pid_ <= 0 || ended_) {
        return;
    }
    kill(pid_, SIGTERM);
    pollfd fd{signalFd_, POLLIN, 0};
    for (int waited = 0; !reap() && waited < graceMs; waited += 50) {
        poll(&fd, 1, 50);
    }
    if (!ended_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
        ended_ = true;
    }
}
