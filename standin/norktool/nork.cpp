// Stands in for the kit's command-line tool: starts the engine and runs programs in its targets.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "sharedfolders.h"

#include <kitconfig.h>

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

extern char **environ;

namespace {

enum ExitCode { Failure = 1, Usage = 2, CannotRun = 126, NotFound = 127 };

using BuildTarget = Nork::KitTarget;
using BuildEngine = Nork::KitEngine;

void fail(const QString &message)
{
    std::fprintf(stderr, "nork: %s\n", message.toLocal8Bit().constData());
}

int usage()
{
    std::fputs("usage: nork engine start\n"
               "       nork engine exec [-tt] sb2 -t TARGET PROGRAM [ARGUMENTS...]\n"
               "The kit is described by the JSON file named by NEVERRAOS_KIT_CONFIG (default: "
               NEVERRAOS_DEFAULT_CONFIG ").\n",
               stderr);
    return Usage;
}

bool readConfig(QList<BuildEngine> *engines)
{
    const QString path = Nork::defaultKitConfigPath();
    Nork::KitConfig kit;
    QString error;
    if (!Nork::readKitConfig(path, &kit, &error)) {
        fail(error);
        return false;
    }
    if (kit.engines.isEmpty()) {
        fail(u"the kit configuration %1 names no build engine"_s.arg(path));
        return false;
    }
    *engines = kit.engines;
    return true;
}

// Only the signing tools that the target names are found; a second checkout's
// tools must not leak in, so the paths come from this build.
std::string targetPath(const BuildTarget &target)
{
    QStringList path;
    for (const QString &tool : target.tools) {
        const QString folder = QString::fromUtf8(NEVERRAOS_TOOLS_DIR) + u'/' + tool;
        if (!tool.isEmpty() && !tool.contains(u'/') && QFileInfo(folder).isDir())
            path.append(folder);
    }
    path << u"/usr/local/sbin"_s << u"/usr/local/bin"_s << u"/usr/sbin"_s << u"/usr/bin"_s
         << u"/sbin"_s << u"/bin"_s;
    return "PATH=" + path.join(u':').toStdString();
}

std::vector<std::string> targetEnvironment(const BuildTarget &target)
{
    // The host's library and OpenSSL settings would point at the wrong system.
    static const char *const dropped[] = {"PATH=", "LD_PRELOAD=", "LD_LIBRARY_PATH=",
                                          "OPENSSL_CONF=", "OPENSSL_ENGINES=", "OPENSSL_MODULES="};
    std::vector<std::string> result;
    for (char **entry = environ; *entry; ++entry) {
        bool keep = true;
        for (const char *prefix : dropped)
            keep = keep && std::strncmp(*entry, prefix, std::strlen(prefix)) != 0;
        if (keep)
            result.emplace_back(*entry);
    }
    result.push_back(targetPath(target));
    return result;
}

std::vector<char *> pointers(std::vector<std::string> &strings)
{
    std::vector<char *> result;
    for (std::string &s : strings)
        result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}

volatile sig_atomic_t childGroup = 0;
int wakeUp[2] = {-1, -1};

void onSignal(int signal)
{
    const int savedErrno = errno;
    if (signal == SIGCHLD) {
        [[maybe_unused]] ssize_t ignored = write(wakeUp[1], "c", 1);
    } else if (childGroup != 0) {
        kill(childGroup, signal);
    }
    errno = savedErrno;
}

void installSignalHandlers()
{
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGCHLD, SIGTERM, SIGHUP, SIGINT, SIGQUIT})
        sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= size_t(written);
    }
    return true;
}

