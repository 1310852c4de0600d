// Running the shipped programs: waiting for what they write and for the
// ports they hold, with generous deadlines instead of fixed sleeps.
#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

namespace bl::testing {

// Reads the channel until the text shows up; false after ms milliseconds.
inline bool wait_for_output(QProcess &p, QByteArray &seen, const QByteArray &wanted, int ms = 10000,
                            QProcess::ProcessChannel channel = QProcess::StandardOutput) {
    QElapsedTimer t;
    t.start();
    p.setReadChannel(channel);
    while (!seen.contains(wanted) && t.elapsed() < ms) {
        p.waitForReadyRead(50);
        seen += p.readAll();
    }
    return seen.contains(wanted);
}

// Polls until the condition holds; false after ms milliseconds.
inline bool wait_until(const std::function<bool()> &condition, int ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > ms)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Sends the signal to the program, if it still runs (a pid of 0 would
// reach the whole process group, the test itself among it).
inline void signal_process(const QProcess &p, int sig) {
    if (p.processId() > 0)
        ::kill(static_cast<pid_t>(p.processId()), sig);
}

// Whether the process holds the device open (Linux: its file descriptors).
inline bool holds_open(qint64 pid, const QString &device) {
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo &fd : fds.entryInfoList(QDir::System | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget() == device)
            return true;
    return false;
}

} // namespace bl::testing
