#include "window/history_window.h"

#include "shared/texts.h"
#include "window/history_delegate.h"

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

HistoryWindow::ExportTarget ask_with_dialog(QWidget *parent) {
    QString chosen;
    const QString path =
        QFileDialog::getSaveFileName(parent, tx::kExportTitle, QString(),
                                     tx::kExportText + QStringLiteral(";;") + tx::kExportCsv +
                                         QStringLiteral(";;") + tx::kExportRaw,
                                     &chosen);
    const ExportFormat format = chosen == tx::kExportCsv   ? ExportFormat::Csv
                                : chosen == tx::kExportRaw ? ExportFormat::Raw
                                                           : ExportFormat::Text;
    return {path, format};
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
    auto *legend = new QLabel(tx::kLegend, this);
    legend->setObjectName(QStringLiteral("legend"));

    table = new QTableView(this);
    table->setObjectName(QStringLiteral("table"));
    table->setModel(&model_);
    table->setItemDelegate(new HistoryDelegate(table));
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
    connect(filterEdit, &QLineEdit::textChanged, this, [this] { filter_edited(); });
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
// monitor area does; paused, it stands still while the history records on.
void HistoryWindow::refresh() {
    if (paused_) {
        show_count();
        return;
    }
    // a row chosen above the newest holds the view where it is
    QScrollBar *bar = table->verticalScrollBar();
    const int chosen = current_row();
    const bool at_bottom =
        bar->value() >= bar->maximum() && (chosen < 0 || chosen == model_.rowCount() - 1);
    const int row_height = std::max(1, table->verticalHeader()->defaultSectionSize());
    const auto visible = static_cast<std::uint64_t>(table->viewport()->height() / row_height + 1);
    if (at_bottom && model_.pending() > visible && since_sync_.isValid() &&
        since_sync_.elapsed() < kBusyRefreshMs)
        return;
    since_sync_.start();
    if (model_.sync() > 0 && at_bottom)
        table->scrollToBottom();
    show_count();
}

void HistoryWindow::show_count() {
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

void HistoryWindow::filter_edited() {
    std::optional<filter::Filter> read;
    if (!show_error(filterEdit, filterEdit->text(), read))
        return;
    const int row = current_row();
    const std::uint64_t kept = row >= 0 ? model_.position(row) : 0;
    model_.set_filter(std::move(read));
    const int again = row >= 0 ? model_.row_of(kept) : -1;
    if (again >= 0)
        select_row(again);
    else
        table->scrollToBottom();
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

void HistoryWindow::search(bool forward) {
    if (searchEdit->isHidden() || searchEdit->text().isEmpty()) {
        searchEdit->show();
        searchEdit->setFocus();
        return;
    }
    const int from = current_row() >= 0 ? current_row() : (forward ? -1 : model_.rowCount());
    const int row = model_.find(searchEdit->text(), from, forward);
    if (row < 0) {
        countLabel->setText(tx::kNotFound.arg(searchEdit->text()));
        return;
    }
    select_row(row);
}

void HistoryWindow::next_error() {
    const int row = model_.next_error(current_row());
    if (row < 0) {
        countLabel->setText(tx::kNoMoreErrors);
        return;
    }
    select_row(row);
}

void HistoryWindow::toggle_pause() {
    paused_ = !paused_;
    pauseButton->setText(paused_ ? tx::kResume : tx::kPause);
    if (!paused_) {
        model_.sync();
        table->scrollToBottom();
    }
    show_count();
}

void HistoryWindow::clear_history() {
    store_.clear();
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
    const std::uint64_t position = model_.position(row);
    if (position < store_.first())
        return;
    fieldView->setPlainText(field_view(store_, position, model_.detail()).join(QLatin1Char('\n')));
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
