#pragma once

#include "shared/mod_variablen.h"
#include "shared/platform.h"
#include "trace/trace_file.h"

#include <QDateTime>
#include <QLocale>
#include <functional>
#include <optional>

namespace bl {

struct TraceCaptions {
    QString button;
    QString window;
};

// Starts and ends recordings: the click on btnTraceOnOff.
class TraceRecording {
public:
    TraceRecording(TraceVars &vars, TraceFile &file, Dialogs &dialogs,
                   std::function<QDateTime()> now, QLocale locale);

    // Returns the new captions of the button and the window, or nothing when
    // the file could not be created (the user has been told; nothing changes).
    std::optional<TraceCaptions> toggle();

    // A record could not be written: the recording ends as if clicked, so
    // that the failure is reported once and not for every further line.
    TraceCaptions end_after_failure();
    // A recording runs but its file is no longer the one at its path.
    bool file_missing() const { return vars_.trace_on && file_.lost(); }

    // The file's full path: doc_path, trace_name, ".txt".
    QString path() const;

private:
    std::optional<QString> open_new(const QString &name);

    TraceVars &vars_;
    TraceFile &file_;
    Dialogs &dialogs_;
    std::function<QDateTime()> now_;
    QLocale locale_;
};

} // namespace bl
