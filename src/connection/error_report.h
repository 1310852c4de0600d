#pragma once

#include "connection/serial_control.h"
#include "shared/error_reporter.h"
#include "shared/mod_variablen.h"
#include "shared/platform.h"

namespace bl {

// The box text and title for a run-time error.
QString error_report_text(const RuntimeError &error);
QString error_report_title(const RuntimeError &error);

// report_error: shows the error while the port is still open, then closes
// the port; error 8002 (invalid port number) leaves its mark in err_flag.
class ErrorReport : public ErrorReporter {
public:
    ErrorReport(InterfaceVars &vars, SerialControl &comm, Dialogs &dialogs, EventPump &events)
        : vars_(vars), comm_(comm), dialogs_(dialogs), events_(events) {}

    void report_error(const RuntimeError &error) override;
    // The box alone, for a port that has already closed itself (the way
    // back may be open again by the time the box is closed).
    void tell(const RuntimeError &error);

private:
    InterfaceVars &vars_;
    SerialControl &comm_;
    Dialogs &dialogs_;
    EventPump &events_;
};

} // namespace bl
