#pragma once

#include "app/long_recordings.h"
#include "app/monitor_core.h"
#include "app/options.h"
#include "history/history_store.h"
#include "shared/steady_clock.h"
#include "trace/trace_file.h"
#include "trace/trace_recording.h"
#include "window/findings_window.h"
#include "window/frm_monitor.h"
#include "window/history_window.h"
#include "window/layout_window.h"
#include "window/long_recording_window.h"
#include "window/monitor_commands.h"

#include <functional>
#include <memory>

namespace bl {

// The running window program: the window, the monitor's paths wired to its
// controls, and trace recording. Tests build it with fakes for the port,
// the boxes, the clocks and the end of the program.
class MonitorApp {
public:
    struct Platform {
        std::unique_ptr<PortFactory> ports;
        std::unique_ptr<UartRate> uart;      // what sets 16457 bit/s
        std::unique_ptr<Dialogs> dialogs;    // default: Qt's boxes
        std::function<void()> end_program;   // default: exit at once
        std::function<QDateTime()> now;      // default: the clock
        std::function<QString()> time_stamp; // default: the clock
        QLocale locale = QLocale::system();  // short date of trace names
        std::unique_ptr<SteadyClock> clock;  // default: the monotonic clock
        std::unique_ptr<EventPump> events;   // default: Qt's event processing
        std::size_t history_limit = HistoryStore::kDefaultLimit;
    };

    explicit MonitorApp(Platform platform);
    ~MonitorApp();

    ModVariablen &vars() { return core_->vars(); }
    FrmMonitor &window() { return *window_; }
    SerialControl &comm() { return core_->comm1(); }
    QString trace_file_path() const { return recording_.path(); }

    // The start-up dialogue: asks the interface kind and the port until it
    // opens; false when the user ended the program in it.
    bool run_startup(const StartupAnswers &answers);
    // The display runs and messages without a rendering are listed, as the
    // start-up leaves them (for a window without a port).
    void start_monitor();
    // Ticks the two output-mode boxes as given, with their effect.
    void set_output_modes(const OutputModes &modes);
    // As a click on "Verlauf speichern".
    void toggle_recording();
    // Ends a recording whose file has gone (its folder removed).
    void check_trace_file();
    static constexpr int kTraceWatchMs = 1000;
    // Shows the bus's health in the status bar (once a second).
    void show_health();
    static constexpr int kHealthMs = 1000;
    MonitorCore &core() { return *core_; }
    // Ends the program at once; an open trace keeps every line written.
    void end_program();
    // A pcapng recording for Wireshark (--pcap, the "pcap" button): the
    // reason where the file cannot be made.
    std::optional<QString> start_pcap(const QString &path);
    void toggle_pcap();
    // How the recording names its interface (default: the port and its kind).
    void set_pcap_interface(const QString &name, const QString &description) {
        pcap_name_ = name;
        pcap_description_ = description;
    }
    // Opens (or brings up) "Bus-Lauscher – Verlauf".
    HistoryWindow &show_history();
    HistoryStore &history() { return history_; }
    HistoryWindow *history_window() { return history_window_; }
    // Opens (or brings up) "Bus-Lauscher – Anlage".
    LayoutWindow &show_layout();
    LayoutWindow *layout_window() { return layout_window_; }
    const StateTimeline &timeline() const { return timeline_; }
    // --ring and --trigger: the reason (a whole German sentence) where the
    // ring cannot begin; their news go to the status bar.
    std::optional<QString> start_long_recordings(const RunOptions &options);
    LongRecordings &long_recordings() { return long_recordings_; }
    // The same set in the window: the running ones end whole first; where
    // the new ones cannot begin, the reason.
    std::optional<QString> restart_long_recordings(const RunOptions &options);
    // Opens (or brings up) "Bus-Lauscher – Langzeitaufzeichnung".
    LongRecordingWindow &show_long_recordings();
    LongRecordingWindow *long_recording_window() { return long_recording_window_; }
    // Every event file saved since the start, also by triggers set before.
    QStringList saved_events() const;
    QString long_recordings_state() const;
    // Opens (or brings up) "Bus-Lauscher – Befunde".
    FindingsWindow &show_findings();
    FindingsWindow *findings_window() { return findings_window_; }
    // A finding's message: chosen in the history, the layout as it was then.
    void show_finding_message(std::uint64_t nr);

private:
    void connect_controls();
    void show_captions(const TraceCaptions &captions);
    void show_bad(const QString &what);
    // A click whose handler fails (a trace that cannot be written) is told
    // in a box instead of ending the program.
    void guarded(const std::function<void()> &handler);

    HistoryStore history_;                      // before the window and the core: it outlives both
    StateTimeline timeline_{history_};          // the layout's state at any kept message
    HistoryWindow *history_window_ = nullptr;   // the main window owns it
    LayoutWindow *layout_window_ = nullptr;     // the main window owns it
    FindingsWindow *findings_window_ = nullptr; // the main window owns it
    LongRecordingWindow *long_recording_window_ = nullptr; // the main window owns it
    std::unique_ptr<UartRate> uart_;
    std::unique_ptr<Dialogs> dialogs_;
    std::function<void()> end_program_;
    std::unique_ptr<EventPump> events_;
    std::unique_ptr<SteadyClock> clock_;
    std::unique_ptr<FrmMonitor> window_;
    TraceFile trace_file_;
    std::function<QDateTime()> now_;
    std::unique_ptr<MonitorCore> core_;
    MonitorCommands commands_;
    TraceRecording recording_;
    QTimer trace_watch_;
    LongRecordings long_recordings_; // after the core, whose receiver it hears
    RunOptions long_options_;        // what they were started with
    QStringList earlier_events_;     // saved by triggers set before the running ones
    QTimer health_tick_;
    Receiver::MessageListeners::Handle history_feed_;
    QLocale locale_;
    QString pcap_name_;
    QString pcap_description_;
    static constexpr double kBadShownSeconds = 1.0;
    double bad_since_ = -1; // when the bad message shown came up; -1: none shown
    QString pending_bad_;   // the newest that waits for its turn
};

} // namespace bl