// Runs in the forked child; the tool has a single thread, so allocating here is safe.
[[noreturn]] void startProgram(const BuildEngine &engine, const BuildTarget &target,
                               const std::string &workingDir, char **argv, char **envp,
                               pid_t parent, int terminal, int master)
{
    // The tool's death by SIGKILL must not leave the program behind.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(CannotRun);
    std::signal(SIGPIPE, SIG_DFL);
    if (terminal >= 0) {
        close(master);
        setsid();
        ioctl(terminal, TIOCSCTTY, 0);
        dup2(terminal, STDIN_FILENO);
        dup2(terminal, STDOUT_FILENO);
        if (terminal > STDERR_FILENO)
            close(terminal);
    }
    const auto cannotEnter = [&](const char *why) {
        std::fprintf(stderr, "nork: cannot enter the root %s of build target %s: %s\n",
                     target.root.toLocal8Bit().constData(), target.name.toLocal8Bit().constData(),
                     why);
        _exit(CannotRun);
    };
    const std::string root = QFileInfo(target.root).canonicalFilePath().toStdString();
    if (root.empty())
        cannotEnter(strerror(ENOENT));
    std::vector<Nork::SharedFolder> shared{{NEVERRAOS_TOOLS_DIR, true}};
    for (const QString &folder : {engine.sharedHome, engine.sharedSrc}) {
        if (!folder.isEmpty())
            shared.push_back({folder.toStdString(), false});
    }
    std::string viewError;
    if (!Nork::showOnlySharedFolders(root, shared, &viewError))
        cannotEnter(viewError.c_str());
    if (chroot(root.c_str()) != 0)
        cannotEnter(strerror(errno));
    if (chdir(workingDir.c_str()) != 0) {
        std::fprintf(stderr, "nork: the folder %s is not shared with build target %s: %s\n",
                     workingDir.c_str(), target.name.toLocal8Bit().constData(), strerror(errno));
        _exit(CannotRun);
    }
    environ = envp;
    execvp(argv[0], argv);
    const int error = errno;
    std::fprintf(stderr, "nork: cannot run %s in build target %s: %s\n", argv[0],
                 target.name.toLocal8Bit().constData(), strerror(error));
    _exit(error == ENOENT ? NotFound : CannotRun);
}

