#include "trace/trace_recording.h"

#include "shared/file_names.h"
#include "shared/texts.h"
#include "trace/trace_naming.h"

namespace bl {

TraceRecording::TraceRecording(TraceVars &vars, TraceFile &file, Dialogs &dialogs,
                               std::function<QDateTime()> now, QLocale locale)
    : vars_(vars), file_(file), dialogs_(dialogs), now_(std::move(now)),
      locale_(std::move(locale)) {}

// A name already taken (a recording started in the same second) gets a
// counter: "03.03.2024__14_05_09 (2)".
std::optional<QString> TraceRecording::open_new(const QString &name) {
    constexpr int kMostTries = 1000;
    std::optional<QString> reason;
    for (int n = 1; n <= kMostTries; ++n) {
        vars_.trace_name = n == 1 ? name : QStringLiteral("%1 (%2)").arg(name).arg(n);
        if (name_taken(path()))
            continue;
        reason = file_.open(path());
        // taken meanwhile by another recording: the next number
        if (!reason || !name_taken(path()))
            return reason;
    }
    return reason ? reason : std::optional<QString>(texts::trace::kExists);
}

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
    // the documents folder may not exist yet on a fresh system
    make_folders(vars_.doc_path);
    if (const auto reason = open_new(trace_name_for(now_(), locale_))) {
        // a missing folder or no permission: say so, and stay as we were
        const QString failed_path = path();
        vars_.trace_name = previous_name;
        dialogs_.message_box(texts::trace::kTraceNotCreated.arg(failed_path, *reason),
                             texts::trace::kTraceStart, MsgIcon::Exclamation, MsgButtons::Ok);
        return std::nullopt;
    }
    vars_.trace_on = kTrue;
    return TraceCaptions{texts::trace::kTraceStop, texts::trace::kRecordingTo + path()};
}

} // namespace bl
