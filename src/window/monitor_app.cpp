#include "window/monitor_app.h"

#include "app/finding_report.h"

#include "connection/init_paths.h"
#include "shared/file_names.h"
#include "shared/texts.h"
#include "shared/time_stamp.h"
#include "trace/trace_naming.h"
#include "window/qt_dialogs.h"

#include <QDir>
#include <QShortcut>
#include <cstdio>
#include <cstdlib>

namespace bl {

MonitorApp::MonitorApp(Platform p)
    : history_(p.history_limit), uart_(p.uart ? std::move(p.uart) : std::make_unique<NoUartRate>()),
      dialogs_(p.dialogs ? std::move(p.dialogs) : std::make_unique<QtDialogs>()),
      end_program_(std::move(p.end_program)),
      events_(p.events ? std::move(p.events) : std::make_unique<QtEventPump>()),
      clock_(p.clock ? std::move(p.clock) : std::make_unique<ElapsedSteadyClock>()),
      window_(std::make_unique<FrmMonitor>()),
      trace_file_(p.time_stamp ? std::move(p.time_stamp)
                               : TraceFile::TimeStamp(current_time_stamp)),
      now_(p.now ? std::move(p.now) : std::function<QDateTime()>(&QDateTime::currentDateTime)),
      core_(std::make_unique<MonitorCore>(
          std::move(p.ports),
          CorePlatform{*dialogs_, *events_, *clock_, *uart_, init_paths,
                       [this] { return now_().time(); }},
          LineOutputs{*window_->rtbMoni, trace_file_}, *window_->Timer1,
          [this](bool on) {
              // a disabled button hands the focus on: back to the category field
              if (!on && window_->ZugkatBut->hasFocus())
                  window_->KatTxt->setFocus();
              window_->ZugkatBut->setEnabled(on);
          })),
      commands_(core_->vars(), core_->vars(), *window_->rtbMoni, trace_file_),
      recording_(core_->vars(), trace_file_, *dialogs_, now_, p.locale), locale_(p.locale) {
    if (auto *qt = dynamic_cast<QtDialogs *>(dialogs_.get()))
        qt->set_parent(window_.get());
    // every message from the start, whatever the area shows
    history_feed_ = core_->listen([this](const loconet::Message &m) {
        timeline_.add(m); // before the store drops its oldest
        history_.add(m);
    });
    connect_controls();
}

std::optional<QString> MonitorApp::start_pcap(const QString &path) {
    PcapRecording &pcap = core_->pcap();
    const auto reason =
        pcap.start(path, pcap_name_.isEmpty() ? core_->interface_name() : pcap_name_,
                   pcap_name_.isEmpty() ? core_->interface_description() : pcap_description_);
    if (reason)
        return reason;
    window_->btnPcapOnOff->setChecked(true);
    window_->StatusPanel->setText(texts::capture::kRecordingTo.arg(path));
    return std::nullopt;
}

void MonitorApp::toggle_pcap() {
    PcapRecording &pcap = core_->pcap();
    if (pcap.running()) {
        pcap.stop();
        window_->btnPcapOnOff->setChecked(false);
        window_->StatusPanel->setText(texts::capture::kSavedAt.arg(pcap.path()));
        return;
    }
    make_folders(vars().doc_path);
    const QString path = pcap_path_for(vars().doc_path, trace_name_for(now_(), locale_));
    if (const auto reason = start_pcap(path)) {
        window_->btnPcapOnOff->setChecked(false);
        dialogs_->message_box(texts::capture::kNotCreated.arg(path, *reason),
                              texts::capture::kTitle, MsgIcon::Exclamation, MsgButtons::Ok);
    }
}

LayoutWindow &MonitorApp::show_layout() {
    if (!layout_window_) {
        layout_window_ = new LayoutWindow(timeline_, window_.get());
        // a double-click on a row: its messages in the history
        layout_window_->on_filter_history([this](const QString &expression) {
            HistoryWindow &history = show_history();
            history.filterEdit->setText(expression);
            history.apply_filter();
        });
    }
    layout_window_->show();
    layout_window_->raise();
    layout_window_->activateWindow();
    layout_window_->refresh();
    return *layout_window_;
}

FindingsWindow &MonitorApp::show_findings() {
    if (!findings_window_) {
        findings_window_ = new FindingsWindow(core_->findings(), window_.get());
        findings_window_->on_chosen([this](std::uint64_t nr) { show_finding_message(nr); });
    }
    findings_window_->show();
    findings_window_->raise();
    findings_window_->activateWindow();
    findings_window_->refresh();
    return *findings_window_;
}

void MonitorApp::show_finding_message(std::uint64_t nr) {
    const auto position = history_.position_of(nr);
    if (!position)
        return;
    HistoryWindow &history = show_history();
    history.show_position(*position);
    show_layout().show_moment(*position);
    if (findings_window_)
        findings_window_->raise(); // the list stays at hand for the next one
}

HistoryWindow &MonitorApp::show_history() {
    if (!history_window_) {
        history_window_ = new HistoryWindow(history_, *dialogs_, window_.get());
        history_window_->set_detail(vars().detail_on != 0);
        history_window_->model().set_findings(&core_->findings());
        // a row chosen shows the layout as it was then, where that window is open
        history_window_->on_row_chosen([this](std::uint64_t position) {
            if (layout_window_ && layout_window_->isVisible())
                layout_window_->show_moment(position);
        });
        history_window_->on_cleared([this] { timeline_.cleared(); });
    }
    history_window_->show();
    history_window_->raise();
    history_window_->activateWindow();
    return *history_window_;
}

MonitorApp::~MonitorApp() {
    long_recordings_.finish();
    trace_file_.close();
}

std::optional<QString> MonitorApp::start_long_recordings(const RunOptions &options) {
    long_options_ = options;
    if (options.ring.isEmpty() && options.trigger.isEmpty())
        return std::nullopt;
    auto reason = long_recordings_.start(
        *core_, options, pcap_name_.isEmpty() ? core_->interface_name() : pcap_name_,
        pcap_name_.isEmpty() ? core_->interface_description() : pcap_description_, vars().doc_path,
        [this](const QString &note) { window_->StatusPanel->setText(note); });
    if (long_recordings_.triggers)
        // the status bar counts the events, the newest named
        long_recordings_.triggers->on_saved([this](const QString &path) {
            window_->StatusPanel->setText(
                texts::long_recording::kEventsSaved.arg(saved_events().size()) +
                QStringLiteral(" – ") + texts::cli::kEventSaved.arg(path));
        });
    return reason;
}

std::optional<QString> MonitorApp::restart_long_recordings(const RunOptions &options) {
    if (!options.trigger.isEmpty()) {
        const auto read = filter::Filter::parse(options.trigger.toStdString());
        if (const auto *bad = std::get_if<filter::ParseError>(&read))
            return texts::long_recording::kBadTrigger.arg(
                texts::cli::kBadFilter.arg(bad->position + 1)
                    .arg(QString::fromStdString(bad->hint)));
    }
    long_recordings_.finish(); // an open event is saved as it stands
    if (long_recordings_.triggers)
        earlier_events_ += long_recordings_.triggers->saved();
    long_recordings_.triggers.reset();
    long_recordings_.ring.reset();
    return start_long_recordings(options);
}

QStringList MonitorApp::saved_events() const {
    QStringList all = earlier_events_;
    if (long_recordings_.triggers)
        all += long_recordings_.triggers->saved();
    return all;
}

QString MonitorApp::long_recordings_state() const {
    namespace tx = texts::long_recording;
    QStringList running;
    if (long_recordings_.ring)
        running << tx::kRingRunning.arg(long_options_.ring);
    if (long_recordings_.triggers)
        running << tx::kTriggerRunning.arg(
            long_options_.trigger, long_options_.trigger_dir.isEmpty() ? core_->vars().doc_path
                                                                       : long_options_.trigger_dir);
    if (running.isEmpty())
        running << tx::kNothingRunning;
    if (const auto events = saved_events().size())
        running << tx::kEventsSaved.arg(events);
    return running.join(QLatin1Char('\n'));
}

LongRecordingWindow &MonitorApp::show_long_recordings() {
    if (!long_recording_window_)
        long_recording_window_ = new LongRecordingWindow(
            long_options_,
            [this](const RunOptions &options) { return restart_long_recordings(options); },
            window_.get());
    long_recording_window_->show_state(long_recordings_state(), saved_events());
    long_recording_window_->show();
    long_recording_window_->raise();
    long_recording_window_->activateWindow();
    return *long_recording_window_;
}

bool MonitorApp::run_startup(const StartupAnswers &answers) { return core_->start(answers); }

void MonitorApp::set_output_modes(const OutputModes &modes) {
    window_->LNM_hex_chk->setChecked(modes.hex_output);
    window_->LNM_ascii_hex_chk->setChecked(modes.ascii_hex);
    window_->LNM_detail_chk->setChecked(modes.detail);
    commands_.hex_output_clicked(modes.hex_output ? 1 : 0);
    commands_.ascii_hex_clicked(modes.ascii_hex ? 1 : 0);
    commands_.detail_clicked(modes.detail ? 1 : 0);
    if (history_window_)
        history_window_->set_detail(modes.detail);
}

void MonitorApp::toggle_recording() {
    if (const auto captions = recording_.toggle())
        show_captions(*captions);
}

void MonitorApp::show_captions(const TraceCaptions &captions) {
    window_->btnTraceOnOff->setText(captions.button);
    window_->setWindowTitle(captions.window);
}

void MonitorApp::check_trace_file() {
    if (!recording_.file_missing())
        return;
    const QString path = recording_.path();
    show_captions(recording_.end_after_failure());
    dialogs_->message_box(texts::trace::kTraceVanished.arg(path), texts::trace::kTraceStart,
                          MsgIcon::Exclamation, MsgButtons::Ok);
}

// The counts are refreshed once a second and always shown whole; the last
// message that went wrong stands beside them for at least a second (one
// coming sooner waits for its turn), so that on a noisy bus both can be read.
void MonitorApp::show_health() {
    core_->health().tick();
    window_->HealthPanel->setText(core_->health().summary());
    core_->tick_findings();
    long_recordings_.tick(static_cast<std::int64_t>(clock_->seconds() * 1e9));
    if (long_recording_window_ && long_recording_window_->isVisible())
        long_recording_window_->show_state(long_recordings_state(), saved_events());
    const QString findings = findings_count_text(core_->findings());
    if (window_->FindingsPanel->text() != findings) {
        window_->FindingsPanel->setText(findings);
        window_->FindingsPanel->setToolTip(findings + QStringLiteral(" – ") +
                                           texts::findings_list::kStatusTip);
        window_->FindingsPanel->setVisible(!findings.isEmpty());
        window_->arrange_status();
    }
    const double now = clock_->seconds();
    if (bad_since_ < 0 || now - bad_since_ < kBadShownSeconds)
        return;
    if (pending_bad_.isEmpty()) {
        window_->BadPanel->clear();
        bad_since_ = -1;
        return;
    }
    window_->BadPanel->setText(std::exchange(pending_bad_, QString()));
    bad_since_ = now;
}

void MonitorApp::show_bad(const QString &what) {
    const double now = clock_->seconds();
    if (bad_since_ >= 0 && now - bad_since_ < kBadShownSeconds) {
        pending_bad_ = what;
        return;
    }
    window_->BadPanel->setText(what);
    pending_bad_.clear(); // older than this one
    bad_since_ = now;
}

void MonitorApp::start_monitor() {
    vars().ascii_hex_on = kTrue;
    vars().monitor_on = kTrue;
}

// At once, from wherever the click came (a wait, a box): every record is
// on disk already, and nothing that runs at a normal exit (a host lookup
// still going, say) may hold or break the ending.
void MonitorApp::end_program() {
    long_recordings_.finish();
    trace_file_.close();
    core_->close_port();
    if (end_program_)
        return end_program_();
    std::fflush(nullptr);
    std::_Exit(0);
}

void MonitorApp::guarded(const std::function<void()> &handler) {
    try {
        handler();
    } catch (const RuntimeError &e) {
        dialogs_->message_box(e.description, QString::number(e.number), MsgIcon::Critical,
                              MsgButtons::Ok);
    }
}

void MonitorApp::connect_controls() {
    FrmMonitor *w = window_.get();
    QObject::connect(w->cmdStartStop, &QPushButton::clicked, w, [this, w] {
        guarded([&] { w->cmdStartStop->setText(commands_.start_stop(w->cmdStartStop->text())); });
    });
    QObject::connect(w->btnClear, &QPushButton::clicked, w, [this] { commands_.clear(); });
    QObject::connect(w->btnCancel, &QPushButton::clicked, w, [this] { end_program(); });
    QObject::connect(w->LNM_hex_chk, &QCheckBox::clicked, w, [this, w] {
        commands_.hex_output_clicked(w->LNM_hex_chk->isChecked() ? 1 : 0);
    });
    QObject::connect(w->LNM_ascii_hex_chk, &QCheckBox::clicked, w, [this, w] {
        commands_.ascii_hex_clicked(w->LNM_ascii_hex_chk->isChecked() ? 1 : 0);
    });
    QObject::connect(w->LNM_detail_chk, &QCheckBox::clicked, w, [this, w] {
        commands_.detail_clicked(w->LNM_detail_chk->isChecked() ? 1 : 0);
        if (history_window_)
            history_window_->set_detail(w->LNM_detail_chk->isChecked());
    });
    QObject::connect(w->btnHistory, &QPushButton::clicked, w, [this] { show_history(); });
    QObject::connect(w->btnLayout, &QPushButton::clicked, w, [this] { show_layout(); });
    QObject::connect(w->btnLongRecording, &QPushButton::clicked, w,
                     [this] { show_long_recordings(); });
    QObject::connect(w->FindingsPanel, &QPushButton::clicked, w, [this] { show_findings(); });
    QObject::connect(w->btnPcapOnOff, &QPushButton::clicked, w, [this] { toggle_pcap(); });
    core_->pcap().set_on_failure([this](const QString &reason) {
        const QString told = texts::capture::kWriteFailed.arg(core_->pcap().path(), reason);
        window_->btnPcapOnOff->setChecked(false);
        QTimer::singleShot(0, window_.get(), [this, told] {
            dialogs_->message_box(told, texts::capture::kTitle, MsgIcon::Exclamation,
                                  MsgButtons::Ok);
        });
    });
    auto *history_key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), w);
    QObject::connect(history_key, &QShortcut::activated, w, [this] { show_history(); });
    QObject::connect(w->btnTraceOnOff, &QPushButton::clicked, w, [this] { toggle_recording(); });
    // a trace file whose folder is removed under it would swallow every
    // further line without a word: noticed within a second and told
    trace_watch_.setInterval(kTraceWatchMs);
    QObject::connect(&trace_watch_, &QTimer::timeout, w, [this] { check_trace_file(); });
    trace_watch_.start();
    for (std::size_t i = 0; i < 4; ++i) {
        QObject::connect(w->SendCmd[i], &QPushButton::clicked, w,
                         [this, w, i] { core_->send_hex(w->LNMsgTxt[i]->text()); });
        // Enter (and the keypad's) in a row sends it, as its button does
        QObject::connect(w->LNMsgTxt[i], &QLineEdit::returnPressed, w,
                         [this, w, i] { core_->send_hex(w->LNMsgTxt[i]->text()); });
    }
    QObject::connect(w->ZugkatBut, &QPushButton::clicked, w, [this, w] {
        core_->set_train_category(w->LokAdrTxt->text(), w->KatTxt->text());
    });
    w->set_on_close([this] { end_program(); });
    // the counts once a second; something bad at once, until the next second
    health_tick_.setInterval(kHealthMs);
    QObject::connect(&health_tick_, &QTimer::timeout, w, [this] { show_health(); });
    health_tick_.start();
    core_->health().on_bad([this](const QString &what) { show_bad(what); });
    core_->on_connection_note([w](const QString &note) { w->StatusPanel->setText(note); });
    // a record that cannot be written ends the recording, never the
    // monitoring; the box comes after the line that met it has gone its way
    trace_file_.set_on_failure([this](const QString &reason) {
        const QString told = texts::trace::kTraceWriteFailed.arg(recording_.path(), reason);
        show_captions(recording_.end_after_failure());
        QTimer::singleShot(0, window_.get(), [this, told] {
            dialogs_->message_box(told, texts::trace::kTraceStart, MsgIcon::Exclamation,
                                  MsgButtons::Ok);
        });
    });
}

} // namespace bl
