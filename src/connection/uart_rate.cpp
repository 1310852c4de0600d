#include "connection/uart_rate.h"

#if defined(__linux__)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace bl {

void program_uart_divisor(PortIo &io, int base) {
    const int line_control = io.Inp32(base + 3);
    io.Out32(base + 3, line_control | 0x80);
    io.Out32(base + 0, kUartDivisor);
    io.Out32(base + 1, 0);
    io.Out32(base + 3, line_control);
}

bool DirectUartRate::set_16457(int base) {
    if (open_port_io_) {
        if (auto io = open_port_io_()) {
            program_uart_divisor(*io, base);
            return true;
        }
    }
    return driver_rate_ && driver_rate_(kComPortInterfaceBaud);
}

#if defined(__linux__) && (defined(__x86_64__) || defined(__i386__))
namespace {
class DevPortIo : public PortIo {
public:
    explicit DevPortIo(int fd) : fd_(fd) {}
    ~DevPortIo() override { ::close(fd_); }
    int Inp32(int port) override {
        unsigned char byte = 0;
        if (::pread(fd_, &byte, 1, port) != 1)
            return 0;
        return byte;
    }
    void Out32(int port, int value) override {
        const auto byte = static_cast<unsigned char>(value & 0xFF);
        [[maybe_unused]] const auto written = ::pwrite(fd_, &byte, 1, port);
    }

private:
    int fd_;
};
} // namespace

std::unique_ptr<PortIo> open_dev_port() {
    const int fd = ::open("/dev/port", O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    return std::make_unique<DevPortIo>(fd);
}
#else
std::unique_ptr<PortIo> open_dev_port() { return nullptr; }
#endif

} // namespace bl
