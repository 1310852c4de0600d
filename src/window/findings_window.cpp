#include "window/findings_window.h"

#include "app/finding_report.h"
#include "app/state_report.h"
#include "loconet/latin1.h"
#include "shared/texts.h"
#include "window/grid_table_view.h"

#include <QBrush>
#include <QColor>
#include <QHeaderView>
#include <QLocale>
#include <QVBoxLayout>

namespace bl {

namespace tx = texts::findings_list;

int FindingsModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_rows_);
}

int FindingsModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : kColumns;
}

const loconet::Finding &FindingsModel::finding(int row) const {
    return findings_.kept()[static_cast<std::size_t>(row)];
}

QVariant FindingsModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const loconet::Finding &f = finding(index.row());
    if (role == Qt::BackgroundRole && index.column() == kSeverity) {
        // the word says it too; the colour only helps the eye
        switch (f.severity) {
        case loconet::Severity::Error: return QBrush(QColor(0xFF, 0xC8, 0xC8));
        case loconet::Severity::Warning: return QBrush(QColor(0xFF, 0xEC, 0xB0));
        case loconet::Severity::Note: return {};
        }
    }
    if (role == Qt::ToolTipRole && index.column() == kText)
        return QString::fromLatin1(f.text.data(), static_cast<qsizetype>(f.text.size()));
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case kTime: return time_of_day(f.wall_us);
    case kSeverity: return QString::fromLatin1(loconet::severity_name(f.severity));
    case kKind: return QString::fromLatin1(loconet::finding_id(f.kind));
    case kNr: return f.nr != 0 ? QVariant(static_cast<qulonglong>(f.nr)) : QVariant();
    case kText: return QString::fromLatin1(f.text.data(), static_cast<qsizetype>(f.text.size()));
    default: return {};
    }
}

QVariant FindingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case kTime: return tx::kTime;
    case kSeverity: return tx::kSeverity;
    case kKind: return tx::kKind;
    case kNr: return tx::kNr;
    case kText: return tx::kText;
    default: return {};
    }
}

// New findings come at the end; when old ones were dropped meanwhile the
// rows start anew.
void FindingsModel::refresh() {
    const std::size_t rows = findings_.kept().size();
    if (findings_.dropped() != shown_dropped_) {
        beginResetModel();
        shown_rows_ = rows;
        shown_dropped_ = findings_.dropped();
        endResetModel();
    } else if (rows > shown_rows_) {
        beginInsertRows({}, static_cast<int>(shown_rows_), static_cast<int>(rows) - 1);
        shown_rows_ = rows;
        endInsertRows();
    }
}

FindingsWindow::FindingsWindow(const loconet::Findings &findings, QWidget *parent)
    : QWidget(parent, Qt::Window), findings_(findings), model_(findings) {
    setObjectName(QStringLiteral("FindingsWindow"));
    setWindowTitle(tx::kTitle);
    auto *layout = new QVBoxLayout(this);
    note = new QLabel(this);
    note->setObjectName(QStringLiteral("note"));
    note->setWordWrap(true);
    layout->addWidget(note);
    table = new GridTableView(this);
    table->setObjectName(QStringLiteral("table"));
    table->setModel(&model_);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->setToolTip(tx::kChooseTip);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    layout->addWidget(table);
    connect(table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!current.isValid() || !chosen_)
                    return;
                const std::uint64_t nr = model_.finding(current.row()).nr;
                if (nr != 0)
                    chosen_(nr);
            });
    tick_.setInterval(kRefreshMs);
    connect(&tick_, &QTimer::timeout, this, [this] {
        if (isVisible())
            refresh();
    });
    tick_.start();
    resize(1000, 400);
    refresh();
}

void FindingsWindow::refresh() {
    const bool was_empty = model_.rowCount() == 0;
    model_.refresh();
    if (was_empty && model_.rowCount() > 0)
        for (int c = 0; c < FindingsModel::kText; ++c)
            table->resizeColumnToContents(c);
    QString text = findings_.total() == 0 ? tx::kNone : findings_count_text(findings_);
    if (findings_.dropped() > 0)
        text +=
            QStringLiteral(" – ") +
            tx::kDropped.arg(
                QLocale(QLocale::German).toString(static_cast<qulonglong>(findings_.dropped())));
    note->setText(text);
}

} // namespace bl
