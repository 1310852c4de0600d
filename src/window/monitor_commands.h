#pragma once

#include "reception/line_sink.h"
#include "reception/monitor_area.h"
#include "shared/mod_variablen.h"

#include <QString>

namespace bl {

// What the toolbar's Start/Stop, clear and output-mode controls do.
class MonitorCommands {
public:
    MonitorCommands(DisplayVars &display, const TraceVars &trace_vars, MonitorArea &area,
                    LineSink &trace)
        : display_(display), trace_vars_(trace_vars), area_(area), trace_(trace) {}

    // Click on cmdStartStop with its current caption; returns the new one.
    // Marks the change with a START or STOP line in the area and the trace.
    QString start_stop(const QString &caption);
    void clear();
    // The check boxes' new states: 0 not ticked, 1 ticked.
    void hex_output_clicked(int state);
    void ascii_hex_clicked(int state);
    void detail_clicked(int state);

private:
    DisplayVars &display_;
    const TraceVars &trace_vars_;
    MonitorArea &area_;
    LineSink &trace_;
};

} // namespace bl
