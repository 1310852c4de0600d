#pragma once

#include <QString>
#include <stdexcept>

namespace bl {

// A failing platform operation (serial port, file) raises a numbered error
// that ends the running handler; the handler's error branch reports it.
struct RuntimeError : std::runtime_error {
    RuntimeError(int number_, QString source_, QString description_)
        : std::runtime_error(description_.toStdString()), number(number_),
          source(std::move(source_)), description(std::move(description_)) {}

    int number;
    QString source;
    QString description;
};

// Error numbers of the serial layer and the files.
namespace err {
inline constexpr int kBadFileNumber = 52;
inline constexpr int kFileWriteFailed = 57;
inline constexpr int kInvalidPortNumber = 8002;
inline constexpr int kPortNotOpen = 8018;
inline constexpr int kPortMissing = 8101;
inline constexpr int kPortInUse = 8102;
inline constexpr int kPortNoPermission = 8103;
inline constexpr int kDeviceVanished = 8104;
inline constexpr int kPortIoFailed = 8105;
} // namespace err

} // namespace bl
