#include "connection/uart_rate.h"

#if defined(__linux__)
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace bl {

bool program_uart_divisor(PortIo &io, int base) {
    const int line_control = io.Inp32(base + 3);
    if (line_control < 0)
        return false;
    if (!io.Out32(base + 3, line_control | 0x80))
        return false;
    const bool divisor = io.Out32(base + 0, kUartDivisor) && io.Out32(base + 1, 0);
    // divisor latch access off again, whatever happened to the divisor
    const bool restored = io.Out32(base + 3, line_control);
    return divisor && restored;
}

bool DirectUartRate::program_directly(int base) {
    if (!open_port_io_ || !port_base_)
        return false;
    const std::optional<int> opened_at = port_base_();
    if (!opened_at || *opened_at != base)
        return false;
    const std::unique_ptr<PortIo> io = open_port_io_();
    return io && program_uart_divisor(*io, base);
}

bool DirectUartRate::set_16457(int base) {
    if (program_directly(base))
        return true;
    return driver_rate_ && driver_rate_(kComPortInterfaceBaud);
}

#if defined(__linux__)
namespace {
class DevPortIo : public PortIo {
public:
    explicit DevPortIo(int fd) : fd_(fd) {}
    ~DevPortIo() override { ::close(fd_); }
    int Inp32(int port) override {
        unsigned char byte = 0;
        return ::pread(fd_, &byte, 1, port) == 1 ? byte : -1;
    }
    bool Out32(int port, int value) override {
        const auto byte = static_cast<unsigned char>(value & 0xFF);
        return ::pwrite(fd_, &byte, 1, port) == 1;
    }

private:
    int fd_;
};
} // namespace

std::unique_ptr<PortIo> open_dev_port(const char *path) {
    const int fd = ::open(path, O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    return std::make_unique<DevPortIo>(fd);
}

std::optional<int> uart_base_of(qintptr handle) {
    serial_struct serial{};
    if (handle < 0 || ::ioctl(static_cast<int>(handle), TIOCGSERIAL, &serial) != 0 ||
        serial.port == 0)
        return std::nullopt;
    return static_cast<int>(serial.port);
}
#else
std::unique_ptr<PortIo> open_dev_port(const char *) { return nullptr; }
std::optional<int> uart_base_of(qintptr) { return std::nullopt; }
#endif

} // namespace bl
