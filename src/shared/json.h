// The little of JSON the program writes (JSON Lines for --json): strings
// from Latin-1 texts, escaped as JSON requires, and times as ISO 8601.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace bl::json {

// "text" in UTF-8, with quotes, backslashes and control characters escaped.
void append_string(std::string &out, std::string_view latin1);
// A time in microseconds since 1970 as local ISO 8601 with microseconds and
// the offset: "2026-12-07T14:05:09.123456+01:00".
void append_time(std::string &out, std::int64_t wall_us);

} // namespace bl::json
