// A pseudo-terminal pair: the program opens the slave side as its serial
// port, the test plays the interface on the master side.
#pragma once

#include <QString>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace bl::testing {

struct PtyPair {
    int master = -1;
    int slave = -1;
    QString device;

    PtyPair() {
        char name[256] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
            return;
        // a program started by the test must not hold the pair open
        ::fcntl(master, F_SETFD, FD_CLOEXEC);
        ::fcntl(slave, F_SETFD, FD_CLOEXEC);
        termios raw{};
        ::tcgetattr(slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
        device = QString::fromLocal8Bit(name);
    }
    ~PtyPair() {
        close_slave();
        close_master();
    }
    bool ok() const { return master >= 0; }
    // The test keeps the slave open only until the program has opened it.
    void close_slave() {
        if (slave >= 0)
            ::close(slave);
        slave = -1;
    }
    // Closing the master is the interface being unplugged.
    void close_master() {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    bool write(const QByteArray &bytes) const {
        return ::write(master, bytes.constData(), static_cast<size_t>(bytes.size())) ==
               bytes.size();
    }
    QByteArray read_available() const {
        QByteArray out;
        const int flags = ::fcntl(master, F_GETFL);
        ::fcntl(master, F_SETFL, flags | O_NONBLOCK);
        char buf[4096];
        ssize_t n;
        while ((n = ::read(master, buf, sizeof buf)) > 0)
            out.append(buf, n);
        ::fcntl(master, F_SETFL, flags);
        return out;
    }
};

} // namespace bl::testing
