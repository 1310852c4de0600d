#include "window/history_window.h"

#include "shared/texts.h"
#include "window/filled_scroll_bars.h"
#include "window/grid_table_view.h"
#include "window/plain_cell_delegate.h"

#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QSaveFile>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QVBoxLayout>

namespace bl {

namespace tx = texts::history;

namespace {

QPushButton *button(const QString &text, QWidget *parent, const char *name) {
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QLineEdit *line_edit(const QString &placeholder, QWidget *parent, const char *name) {
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setPlaceholderText(placeholder);
    e->setClearButtonEnabled(true);
    return e;
}

// Qt's own dialog, so that it speaks German whatever the desktop's dialog
// would; the name's ending chooses the form, the type list where it has none.
HistoryWindow::ExportTarget ask_with_dialog(QWidget *parent) {
    QFileDialog dialog(parent, tx::kExportTitle);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({tx::kExportText, tx::kExportCsv, tx::kExportRaw});
    dialog.setLabelText(QFileDialog::LookIn, tx::kDialogLookIn);
    dialog.setLabelText(QFileDialog::FileName, tx::kDialogFileName);
    dialog.setLabelText(QFileDialog::FileType, tx::kDialogFileType);
    dialog.setLabelText(QFileDialog::Accept, tx::kDialogSave);
    dialog.setLabelText(QFileDialog::Reject, tx::kDialogCancel);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedNameFilter();
    const ExportFormat listed = chosen == tx::kExportCsv   ? ExportFormat::Csv
                                : chosen == tx::kExportRaw ? ExportFormat::Raw
                                                           : ExportFormat::Text;
    const QString path = with_ending(dialog.selectedFiles().constFirst(), listed);
    return {path, export_format_for(path, listed)};
}

} // namespace

HistoryWindow::HistoryWindow(HistoryStore &store, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Window), store_(store), dialogs_(dialogs), model_(store),
      ask_export_(ask_with_dialog) {
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(tx::kTitle);
    build();
    connect_controls();
    model_.sync();
    show_count();
    tick_.setInterval(kRefreshMs);
    tick_.start();
    resize(1000, 600);
}

void HistoryWindow::build() {
    filterEdit = line_edit(tx::kFilterPlaceholder, this, "filterEdit");
    filterEdit->setToolTip(tx::kFilterTip);
    highlightEdit = line_edit(tx::kHighlightPlaceholder, this, "highlightEdit");
    highlightEdit->setToolTip(tx::kHighlightTip);
    filterHint = new QLabel(this);
    filterHint->setObjectName(QStringLiteral("filterHint"));
    filterHint->setWordWrap(true);
    filterHint->hide();
    timeMode = new QComboBox(this);
    timeMode->setObjectName(QStringLiteral("timeMode"));
    timeMode->addItems(
        {tx::kTimeAbsolute, tx::kTimeFromFirst, tx::kTimeFromSelected, tx::kTimeGap});
    pauseButton = button(tx::kPause, this, "pauseButton");
    pauseButton->setToolTip(tx::kPauseTip);
    nextErrorButton = button(tx::kNextError, this, "nextErrorButton");
    exportButton = button(tx::kExport, this, "exportButton");
    clearButton = button(tx::kClear, this, "clearButton");
    clearButton->setToolTip(tx::kClearTip);
    searchEdit = line_edit(tx::kSearchPlaceholder, this, "searchEdit");
    searchEdit->hide();
    countLabel = new QLabel(this);
    countLabel->setObjectName(QStringLiteral("countLabel"));
    noteLabel = new QLabel(this);
    noteLabel->setObjectName(QStringLiteral("noteLabel"));
    filterEdit->setMaxLength(static_cast<int>(filter::Filter::kLongestExpression));
    highlightEdit->setMaxLength(static_cast<int>(filter::Filter::kLongestExpression));
    auto *legend = new QLabel(tx::kLegend, this);
    legend->setObjectName(QStringLiteral("legend"));

    table = new GridTableView(this);
    table->setObjectName(QStringLiteral("table"));
    table->setModel(&model_);
    table->setItemDelegate(new PlainCellDelegate(table));
    fill_behind_bars(table);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setWordWrap(false);
    const int digit = table->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const int widths[] = {8, 13, 25, 16, 16, 22};
    for (int c = 0; c < HistoryModel::kText; ++c)
        table->setColumnWidth(c, digit * widths[c]);

    fieldView = new QPlainTextEdit(this);
    fieldView->setObjectName(QStringLiteral("fieldView"));
    fieldView->setReadOnly(true);
    fieldView->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    fieldView->setPlaceholderText(tx::kFieldPlaceholder);

    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(table);
    splitter->addWidget(fieldView);
    splitter->setStretchFactor(0, 4);
    splitter->setStretchFactor(1, 1);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(tx::kFilterLabel, this));
    top->addWidget(filterEdit, 3);
    top->addWidget(new QLabel(tx::kHighlightLabel, this));
    top->addWidget(highlightEdit, 2);
    top->addWidget(timeMode);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {pauseButton, nextErrorButton, exportButton, clearButton})
        buttons->addWidget(b);
    buttons->addWidget(searchEdit, 1);
    buttons->addStretch();
    buttons->addWidget(noteLabel);
    buttons->addWidget(countLabel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(filterHint);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);
    layout->addWidget(legend);
}

