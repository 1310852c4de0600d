#include "trace/trace_recording.h"

#include "shared/texts.h"
#include "trace/trace_naming.h"

namespace bl {

TraceRecording::TraceRecording(ModVariablen &vars, TraceFile &file, Dialogs &dialogs,
                               std::function<QDateTime()> now, QLocale locale)
    : vars_(vars), file_(file), dialogs_(dialogs), now_(std::move(now)),
      locale_(std::move(locale)) {}

QString TraceRecording::path() const {
    return vars_.doc_path + vars_.trace_name + QStringLiteral(".txt");
}

TraceCaptions TraceRecording::end_after_failure() {
    vars_.trace_on = kFalse;
    file_.close();
    return TraceCaptions{texts::trace::kTraceStart, texts::trace::kSavedAt + path()};
}

std::optional<TraceCaptions> TraceRecording::toggle() {
    if (vars_.trace_on) {
        vars_.trace_on = kFalse;
        if (!vars_.trace_name.isEmpty())
            file_.close();
        return TraceCaptions{texts::trace::kTraceStart, texts::trace::kSavedAt + path()};
    }
    const QString previous_name = vars_.trace_name;
    vars_.trace_name = trace_name_for(now_(), locale_);
    if (const auto reason = file_.open(path())) {
        // a missing folder or no permission: say so, and stay as we were
        const QString failed_path = path();
        vars_.trace_name = previous_name;
        dialogs_.message_box(texts::trace::kTraceNotCreated.arg(failed_path, *reason),
                             texts::trace::kTraceTitle, MsgIcon::Exclamation, MsgButtons::Ok);
        return std::nullopt;
    }
    vars_.trace_on = kTrue;
    return TraceCaptions{texts::trace::kTraceStop, texts::trace::kRecordingTo + path()};
}

} // namespace bl
