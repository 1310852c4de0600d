#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace bl {

// The trace file's name without folder and extension: the short date as the
// system writes it, two underscores, and the time as hh_mm_ss, e.g.
// "03.03.2024__14_05_09". Characters a file name cannot hold ("/" in many
// short date formats) are written as "-".
QString trace_name_for(const QDateTime &when, const QLocale &locale);

// The system's short date: the locale's short format with a four-digit year,
// as Windows writes it ("dd.MM.yyyy" in German, "M/d/yyyy" in US English).
QString short_date(const QDate &date, const QLocale &locale);

} // namespace bl