void HistoryWindow::connect_controls() {
    connect(&tick_, &QTimer::timeout, this, [this] { refresh(); });
    typing_pause_.setSingleShot(true);
    typing_pause_.setInterval(kTypingPauseMs);
    connect(&typing_pause_, &QTimer::timeout, this, [this] { apply_filter(); });
    filter_steps_.setInterval(0);
    connect(&filter_steps_, &QTimer::timeout, this, [this] { filter_step(); });
    note_shown_.setSingleShot(true);
    note_shown_.setInterval(kNoteMs);
    connect(&note_shown_, &QTimer::timeout, noteLabel, &QLabel::clear);
    connect(filterEdit, &QLineEdit::textChanged, this, [this] { filter_edited(); });
    connect(filterEdit, &QLineEdit::returnPressed, this, [this] { apply_filter(); });
    connect(table->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (!scrolling_)
            scrolled_by_user();
    });
    connect(highlightEdit, &QLineEdit::textChanged, this, [this] { highlight_edited(); });
    connect(pauseButton, &QPushButton::clicked, this, [this] { toggle_pause(); });
    connect(nextErrorButton, &QPushButton::clicked, this, [this] { next_error(); });
    connect(exportButton, &QPushButton::clicked, this, [this] { ask_and_export(); });
    connect(clearButton, &QPushButton::clicked, this, [this] { clear_history(); });
    connect(timeMode, &QComboBox::currentIndexChanged, this, [this] { time_mode_changed(); });
    connect(table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { selection_changed(); });
    connect(searchEdit, &QLineEdit::returnPressed, this, [this] { search(true); });
    auto *find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        searchEdit->show();
        searchEdit->setFocus();
        searchEdit->selectAll();
    });
    auto *next = new QShortcut(QKeySequence(Qt::Key_F3), this);
    connect(next, &QShortcut::activated, this, [this] { search(true); });
    auto *previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this);
    connect(previous, &QShortcut::activated, this, [this] { search(false); });
    auto *hide_search = new QShortcut(QKeySequence(Qt::Key_Escape), searchEdit);
    hide_search->setContext(Qt::WidgetShortcut);
    connect(hide_search, &QShortcut::activated, this, [this] {
        searchEdit->hide();
        table->setFocus();
    });
}

void HistoryWindow::set_detail(bool on) {
    model_.set_detail(on);
    selection_changed();
}

