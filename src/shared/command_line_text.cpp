#include "shared/command_line_text.h"

#include "shared/texts.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <cmath>

namespace bl {

QString help_in_german(const QCommandLineParser &parser, const QString &program) {
    QString text = parser.helpText();
    text.replace(QStringLiteral("<executable_name>"), program);
    if (QCoreApplication::instance())
        text.replace(QCoreApplication::arguments().constFirst(), program);
    text.replace(QRegularExpression(QStringLiteral("^Usage: ")), texts::cli::kUsageHeading);
    text.replace(QStringLiteral(" [options]"), texts::cli::kOptionsPlaceholder);
    text.replace(QStringLiteral("\nOptions:\n"), texts::cli::kOptionsHeading);
    text.replace(QStringLiteral("\nArguments:\n"), texts::cli::kArgumentsHeading);
    return text;
}

QString parse_error_in_german(const QCommandLineParser &parser) {
    namespace tx = texts::cli;
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        QStringList named;
        for (const QString &name : unknown)
            named << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        return tx::kUnknownOption.arg(named.join(QStringLiteral(", ")));
    }
    // Qt's other complaints name the option between quotes
    const QString said = parser.errorText();
    static const QRegularExpression quoted(QStringLiteral("'([^']*)'"));
    const QString option = quoted.match(said).captured(1);
    if (said.startsWith(QLatin1String("Missing value")))
        return tx::kMissingValue.arg(option);
    if (said.startsWith(QLatin1String("Unexpected value")))
        return tx::kUnexpectedValue.arg(option);
    return said;
}

std::optional<double> number_within(const QString &text, double most) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || value > most)
        return std::nullopt;
    return value;
}

} // namespace bl
