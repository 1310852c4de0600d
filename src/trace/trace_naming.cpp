#include "trace/trace_naming.h"

namespace bl {

QString short_date(const QDate &date, const QLocale &locale) {
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return locale.toString(date, format);
}

QString trace_name_for(const QDateTime &when, const QLocale &locale) {
    QString name = short_date(when.date(), locale) + QStringLiteral("__") +
                   when.time().toString(QStringLiteral("hh_mm_ss"));
    for (QChar &c : name)
        if (QStringView(u"/\\:*?\"<>|").contains(c) || c.unicode() < 0x20)
            c = QLatin1Char('-');
    return name;
}

} // namespace bl