int exitCodeOf(int status)
{
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

bool reapChild(pid_t child, int *status)
{
    char buffer[64];
    while (read(wakeUp[0], buffer, sizeof buffer) > 0) {}
    return waitpid(child, status, WNOHANG) == child;
}

// Moves the terminal's output to stdout as it arrives and stdin to the terminal,
// until the program has ended and its last output is through.
int relayTerminal(pid_t child, int master)
{
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    std::string toTerminal;
    bool inputOpen = true;
    bool masterOpen = true;
    int status = 0;
    char buffer[4096];

    for (;;) {
        pollfd fds[3] = {
            {wakeUp[0], POLLIN, 0},
            {masterOpen ? master : -1, short(POLLIN | (toTerminal.empty() ? 0 : POLLOUT)), 0},
            {inputOpen && toTerminal.size() < 65536 ? STDIN_FILENO : -1, POLLIN, 0},
        };
        if (poll(fds, 3, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if ((fds[0].revents & POLLIN) && reapChild(child, &status))
            break;
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t got = read(master, buffer, sizeof buffer);
            if (got > 0)
                writeAll(STDOUT_FILENO, buffer, size_t(got));
            else if (got == 0 || (errno != EAGAIN && errno != EINTR))
                masterOpen = false; // EIO: no one holds the terminal any more
        }
        if (masterOpen && (fds[1].revents & POLLOUT)) {
            const ssize_t written = write(master, toTerminal.data(), toTerminal.size());
            if (written > 0)
                toTerminal.erase(0, size_t(written));
        }
        if (fds[2].revents & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
            if (got > 0)
                toTerminal.append(buffer, size_t(got));
            else if (got == 0 || errno != EINTR)
                inputOpen = false;
        }
    }

    // The kernel hands the last output over to the master side a little after
    // the program's exit; a program's leftover children may keep it open, so
    // a short quiet period ends the wait.
    while (masterOpen) {
        pollfd fd = {master, POLLIN, 0};
        const int ready = poll(&fd, 1, 200);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        const ssize_t got = read(master, buffer, sizeof buffer);
        if (got > 0)
            writeAll(STDOUT_FILENO, buffer, size_t(got));
        else if (got == 0 || (errno != EAGAIN && errno != EINTR))
            break;
    }
    return exitCodeOf(status);
}

int waitForChild(pid_t child)
{
    int status = 0;
    for (;;) {
        pollfd fd = {wakeUp[0], POLLIN, 0};
        if (poll(&fd, 1, -1) < 0 && errno != EINTR)
            return Failure;
        if (reapChild(child, &status))
            return exitCodeOf(status);
    }
}

int exec(const BuildEngine &engine, const BuildTarget &target, bool withTerminal,
         const QStringList &command)
{
    std::vector<std::string> arguments;
    // What the kit's remote shell does with a command given as one element.
    if (command.first().contains(u' '))
        arguments = {"/bin/sh", "-c", command.join(u' ').toStdString()};
    else
        for (const QString &argument : command)
            arguments.push_back(argument.toStdString());
    std::vector<std::string> environment = targetEnvironment(target);
    std::vector<char *> argv = pointers(arguments);
    std::vector<char *> envp = pointers(environment);
    const std::string workingDir = QDir::currentPath().toStdString();

    int master = -1;
    int terminal = -1;
    if (withTerminal) {
        winsize size = {};
        size.ws_row = 24;
        size.ws_col = 160;
        if (openpty(&master, &terminal, nullptr, nullptr, &size) != 0) {
            fail(u"cannot open a terminal: %1"_s.arg(QString::fromLocal8Bit(strerror(errno))));
            return CannotRun;
        }
        // Input comes from a program, never a typist, and may be a passphrase.
        termios mode;
        tcgetattr(terminal, &mode);
        mode.c_lflag &= ~tcflag_t(ECHO | ECHOE | ECHOK | ECHONL);
        tcsetattr(terminal, TCSANOW, &mode);
    }

    if (pipe2(wakeUp, O_CLOEXEC | O_NONBLOCK) != 0) {
        fail(u"cannot create a pipe: %1"_s.arg(QString::fromLocal8Bit(strerror(errno))));
        return CannotRun;
    }
    installSignalHandlers();

    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0) {
        fail(u"cannot start a process: %1"_s.arg(QString::fromLocal8Bit(strerror(errno))));
        return CannotRun;
    }
    if (child == 0)
        startProgram(engine, target, workingDir, argv.data(), envp.data(), parent, terminal,
                     master);

    // With a terminal the program leads its own session: signal its whole group.
    childGroup = withTerminal ? -child : child;
    if (!withTerminal)
        return waitForChild(child);
    close(terminal);
    return relayTerminal(child, master);
}

int engineStart()
{
    QList<BuildEngine> engines;
    if (!readConfig(&engines))
        return Failure;
    if (!engines.first().canStart) {
        fail(u"the build engine \"%1\" cannot be started"_s.arg(engines.first().name));
        return Failure;
    }
    return 0;
}

int engineExec(QStringList arguments)
{
    bool withTerminal = false;
    if (arguments.value(0) == "-tt"_L1) {
        withTerminal = true;
        arguments.removeFirst();
    }
    if (arguments.size() < 4 || arguments.at(0) != "sb2"_L1 || arguments.at(1) != "-t"_L1)
        return usage();
    const QString targetName = arguments.at(2);
    const QStringList command = arguments.mid(3);

    QList<BuildEngine> engines;
    if (!readConfig(&engines))
        return Failure;
    for (const BuildEngine &engine : std::as_const(engines)) {
        for (const BuildTarget &target : engine.targets) {
            if (target.name == targetName)
                return exec(engine, target, withTerminal, command);
        }
    }
    fail(u"no build target named \"%1\" in the build engine"_s.arg(targetName));
    return NotFound;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (arguments.value(0) != "engine"_L1)
        return usage();
    if (arguments.value(1) == "start"_L1 && arguments.size() == 2)
        return engineStart();
    if (arguments.value(1) == "exec"_L1)
        return engineExec(arguments.mid(2));
    return usage();
}
