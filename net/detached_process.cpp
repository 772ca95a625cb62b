// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/detached_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace vemol::net {
namespace {

// In the forked child only async-signal-safe calls: the game has other threads.
[[noreturn]] void RunGrandchild(char* const* args, int errorPipe, int devNull) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    if (devNull >= 0) dup2(devNull, STDIN_FILENO);
    execv(args[0], args);
    int error = errno;
    ssize_t ignored = write(errorPipe, &error, sizeof error);
    (void)ignored;
    _exit(127);
}

[[noreturn]] void RunIntermediate(char* const* args, int errorPipe, int devNull) {
    setsid();
    pid_t grandchild = fork();
    if (grandchild == 0) RunGrandchild(args, errorPipe, devNull);
    if (grandchild < 0) {
        int error = errno;
        ssize_t ignored = write(errorPipe, &error, sizeof error);
        (void)ignored;
    }
    _exit(0);
}

// Reads the child's report: nothing (the pipe closed on exec) means it started.
bool ReadStartReport(int readEnd) {
    int error = 0;
    ssize_t got;
    do {
        got = read(readEnd, &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    if (got == static_cast<ssize_t>(sizeof error)) {
        errno = error;
        return false;
    }
    return true;
}

}  // namespace

bool StartDetached(const std::vector<std::string>& argv) {
    if (argv.empty()) {
        errno = EINVAL;
        return false;
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return false;
    int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);

    pid_t child = fork();
    if (child == 0) RunIntermediate(args.data(), pipeEnds[1], devNull);
    int forkError = errno;
    close(pipeEnds[1]);
    if (devNull >= 0) close(devNull);
    if (child < 0) {
        close(pipeEnds[0]);
        errno = forkError;
        return false;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    bool started = ReadStartReport(pipeEnds[0]);
    int readError = errno;
    close(pipeEnds[0]);
    errno = readError;
    return started;
}

}  // namespace vemol::net
