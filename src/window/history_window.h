// "Bus-Lauscher – Verlauf": every kept message in a table, with a filter
// line, a highlight, search, "Nächster Fehler", pause, a field view of the
// selected row, export, and emptying the history.
#pragma once

#include "history_model/history_export.h"
#include "history_model/history_model.h"
#include "shared/platform.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace bl {

class HistoryWindow : public QWidget {
public:
    // Where to export to (empty: not at all), and in which form.
    struct ExportTarget {
        QString path;
        ExportFormat format = ExportFormat::Text;
    };
    using AskExport = std::function<ExportTarget(QWidget *parent)>;

    HistoryWindow(HistoryStore &store, Dialogs &dialogs, QWidget *parent = nullptr);

    // The Klartext column follows the main window's "Ausführlich".
    void set_detail(bool on);
    // Takes new messages into the table (the refresh timer calls it).
    void refresh();
    static constexpr int kRefreshMs = 500;
    // A filter applies once typing pauses this long (or at once on Enter).
    static constexpr int kTypingPauseMs = 300;
    // Filtering goes in steps of this much time, so that the window answers
    // between them however many messages are kept.
    static constexpr int kFilterStepMs = 30;
    // A note ("nicht gefunden") stands at least this long.
    static constexpr int kNoteMs = 3000;
    // Applies the typed filter now (Enter does, and a pause in typing).
    void apply_filter();
    // Whether a filter is still being applied to the kept messages.
    bool filtering() const { return filter_steps_.isActive(); }
    // Whether the view follows the newest row.
    bool following() const { return following_; }
    // While following a bus so busy that each refresh would show only rows
    // never drawn, the view is brought up to date once a second: no one
    // reads faster, and drawing new rows is what the window costs.
    static constexpr int kBusyRefreshMs = 1000;

    void set_ask_export(AskExport ask) { ask_export_ = std::move(ask); }
    // A row chosen: its message's store position (the Anlage window shows
    // the state as it was then).
    void on_row_chosen(std::function<void(std::uint64_t position)> handler) {
        row_chosen_ = std::move(handler);
    }
    // Chooses the row of a store position (the view stops following); false
    // where it is not shown (filtered out, or no longer kept).
    bool show_position(std::uint64_t position);
    // "Verlauf leeren": after the store was emptied.
    void on_cleared(std::function<void()> handler) { cleared_ = std::move(handler); }
    // Writes the shown rows; false (and a box) where the file cannot be written.
    bool export_to(const ExportTarget &target);
    HistoryModel &model() { return model_; }

    QLineEdit *filterEdit;
    QLineEdit *highlightEdit;
    QLabel *filterHint;
    QComboBox *timeMode;
    QPushButton *pauseButton;
    QPushButton *nextErrorButton;
    QPushButton *exportButton;
    QPushButton *clearButton;
    QLineEdit *searchEdit;
    QTableView *table;
    QPlainTextEdit *fieldView;
    QLabel *countLabel;
    QLabel *noteLabel; // what a search or a step found (or did not), for a few seconds

private:
    void build();
    void connect_controls();
    void filter_edited();
    void filter_step();
    void highlight_edited();
    void note(const QString &text);
    void scrolled_by_user();
    void scroll_to_newest();
    void search(bool forward);
    void next_error();
    void toggle_pause();
    void clear_history();
    void ask_and_export();
    void selection_changed();
    void time_mode_changed();
    void select_row(int row);
    void show_count();
    int current_row() const;
    bool show_error(QLineEdit *edit, const QString &text, std::optional<filter::Filter> &read);

    HistoryStore &store_;
    Dialogs &dialogs_;
    HistoryModel model_;
    QTimer tick_;
    QTimer typing_pause_;
    QTimer filter_steps_;
    QTimer note_shown_;
    QElapsedTimer since_sync_;
    bool paused_ = false;
    // The view follows the newest rows until the user chooses one above
    // them or scrolls up; at the bottom, on the newest row or "Weiter" it
    // follows again.
    bool following_ = true;
    bool scrolling_ = false;   // the view is scrolled by us, not the user
    std::uint64_t kept_ = 0;   // the chosen row's message while a filter is applied
    bool keep_chosen_ = false; // a row was chosen when the filter changed
    AskExport ask_export_;
    std::function<void(std::uint64_t)> row_chosen_;
    std::function<void()> cleared_;
};

} // namespace bl
