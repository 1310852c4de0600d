#pragma once

#include <QString>

namespace bl {

// The time stamp that begins every trace line: seconds since local midnight
// in the pattern "000000.000" (at least six integer digits, three decimals)
// with the given decimal separator. Taken from whole milliseconds, so it
// keeps its precision all day.
QString format_time_stamp(qint64 msecs_since_midnight, const QString &decimal_point);

// The same for the current local time with the system locale's separator.
QString current_time_stamp();

} // namespace bl
