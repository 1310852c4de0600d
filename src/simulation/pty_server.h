#pragma once

#include "loconet/framer.h"
#include "simulation/loconet_bus.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>

namespace bl::sim {

// Serves the simulated bus on a pseudo-terminal as a USB LocoNet interface
// would: raw LocoNet bytes both ways, every message echoed. Messages go out
// whole: what the terminal does not take now goes first when it can; while
// a reader takes nothing for long, whole new messages are dropped, as the
// bus does not wait for anyone.
class PtyServer : public QObject {
public:
    explicit PtyServer(LocoNetBus &bus);
    ~PtyServer() override;

    bool open();
    QString device() const { return device_; }

private:
    void readable();
    void flush();

    LocoNetBus &bus_;
    int master_ = -1;
    int slave_ = -1; // kept open, so that a client may come and go
    QString device_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::unique_ptr<QSocketNotifier> writable_;
    loconet::Framer incoming_;
    QByteArray pending_; // bytes for the client, handed over together
    QTimer flush_;
    LocoNetBus::MessageListeners::Handle listening_;
    static constexpr int kLatencyMs = 16;
    static constexpr qsizetype kMostPending = 64 * 1024;
};

} // namespace bl::sim
