// What the program needs of the serial communications control: the real port
// (connection/), the simulated bus and the test fakes implement it. Every
// operation may raise a RuntimeError.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

namespace bl {

inline constexpr std::int16_t kCommEventReceive = 2;

class SerialControl {
public:
    virtual ~SerialControl() = default;

    virtual void setCommPort(std::int16_t port) = 0;
    virtual std::int16_t commPort() const = 0;
    // A device given by its path instead of a COM number (USB interfaces on
    // Linux have none); an empty path goes back to the COM number.
    virtual void setDevicePath(const QString &path) = 0;
    // "baud,parity,data bits,stop bits", e.g. "19200,n,8,1"
    virtual void setSettings(const QString &settings) = 0;
    virtual bool portOpen() const = 0;
    virtual void setPortOpen(bool open) = 0;
    virtual void setInputMode(int mode) = 0;
    // most characters one input() returns; 0 = all waiting
    virtual void setInputLen(std::int16_t len) = 0;
    virtual int inBufferCount() = 0;
    // only 0 is used: discards what is waiting
    virtual void setInBufferCount(int count) = 0;
    // removes and returns up to InputLen waiting bytes
    virtual QByteArray input() = 0;
    // only 0 is used: discards what is still unsent
    virtual void setOutBufferCount(int count) = 0;
    virtual void output(const QByteArray &bytes) = 0;
    virtual bool ctsHolding() = 0;
    virtual void setRTSEnable(bool on) = 0;
    virtual void setHandshaking(int mode) = 0;
    virtual void setBreak(bool on) = 0;
    virtual void setRThreshold(std::int16_t threshold) = 0;
    virtual void setSThreshold(std::int16_t threshold) = 0;
    virtual std::int16_t commEvent() const = 0;
    // OnComm: called while RThreshold is 1 and data has arrived
    virtual void setOnComm(std::function<void()> handler) = 0;
};

} // namespace bl
