#pragma once

#include "reception/monitor_area.h"

#include <string_view>

namespace bl {

inline constexpr std::size_t kWrapColumn = 80;
inline constexpr std::string_view kCrLf = "\r\n";

// Appends one line to the monitor area, broken once after character 80; the
// rest is not broken again. An empty text changes nothing.
void ZeilenUmbruch(MonitorArea &area, std::string_view text);

} // namespace bl
