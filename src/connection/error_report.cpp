#include "connection/error_report.h"

#include "shared/texts.h"

namespace bl {

namespace {
// A number with a blank in front, or its minus sign.
QString signed_number(int n) {
    return n < 0 ? QString::number(n) : QStringLiteral(" ") + QString::number(n);
}
} // namespace

QString error_report_text(const RuntimeError &e) {
    namespace t = texts::connection;
    return t::kErrorNumber + signed_number(e.number) + t::kRaisedBy + e.source +
           QStringLiteral(".") + QChar(u'\r') + t::kDetails + e.description + QStringLiteral("!");
}

QString error_report_title(const RuntimeError &e) {
    return texts::connection::kErrorReportTitle + QString::number(e.number);
}

void ErrorReport::tell(const RuntimeError &error) {
    dialogs_.message_box(error_report_text(error), error_report_title(error), MsgIcon::Critical,
                         MsgButtons::Ok);
}

void ErrorReport::report_error(const RuntimeError &error) {
    events_.process_events();
    tell(error);
    events_.process_events();
    try {
        if (comm_.portOpen())
            comm_.setPortOpen(false);
    } catch (const RuntimeError &) {
        // a port that fails even to close is closed as far as we can tell
    }
    if (error.number == err::kInvalidPortNumber)
        vars_.err_flag = static_cast<std::int16_t>(err::kInvalidPortNumber);
}

} // namespace bl
