#include "ProcessRunner.h"
#include "Platform.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace {

Platform::ProcessRunnerFn& replacement()
{
    static Platform::ProcessRunnerFn runner;
    return runner;
}

// Descriptors closed however the run ends.
struct Descriptors
{
    int fds[5] = {-1, -1, -1, -1, -1};
    ~Descriptors()
    {
        for (int fd : fds)
            if (fd >= 0)
                ::close(fd);
    }
    void close(int& fd)
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

// Reads what the pipe holds now; false once it is at its end (or broken).
bool readAvailable(int fd, QByteArray& into)
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            into.append(buffer, static_cast<int>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

} // namespace

namespace Platform {

// The child is started with posix_spawn rather than fork: the tools run while
// the application starts up, and a fork of the whole application copies its
// page tables and turns every page it then writes into a copy-on-write fault,
// which slowed the start measurably. A name without a slash is looked for in
// PATH, as before. The child gets stdin at its end at once,
// its own session (so no controlling terminal: su and the like fail at once
// instead of waiting for a password on the tty), and pipes for its output.
ProcessResult runProcessDirect(const QString& program, const QStringList& args, int timeoutMs)
{
    ProcessResult result;
    Descriptors d;
    int& inRead = d.fds[0];
    int& outRead = d.fds[1];
    int& outWrite = d.fds[2];
    int& errRead = d.fds[3];
    int& errWrite = d.fds[4];
    inRead = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    int outPipe[2], errPipe[2];
    if (inRead < 0 || ::pipe2(outPipe, O_CLOEXEC) != 0)
        return result;
    outRead = outPipe[0];
    outWrite = outPipe[1];
    if (::pipe2(errPipe, O_CLOEXEC) != 0)
        return result;
    errRead = errPipe[0];
    errWrite = errPipe[1];

    const QByteArray path = QFile::encodeName(program);
    std::vector<QByteArray> argBytes{path};
    for (const QString& arg : args)
        argBytes.push_back(arg.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& arg : argBytes)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_adddup2(&actions, inRead, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outWrite, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errWrite, STDERR_FILENO);
    // The child starts with default signal handling and nothing blocked,
    // whatever this thread has set.
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
#ifndef Q_OS_MACOS
    flags |= POSIX_SPAWN_SETSID;
#endif
    posix_spawnattr_setflags(&attributes, flags);
    pid_t pid = -1;
    const int spawned = ::posix_spawnp(&pid, path.constData(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    d.close(inRead);
    d.close(outWrite);
    d.close(errWrite);
    if (spawned != 0)
        return result;
    result.started = true;
    ::fcntl(outRead, F_SETFL, ::fcntl(outRead, F_GETFL) | O_NONBLOCK);
    ::fcntl(errRead, F_SETFL, ::fcntl(errRead, F_GETFL) | O_NONBLOCK);

    // Output is read until the child has ended and its pipes are at their
    // end; a grandchild that keeps a pipe open does not hold the run up
    // once the child itself has ended.
    const int limit = scaledWait(timeoutMs);
    QElapsedTimer clock;
    clock.start();
    const auto readPipes = [&] {
        if (outRead >= 0 && !readAvailable(outRead, result.standardOutput))
            d.close(outRead);
        if (errRead >= 0 && !readAvailable(errRead, result.standardError))
            d.close(errRead);
    };
    int status = 0;
    bool ended = false;
    for (;;) {
        const pid_t waited = ::waitpid(pid, &status, WNOHANG);
        ended = waited == pid || (waited < 0 && errno == ECHILD);
        const qint64 left = limit - clock.elapsed();
        if (ended || left <= 0)
            break;
        pollfd watched[2];
        nfds_t count = 0;
        if (outRead >= 0)
            watched[count++] = {outRead, POLLIN, 0};
        if (errRead >= 0)
            watched[count++] = {errRead, POLLIN, 0};
        // The child's end is looked for between reads, every few
        // milliseconds once both pipes are at their end.
        const int wait = static_cast<int>(std::min<qint64>(left, count > 0 ? 50 : 5));
        if (::poll(count > 0 ? watched : nullptr, count, wait) < 0 && errno != EINTR)
            break;
        readPipes();
    }
    if (ended) {
        result.finished = true;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    } else {
        ::kill(pid, SIGKILL);
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    // What the child wrote before it ended or was cut off.
    readPipes();
    return result;
}

ProcessResult runProcess(const QString& program, const QStringList& args, int timeoutMs)
{
    if (replacement())
        return replacement()(program, args, timeoutMs);
    return runProcessDirect(program, args, timeoutMs);
}

void setProcessRunner(ProcessRunnerFn runner)
{
    replacement() = std::move(runner);
}

} // namespace Platform
