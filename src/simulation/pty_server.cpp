#include "simulation/pty_server.h"

#include "simulation/loconet_message.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace bl::sim {

PtyServer::PtyServer(LocoNetBus &bus) : bus_(bus) {}

PtyServer::~PtyServer() {
    notifier_.reset();
    writable_.reset();
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
}

bool PtyServer::open() {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        return false;
    termios raw{};
    ::tcgetattr(slave_, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave_, TCSANOW, &raw);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    device_ = QString::fromLocal8Bit(name);
    notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { readable(); });
    // Like the USB chips of real interfaces, which hand over what arrived
    // every few milliseconds (the latency timer), not every byte.
    flush_.setInterval(kLatencyMs);
    flush_.setSingleShot(true);
    connect(&flush_, &QTimer::timeout, this, [this] { flush(); });
    writable_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Write);
    writable_->setEnabled(false);
    connect(writable_.get(), &QSocketNotifier::activated, this, [this] { flush(); });
    listening_ = bus_.listen([this](const QByteArray &msg) {
        if (pending_.size() + msg.size() > kMostPending)
            return; // dropped whole
        pending_ += msg;
        if (!flush_.isActive() && !writable_->isEnabled())
            flush_.start();
    });
    return true;
}

void PtyServer::flush() {
    const ssize_t n = ::write(master_, pending_.constData(), static_cast<size_t>(pending_.size()));
    if (n > 0)
        pending_.remove(0, static_cast<qsizetype>(n));
    // the rest, a message's end among it, goes first when the terminal can take it
    writable_->setEnabled(!pending_.isEmpty());
}

void PtyServer::readable() {
    unsigned char buf[512];
    const ssize_t n = ::read(master_, buf, sizeof buf);
    for (ssize_t i = 0; i < n; ++i)
        if (incoming_.feed(buf[i]))
            bus_.put(bytes_of(incoming_.message()));
}

} // namespace bl::sim
