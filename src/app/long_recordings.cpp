#include "app/long_recordings.h"

#include "shared/texts.h"

namespace bl {

std::optional<QString> LongRecordings::start(MonitorCore &core, const RunOptions &options,
                                             const QString &interface_name,
                                             const QString &description, const QString &documents,
                                             std::function<void(const QString &)> note) {
    namespace tx = texts::cli;
    if (!options.ring.isEmpty()) {
        ring = std::make_unique<RingRecording>(
            core.receiver(), options.ring,
            RingRecording::Limits{options.ring_kb * 1024, options.ring_files}, interface_name,
            description);
        if (const auto reason = ring->start()) {
            ring.reset();
            return tx::kRingNotStarted.arg(options.ring, *reason);
        }
        ring->on_failure([note, folder = options.ring](const QString &reason) {
            note(tx::kRingEnded.arg(folder, reason));
        });
        note(tx::kRingRunning.arg(options.ring));
    }
    if (!options.trigger.isEmpty()) {
        auto read = filter::Filter::parse(options.trigger.toStdString());
        if (auto *f = std::get_if<filter::Filter>(&read)) {
            triggers = std::make_unique<TriggerRecording>(
                core.receiver(), core.context(), &core.findings(),
                TriggerRecording::Settings{
                    std::move(*f), options.trigger, options.trigger_before, options.trigger_after,
                    options.trigger_dir.isEmpty() ? documents : options.trigger_dir},
                interface_name, description);
            triggers->on_saved([note](const QString &path) { note(tx::kEventSaved.arg(path)); });
            triggers->on_failure(
                [note](const QString &reason) { note(tx::kEventFailed.arg(reason)); });
        }
    }
    return std::nullopt;
}

} // namespace bl
