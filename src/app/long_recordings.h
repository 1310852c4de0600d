// What the options --ring and --trigger ask for, started on a running
// monitor: the ring of files and the event files, their news told as notes.
#pragma once

#include "app/monitor_core.h"
#include "app/options.h"
#include "app/ring_recording.h"
#include "app/trigger_recording.h"

#include <functional>
#include <memory>
#include <optional>

namespace bl {

struct LongRecordings {
    std::unique_ptr<RingRecording> ring;
    std::unique_ptr<TriggerRecording> triggers;

    // The reason (German, whole sentence) where the ring cannot begin.
    // documents: the folder for event files where --trigger-dir names none.
    std::optional<QString> start(MonitorCore &core, const RunOptions &options,
                                 const QString &interface_name, const QString &description,
                                 const QString &documents,
                                 std::function<void(const QString &)> note);
    // Once a second: an event whose seconds after ran out is saved.
    void tick(std::int64_t steady_ns) {
        if (triggers)
            triggers->tick(steady_ns);
    }
    // The end of the program: every file ends whole.
    void finish() {
        if (triggers)
            triggers->finish();
        if (ring)
            ring->stop();
    }
};

} // namespace bl
