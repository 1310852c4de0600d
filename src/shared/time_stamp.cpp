#include "shared/time_stamp.h"

#include <QLocale>
#include <QTime>

namespace bl {

QString format_time_stamp(qint64 msecs_since_midnight, const QString &decimal_point) {
    const qint64 seconds = msecs_since_midnight / 1000;
    const qint64 millis = msecs_since_midnight % 1000;
    return QStringLiteral("%1%2%3")
        .arg(seconds, 6, 10, QLatin1Char('0'))
        .arg(decimal_point)
        .arg(millis, 3, 10, QLatin1Char('0'));
}

QString current_time_stamp() {
    return format_time_stamp(QTime::currentTime().msecsSinceStartOfDay(),
                             QLocale::system().decimalPoint());
}

} // namespace bl