// The view follows the newest row while it stands at the bottom, as the
// monitor area does; paused, it stands still while the history records on,
// and rows whose messages the history no longer holds leave it.
void HistoryWindow::refresh() {
    if (const int gone = model_.drop_gone(); gone > 0 && (paused_ || !following_))
        note(tx::kRowsGone.arg(QLocale().toString(gone)));
    if (paused_ || filtering()) {
        show_count();
        return;
    }
    const int row_height = std::max(1, table->verticalHeader()->defaultSectionSize());
    const auto visible = static_cast<std::uint64_t>(table->viewport()->height() / row_height + 1);
    if (following_ && model_.pending() > visible && since_sync_.isValid() &&
        since_sync_.elapsed() < kBusyRefreshMs)
        return;
    since_sync_.start();
    // standing on the newest row, the choice goes along with the newest
    const bool on_newest = current_row() >= 0 && current_row() == model_.rowCount() - 1;
    if (model_.sync() > 0 && following_) {
        if (on_newest)
            table->selectionModel()->setCurrentIndex(model_.index(model_.rowCount() - 1, 0),
                                                     QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
        scroll_to_newest();
    }
    show_count();
}

void HistoryWindow::scroll_to_newest() {
    scrolling_ = true;
    table->scrollToBottom();
    scrolling_ = false;
}

// A scroll by the user: at the bottom the view follows again, above it it
// stands.
void HistoryWindow::scrolled_by_user() {
    const QScrollBar *bar = table->verticalScrollBar();
    following_ = bar->value() >= bar->maximum();
}

void HistoryWindow::note(const QString &text) {
    noteLabel->setText(text);
    note_shown_.start();
}

void HistoryWindow::show_count() {
    if (filtering()) {
        const std::uint64_t kept = store_.size();
        const std::uint64_t done = kept - std::min<std::uint64_t>(model_.pending(), kept);
        countLabel->setText(tx::kFiltering.arg(kept ? 100 * done / kept : 100));
        return;
    }
    QString text = tx::kCount.arg(QLocale().toString(model_.rowCount()),
                                  QLocale().toString(static_cast<qulonglong>(store_.size())));
    if (paused_)
        text += tx::kPausedNote;
    countLabel->setText(text);
}

// A red line and a hint at the place of the mistake; the last filter that
// could be read stays in force meanwhile.
bool HistoryWindow::show_error(QLineEdit *edit, const QString &text,
                               std::optional<filter::Filter> &read) {
    auto result = filter::Filter::parse(text.toStdString());
    if (auto *bad = std::get_if<filter::ParseError>(&result)) {
        edit->setStyleSheet(QStringLiteral("QLineEdit { background: #ffc8c8; color: black; }"));
        filterHint->setText(
            tx::kHint.arg(bad->position + 1).arg(QString::fromStdString(bad->hint)));
        filterHint->setStyleSheet(QStringLiteral("QLabel { color: #a00000; }"));
        filterHint->show();
        return false;
    }
    edit->setStyleSheet(QString());
    filterHint->hide();
    read = std::move(std::get<filter::Filter>(result));
    return true;
}

// Each keystroke waits for the next: the filter applies when typing pauses.
void HistoryWindow::filter_edited() { typing_pause_.start(); }

// The kept messages are looked at in steps; the chosen row stays chosen
// where the new filter takes it, otherwise the view goes to the newest.
void HistoryWindow::apply_filter() {
    typing_pause_.stop();
    std::optional<filter::Filter> read;
    if (!show_error(filterEdit, filterEdit->text(), read))
        return;
    const int row = current_row();
    keep_chosen_ = row >= 0;
    kept_ = keep_chosen_ ? model_.position(row) : 0;
    model_.set_filter(std::move(read), false);
    filter_steps_.start();
    filter_step();
}

void HistoryWindow::filter_step() {
    model_.sync(QDeadlineTimer(kFilterStepMs));
    if (model_.pending() > 0) {
        show_count();
        return;
    }
    filter_steps_.stop();
    const int again = keep_chosen_ ? model_.row_of(kept_) : -1;
    if (again >= 0) {
        select_row(again);
    } else {
        following_ = true;
        scroll_to_newest();
    }
    show_count();
}

void HistoryWindow::highlight_edited() {
    std::optional<filter::Filter> read;
    if (show_error(highlightEdit, highlightEdit->text(), read))
        model_.set_highlight(std::move(read));
}

int HistoryWindow::current_row() const {
    const QModelIndex current = table->selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void HistoryWindow::select_row(int row) {
    const QModelIndex index = model_.index(row, 0);
    table->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                        QItemSelectionModel::Rows);
    table->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

bool HistoryWindow::show_position(std::uint64_t position) {
    if (!filtering())
        model_.sync();
    const int row = model_.row_of(position);
    if (row < 0)
        return false;
    select_row(row);
    return true;
}

void HistoryWindow::search(bool forward) {
    if (searchEdit->isHidden() || searchEdit->text().isEmpty()) {
        searchEdit->show();
        searchEdit->setFocus();
        return;
    }
    const int from = current_row() >= 0 ? current_row() : (forward ? -1 : model_.rowCount());
    const int row = model_.find(searchEdit->text(), from, forward);
    if (row < 0) {
        note(tx::kNotFound.arg(searchEdit->text()));
        return;
    }
    select_row(row);
}

void HistoryWindow::next_error() {
    const int row = model_.next_error(current_row());
    if (row < 0) {
        note(tx::kNoMoreErrors);
        return;
    }
    select_row(row);
}

// "Weiter" goes to the newest row and follows again.
void HistoryWindow::toggle_pause() {
    paused_ = !paused_;
    pauseButton->setText(paused_ ? tx::kResume : tx::kPause);
    if (!paused_) {
        following_ = true;
        if (!filtering())
            model_.sync();
        scroll_to_newest();
    }
    show_count();
}

void HistoryWindow::clear_history() {
    store_.clear();
    if (cleared_)
        cleared_();
    model_.reset();
    fieldView->clear();
    show_count();
}

void HistoryWindow::selection_changed() {
    const int row = current_row();
    if (row < 0 || row >= model_.rowCount()) {
        fieldView->clear();
        return;
    }
    // choosing the newest row follows; a row above it holds the view
    following_ = row == model_.rowCount() - 1;
    const std::uint64_t position = model_.position(row);
    if (position < store_.first())
        return;
    fieldView->setPlainText(field_view(store_, position, model_.detail()).join(QLatin1Char('\n')));
    if (row_chosen_)
        row_chosen_(position);
    if (timeMode->currentIndex() == 2)
        model_.set_time_mode(HistoryModel::TimeMode::FromReference, position);
}

void HistoryWindow::time_mode_changed() {
    const int row = current_row();
    const std::uint64_t reference = row >= 0 ? model_.position(row) : store_.first();
    static const HistoryModel::TimeMode kModes[] = {
        HistoryModel::TimeMode::Absolute, HistoryModel::TimeMode::FromFirst,
        HistoryModel::TimeMode::FromReference, HistoryModel::TimeMode::Gap};
    model_.set_time_mode(kModes[std::clamp(timeMode->currentIndex(), 0, 3)], reference);
}

void HistoryWindow::ask_and_export() {
    const ExportTarget target = ask_export_(this);
    if (!target.path.isEmpty())
        export_to(target);
}

bool HistoryWindow::export_to(const ExportTarget &target) {
    QSaveFile file(target.path);
    const bool ok =
        file.open(QIODevice::WriteOnly) &&
        export_rows(model_, store_, target.format, file, QLocale::system().decimalPoint()) &&
        file.commit();
    if (!ok)
        dialogs_.message_box(tx::kExportFailed.arg(target.path, file.errorString()),
                             tx::kExportTitle, MsgIcon::Exclamation, MsgButtons::Ok);
    return ok;
}

} // namespace bl
