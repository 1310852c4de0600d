#pragma once

#include "loconet/framer.h"
#include "simulation/loconet_bus.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>

namespace bl::sim {

// Serves the simulated bus on a pseudo-terminal as a USB LocoNet interface
// would: raw LocoNet bytes both ways, every message echoed.
class PtyServer : public QObject {
public:
    explicit PtyServer(LocoNetBus &bus);
    ~PtyServer() override;

    bool open();
    QString device() const { return device_; }

private:
    void readable();

    LocoNetBus &bus_;
    int master_ = -1;
    int slave_ = -1; // kept open, so that a client may come and go
    QString device_;
    std::unique_ptr<QSocketNotifier> notifier_;
    loconet::Framer incoming_;
    QByteArray pending_; // bytes for the client, handed over together
    QTimer flush_;
    static constexpr int kLatencyMs = 16;
};

} // namespace bl::sim
