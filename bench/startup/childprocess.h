#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// The measured program, started with fork/exec. SIGCHLD is delivered through a
// file descriptor, so the caller can wait for the program's exit and for X
// events in the same poll().
class ChildProcess {
public:
    ChildProcess();
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts argv[0] (searched in PATH) with the given arguments. closeInChild
    // is closed in the child before exec (the parent's X connection); quiet
    // sends the child's output to /dev/null. Returns an error text, empty on
    // success; a program that cannot be executed is an error here, not a
    // silent exit later.
    std::string start(const std::vector<std::string>& argv, int closeInChild, bool quiet);

    pid_t pid() const { return pid_; }
    // Readable when the child has changed state; call reap() then.
    int exitFd() const { return signalFd_; }
    // True once the child has ended; exitDescription() then says how.
    bool reap();
    std::string exitDescription() const;

    // Resident memory (VmRSS) in KiB, or -1 when it cannot be read.
    long residentKib() const;

    // SIGTERM, and SIGKILL after graceMs; reaps the child.
    void terminate(int graceMs);

private:
    pid_t pid_ = -1;
    int signalFd_ = -1;
    int status_ = 0;
    bool ended_ = false;
};
