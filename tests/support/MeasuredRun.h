#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace zorel8z::test {

// The budget of memory any command of the tool may take, on any input.
constexpr long kPeakMemoryBudgetKiB = 64 * 1024;

// Sanitizer builds carry shadow memory and quarantines: their peaks say nothing about the program's.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryMeasurable = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMemoryMeasurable = false;
#else
constexpr bool kMemoryMeasurable = true;
#endif
#else
constexpr bool kMemoryMeasurable = true;
#endif

struct MeasuredResult {
    bool finished = false; // false: still running at the deadline, and killed
    int code = -1;         // exit code, or -signal when a signal ended it
    QString out;
    QString err;
    long peakKiB = 0; // the program's own peak resident set
};

// GNU time, which forks the program from its own small self: a child forked straight from the test
// would start its peak from the test's resident size.
constexpr const char* kTimeTool = "/usr/bin/time";

// Runs a program under GNU time, which reports its peak resident size, with standard input from
// `stdinPath` and `extraEnv` ("NAME=value") added to this process's environment. A child still
// running after `deadlineMs` is killed with its process group: a hang fails the test instead of
// stopping it. No time tool: peakKiB stays 0.
inline MeasuredResult runMeasured(const QString& program, const QStringList& args,
                                  const QString& stdinPath = QStringLiteral("/dev/null"),
                                  const QStringList& extraEnv = {}, int deadlineMs = 60000) {
    MeasuredResult result;
    QTemporaryDir dir;
    const QByteArray outPath = QFile::encodeName(dir.filePath(QStringLiteral("out")));
    const QByteArray errPath = QFile::encodeName(dir.filePath(QStringLiteral("err")));
    const QByteArray inPath = QFile::encodeName(stdinPath);
    const QString rssPath = dir.filePath(QStringLiteral("rss"));
    const bool timed = ::access(kTimeTool, X_OK) == 0;

    std::vector<QByteArray> argBytes;
    if (timed)
        argBytes = {kTimeTool, "-q", "-f", "%M", "-o", QFile::encodeName(rssPath)};
    argBytes.push_back(QFile::encodeName(program));
    for (const QString& a : args)
        argBytes.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& a : argBytes)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<QByteArray> envBytes;
    for (char** e = environ; *e; ++e)
        envBytes.emplace_back(*e);
    for (const QString& e : extraEnv)
        envBytes.push_back(e.toLocal8Bit());
    std::vector<char*> envp;
    for (QByteArray& e : envBytes)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Non-blocking: a FIFO given as standard input must not stop the spawn itself.
    posix_spawn_file_actions_addopen(&actions, 0, inPath.constData(), O_RDONLY | O_NONBLOCK, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A group of its own, so a deadline takes the program down with the time tool.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0)
        return result;

    int status = 0;
    QDeadlineTimer deadline(deadlineMs);
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            result.finished = true;
            break;
        }
        if (deadline.hasExpired()) {
            ::kill(-pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        QThread::msleep(10);
    }
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    // The time tool ends with 128 + the signal that ended the program; the tool itself never exits so.
    if (timed && result.code > 128)
        result.code = 128 - result.code;
    QFile rss(rssPath);
    if (timed && result.finished && rss.open(QIODevice::ReadOnly))
        result.peakKiB = rss.readAll().trimmed().toLong();
    QFile out(dir.filePath(QStringLiteral("out")));
    QFile err(dir.filePath(QStringLiteral("err")));
    if (out.open(QIODevice::ReadOnly))
        result.out = QString::fromUtf8(out.read(1 << 20));
    if (err.open(QIODevice::ReadOnly))
        result.err = QString::fromUtf8(err.read(1 << 20));
    return result;
}

} // namespace zorel8z::test
