// What both programs' command lines share: the help and the parser's
// complaints in German, and the reading of a number option.
#pragma once

#include <QCommandLineParser>
#include <QString>
#include <optional>

namespace bl {

// The parser's help with German headings, the program named as it is
// called (not by the path it was started from).
QString help_in_german(const QCommandLineParser &parser, const QString &program);
// Why the parser refused the arguments, in German.
QString parse_error_in_german(const QCommandLineParser &parser);
// A number from 0 to most (a plain decimal, "inf" and "nan" are none).
std::optional<double> number_within(const QString &text, double most);

} // namespace bl
