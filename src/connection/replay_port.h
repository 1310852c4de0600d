#pragma once

#include "shared/serial_control.h"

#include <QIODevice>
#include <QObject>
#include <QTimer>
#include <memory>

namespace bl {

// A serial control that "receives" the bytes of a capture: while open with
// RThreshold 1 it hands them over a chunk per event-loop pass through the
// receive event, like a USB interface, so the window stays responsive.
class ReplayPort : public QObject, public SerialControl {
public:
    // Reads the capture from the device as it goes, a chunk at a time, so
    // that a capture of any size takes no more memory than a chunk.
    explicit ReplayPort(std::unique_ptr<QIODevice> capture, int chunk_size = 4096);

    // Called once when every byte has been handed over.
    void setOnFinished(std::function<void()> handler) { on_finished_ = std::move(handler); }
    bool finished() const { return capture_->atEnd() && waiting_.isEmpty(); }

    void setCommPort(std::int16_t port) override { port_ = port; }
    std::int16_t commPort() const override { return port_; }
    void setDevicePath(const QString &) override {}
    void setSettings(const QString &) override {}
    bool portOpen() const override { return open_; }
    void setPortOpen(bool open) override;
    void setInputMode(int) override {}
    void setInputLen(std::int16_t len) override { input_len_ = len; }
    int inBufferCount() override;
    void setInBufferCount(int) override { waiting_.clear(); }
    QByteArray input() override;
    void setOutBufferCount(int) override {}
    void output(const QByteArray &) override {}
    bool ctsHolding() override { return true; }
    void setRTSEnable(bool) override {}
    void setHandshaking(int) override {}
    void setBreak(bool) override {}
    void setRThreshold(std::int16_t threshold) override;
    void setSThreshold(std::int16_t) override {}
    std::int16_t commEvent() const override { return kCommEventReceive; }
    void setOnComm(std::function<void()> handler) override { on_comm_ = std::move(handler); }

private:
    void deliver_next_chunk();

    std::unique_ptr<QIODevice> capture_;
    QByteArray waiting_;
    int chunk_size_;
    QTimer pacer_;
    bool open_ = false;
    std::int16_t port_ = 0;
    std::int16_t input_len_ = 0;
    std::int16_t threshold_ = 0;
    bool finish_reported_ = false;
    std::function<void()> on_comm_;
    std::function<void()> on_finished_;
};

} // namespace bl
