// The COM-port interface runs at 16457 bit/s, a rate the serial settings
// cannot name: the UART's divisor latch is written directly (divisor 7 on a
// UART whose divisor 1 gives 115200 bit/s). Writing registers of the wrong
// port, or a value that was never read, could wreck another device, so every
// doubt leaves the UART alone and asks the driver for the rate instead.
#pragma once

#include <QtGlobal>
#include <functional>
#include <memory>
#include <optional>

namespace bl {

inline constexpr int kComPortInterfaceBaud = 16457;
inline constexpr int kUartDivisor = 7;
inline constexpr int kCom1Base = 0x3F8;
inline constexpr int kCom2Base = 0x2F8;

// Port I/O: the low 8 bits are read from or written to an I/O address.
class PortIo {
public:
    virtual ~PortIo() = default;
    // The byte at the address, or -1 when it cannot be read.
    virtual int Inp32(int port) = 0;
    // False when the byte could not be written.
    virtual bool Out32(int port, int value) = 0;
};

// The five accesses: read the line control register, switch divisor latch
// access on, write the divisor's low and high byte, write the line control
// value back exactly as read. False when an access fails; a line control
// value that could not be read is never written.
bool program_uart_divisor(PortIo &io, int base);

// Sets 16457 bit/s on the port at the given base; false when it cannot.
class UartRate {
public:
    virtual ~UartRate() = default;
    virtual bool set_16457(int base) = 0;
};

// Direct port I/O where the system allows it and the opened port is known
// to sit at that base; otherwise the serial driver is asked for the custom
// rate, which it sets as divisor 7 as well.
class DirectUartRate : public UartRate {
public:
    using OpenPortIo = std::function<std::unique_ptr<PortIo>()>;
    using PortBase = std::function<std::optional<int>()>;
    DirectUartRate(OpenPortIo open_port_io, PortBase port_base,
                   std::function<bool(int)> driver_rate)
        : open_port_io_(std::move(open_port_io)), port_base_(std::move(port_base)),
          driver_rate_(std::move(driver_rate)) {}
    bool set_16457(int base) override;

private:
    bool program_directly(int base);

    OpenPortIo open_port_io_;
    PortBase port_base_;
    std::function<bool(int)> driver_rate_;
};

// Where nothing can set the rate.
class NoUartRate : public UartRate {
public:
    bool set_16457(int) override { return false; }
};

// Port I/O through /dev/port (Linux on x86, root or CAP_SYS_RAWIO), or a
// stand-in file; nullptr where it is not available.
std::unique_ptr<PortIo> open_dev_port(const char *path = "/dev/port");

// The I/O base of the UART behind an open serial port, as its driver says
// (Linux: TIOCGSERIAL); nothing where the driver does not tell.
std::optional<int> uart_base_of(qintptr handle);

} // namespace bl
