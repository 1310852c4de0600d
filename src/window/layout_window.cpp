#include "window/layout_window.h"

#include "filter/filter.h"
#include "history_model/row_texts.h"
#include "shared/texts.h"
#include "window/filled_scroll_bars.h"
#include "window/grid_table_view.h"
#include "window/plain_cell_delegate.h"

#include <QBrush>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>
#include <algorithm>

namespace bl {

namespace tx = texts::layout;

namespace {

const QColor kFreshColour(0xFF, 0xD8, 0x40);
constexpr auto kMark = u"\u25CF "; // a dot before the first cell of a fresh row

// Sorts by the numbers behind the cells, and keeps the rows a filter takes.
class RowFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void set_filter(std::optional<filter::Filter> f) {
        filter_ = std::move(f);
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &) const override {
        const auto *model = static_cast<const StateTableModel *>(sourceModel());
        return !filter_ ||
               row_matches(model->table().rows[static_cast<std::size_t>(row)], *filter_);
    }

private:
    std::optional<filter::Filter> filter_;
};

// What the history filters on for a row: the number it is about.
QString history_filter_for(const StateTable::Row &row) {
    if (row.switch_number >= 0)
        return QStringLiteral("weiche=%1").arg(row.switch_number);
    if (row.sensor >= 0 && row.loco < 0)
        return QStringLiteral("rm=%1").arg(row.sensor);
    if (row.loco >= 0)
        return QStringLiteral("lok=%1").arg(row.loco);
    if (row.slot >= 0)
        return QStringLiteral("slot=%1").arg(row.slot);
    return {};
}

// Columns as wide as their cells once the rows that came or went in one
// refresh are all in (not at every value, and not for every run of rows).
void fit_columns_soon(QTableView *view) {
    static const char *const kPending = "bl_fit_pending";
    if (view->property(kPending).toBool())
        return;
    view->setProperty(kPending, true);
    QMetaObject::invokeMethod(
        view,
        [view] {
            view->setProperty(kPending, false);
            view->resizeColumnsToContents();
        },
        Qt::QueuedConnection);
}

} // namespace

// Rows stand in the order of their numbers in every table: a new table is
// merged in, the rows that went removed and the new ones inserted, so that
// a view keeps its selection, its place and its column widths while the bus
// runs (a reset would lose them twice a second).
std::vector<StateTableModel::Cells> StateTableModel::take(StateTable table) {
    if (table.columns != table_.columns) {
        beginResetModel();
        table_ = std::move(table);
        endResetModel();
        return std::vector<Cells>(table_.rows.size(), 0); // all drawn anew
    }
    std::vector<Cells> differs; // by the rows' places in the merged table
    std::vector<StateTable::Row> &now = table_.rows;
    std::vector<StateTable::Row> &next = table.rows;
    std::size_t i = 0, j = 0;
    const auto went = [&] {
        return i < now.size() && (j == next.size() || now[i].sort_key < next[j].sort_key);
    };
    const auto came = [&] {
        return j < next.size() && (i == now.size() || next[j].sort_key < now[i].sort_key);
    };
    while (i < now.size() || j < next.size()) {
        if (went()) {
            const std::size_t first = i;
            while (went())
                ++i;
            beginRemoveRows({}, static_cast<int>(first), static_cast<int>(i) - 1);
            now.erase(now.begin() + static_cast<std::ptrdiff_t>(first),
                      now.begin() + static_cast<std::ptrdiff_t>(i));
            endRemoveRows();
            i = first;
        } else if (came()) {
            const std::size_t first = j;
            while (came())
                ++j;
            beginInsertRows({}, static_cast<int>(i), static_cast<int>(i + j - first) - 1);
            now.insert(now.begin() + static_cast<std::ptrdiff_t>(i),
                       std::make_move_iterator(next.begin() + static_cast<std::ptrdiff_t>(first)),
                       std::make_move_iterator(next.begin() + static_cast<std::ptrdiff_t>(j)));
            endInsertRows();
            differs.insert(differs.end(), j - first, 0); // drawn as they come
            i += j - first;
        } else {
            differs.push_back(other_cells(now[i], next[j]));
            now[i++] = std::move(next[j++]);
        }
    }
    table_.title = std::move(table.title);
    table_.bookkeeping_columns = table.bookkeeping_columns;
    return differs;
}

// The cells that differ between two rows of the same number.
StateTableModel::Cells StateTableModel::other_cells(const StateTable::Row &a,
                                                    const StateTable::Row &b) {
    if (a.cells.size() > kCellBits || b.cells.size() > kCellBits)
        return a.cells == b.cells ? 0 : kEveryCell;
    Cells other = 0;
    for (qsizetype c = 0; c < std::max(a.cells.size(), b.cells.size()); ++c)
        if (a.cells.value(c) != b.cells.value(c))
            other |= Cells{1} << c;
    return other;
}

// Views draw again the cells named, one signal each: a view draws a single
// changed cell by itself, but all it shows for a range of them.
void StateTableModel::redraw(const std::vector<Cells> &rows) {
    const int columns = columnCount();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int row = static_cast<int>(r);
        if (rows[r] == kEveryCell || columns > kCellBits) {
            Q_EMIT dataChanged(index(row, 0), index(row, columns - 1));
            continue;
        }
        for (int c = 0; c < columns; ++c)
            if (rows[r] & (Cells{1} << c))
                Q_EMIT dataChanged(index(row, c), index(row, c));
    }
}

void StateTableModel::redraw_all() {
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

template <typename Mark> void StateTableModel::compare(const StateTable &before, Mark mark) const {
    std::unordered_map<qint64, const StateTable::Row *> old;
    old.reserve(before.rows.size());
    for (const StateTable::Row &row : before.rows)
        old.emplace(row.sort_key, &row);
    const int news = static_cast<int>(table_.columns.size()) - table_.bookkeeping_columns;
    for (const StateTable::Row &row : table_.rows) {
        const auto found = old.find(row.sort_key);
        for (int c = 0; c < news; ++c)
            if (found == old.end() || found->second->cells.value(c) != row.cells.value(c))
                mark(row, c);
    }
}

void StateTableModel::set_live(StateTable table, std::int64_t now_us) {
    const StateTable before = live_ ? table_ : StateTable(); // (its cells are shared)
    const bool first = !live_;
    if (first)
        changed_.clear();
    live_ = true;
    const std::int64_t then_us = now_us_;
    now_us_ = now_us;
    std::vector<Cells> redrawn = take(std::move(table));
    if (first) { // what stood there before the window looked is no news
        redraw_all();
        return;
    }
    std::unordered_map<qint64, std::vector<std::int64_t>> kept;
    for (const StateTable::Row &row : table_.rows) {
        auto found = changed_.find(row.sort_key);
        kept[row.sort_key] = found != changed_.end()
                                 ? std::move(found->second)
                                 : std::vector<std::int64_t>(
                                       static_cast<std::size_t>(table_.columns.size()), kNever);
    }
    changed_ = std::move(kept);
    compare(before, [this](const StateTable::Row &row, int column) {
        changed_[row.sort_key][static_cast<std::size_t>(column)] =
            row.changed_us > 0 ? row.changed_us : now_us_;
    });
    // besides the cells that changed, those that stood out at the last
    // refresh or do now, as their colour fades, and the row's mark with them
    for (std::size_t r = 0; r < table_.rows.size(); ++r) {
        const auto &times = changed_[table_.rows[r].sort_key];
        for (std::size_t c = 0; c < times.size() && c < kCellBits; ++c)
            if (times[c] > then_us - kFreshUs)
                redrawn[r] |= (Cells{1} << c) | Cells{1};
    }
    redraw(redrawn);
}

void StateTableModel::set_moment(StateTable table, const StateTable &before) {
    live_ = false;
    changed_.clear();
    take(std::move(table));
    redraw_all();
    for (const StateTable::Row &row : table_.rows)
        changed_[row.sort_key].assign(static_cast<std::size_t>(table_.columns.size()), 0);
    compare(before, [this](const StateTable::Row &row, int column) {
        changed_[row.sort_key][static_cast<std::size_t>(column)] = 1;
    });
}

int StateTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(table_.rows.size());
}

int StateTableModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(table_.columns.size());
}

QVariant StateTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= table_.columns.size())
        return {};
    return table_.columns[section];
}

double StateTableModel::freshness(int row, int column) const {
    const auto found = changed_.find(table_.rows[static_cast<std::size_t>(row)].sort_key);
    if (found == changed_.end() || static_cast<std::size_t>(column) >= found->second.size())
        return 0;
    const std::int64_t changed = found->second[static_cast<std::size_t>(column)];
    if (!live_)
        return changed != 0 ? 1.0 : 0.0;
    const std::int64_t age = now_us_ - changed;
    if (changed == kNever || age >= kFreshUs)
        return 0;
    return 1.0 -
           static_cast<double>(std::max<std::int64_t>(age, 0)) / static_cast<double>(kFreshUs);
}

double StateTableModel::row_freshness(int row) const {
    double most = 0;
    for (int c = 0; c < columnCount(); ++c)
        most = std::max(most, freshness(row, c));
    return most;
}

QVariant StateTableModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const StateTable::Row &row = table_.rows[static_cast<std::size_t>(index.row())];
    const double fresh = freshness(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole: {
        const QString cell = row.cells.value(index.column());
        // a mark that reads without colour: on the row, and the changed cells in bold
        return index.column() == 0 && row_freshness(index.row()) > 0
                   ? QString::fromUtf16(kMark) + cell
                   : cell;
    }
    case SortRole:
        if (index.column() == 0)
            return static_cast<qlonglong>(row.sort_key);
        if (bool ok = false; row.cells.value(index.column()).toLongLong(&ok), ok)
            return row.cells.value(index.column()).toLongLong();
        return row.cells.value(index.column());
    case FreshRole: return fresh;
    case Qt::BackgroundRole: {
        if (fresh <= 0)
            return {};
        QColor colour = kFreshColour;
        colour.setAlphaF(static_cast<float>(0.2 + 0.8 * fresh));
        return QBrush(colour);
    }
    case Qt::ForegroundRole: return fresh > 0 ? QVariant(QBrush(Qt::black)) : QVariant();
    case Qt::FontRole: {
        if (fresh <= 0)
            return {};
        QFont font;
        font.setBold(true);
        return font;
    }
    default: return {};
    }
}

LayoutWindow::LayoutWindow(const StateTimeline &timeline, QWidget *parent)
    : QWidget(parent, Qt::Window), timeline_(timeline) {
    setObjectName(QStringLiteral("LayoutWindow"));
    setWindowTitle(tx::kTitle);
    build();
    tick_.setInterval(kRefreshMs);
    connect(&tick_, &QTimer::timeout, this, [this] { refresh(); });
    tick_.start();
    show_live();
    resize(1040, 520);
}

void LayoutWindow::build() {
    station = new QLabel(this);
    station->setObjectName(QStringLiteral("station"));
    station->setTextInteractionFlags(Qt::TextSelectableByMouse);
    momentLabel = new QLabel(this);
    momentLabel->setObjectName(QStringLiteral("momentLabel"));
    liveButton = new QPushButton(tx::kLive, this);
    liveButton->setObjectName(QStringLiteral("liveButton"));
    liveButton->setToolTip(tx::kLiveTip);
    filterEdit = new QLineEdit(this);
    filterEdit->setObjectName(QStringLiteral("filterEdit"));
    filterEdit->setPlaceholderText(tx::kFilterPlaceholder);
    filterEdit->setToolTip(tx::kFilterTip);
    filterEdit->setClearButtonEnabled(true);
    filterEdit->setMaxLength(static_cast<int>(filter::Filter::kLongestExpression));
    filterHint = new QLabel(this);
    filterHint->setObjectName(QStringLiteral("filterHint"));
    filterHint->setStyleSheet(QStringLiteral("QLabel { color: #a00000; }"));
    filterHint->hide();

    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    for (int k = 0; k < StateTable::kKinds; ++k) {
        auto *proxy = new RowFilter(this);
        proxy->setSourceModel(&models_[static_cast<std::size_t>(k)]);
        proxy->setSortRole(StateTableModel::SortRole);
        proxies_[static_cast<std::size_t>(k)] = proxy;
        auto *view = new GridTableView(tabs);
        view->setObjectName(QStringLiteral("table%1").arg(k));
        view->setModel(proxy);
        view->setItemDelegate(new PlainCellDelegate(view));
        fill_behind_bars(view);
        view->setSortingEnabled(true);
        view->sortByColumn(0, Qt::AscendingOrder);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->verticalHeader()->hide();
        view->horizontalHeader()->setStretchLastSection(true);
        view->setToolTip(tx::kDoubleClickTip);
        // as wide as the cells when rows come or go, not at every value
        view->horizontalHeader()->setResizeContentsPrecision(200);
        const auto fit = [view] { fit_columns_soon(view); };
        const StateTableModel *model = &models_[static_cast<std::size_t>(k)];
        connect(model, &QAbstractItemModel::modelReset, view, fit);
        connect(model, &QAbstractItemModel::rowsInserted, view, fit);
        connect(model, &QAbstractItemModel::rowsRemoved, view, fit);
        connect(view, &QTableView::doubleClicked, this, [this, k](const QModelIndex &index) {
            row_chosen(static_cast<StateTable::Kind>(k), index);
        });
        tables[static_cast<std::size_t>(k)] = view;
        tabs->addTab(view,
                     state_table(loconet::LayoutState(), static_cast<StateTable::Kind>(k)).title);
    }

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(tx::kFilterLabel, this));
    top->addWidget(filterEdit, 1);
    top->addWidget(momentLabel);
    top->addWidget(liveButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(station);
    layout->addLayout(top);
    layout->addWidget(filterHint);
    layout->addWidget(tabs, 1);

    connect(liveButton, &QPushButton::clicked, this, [this] { show_live(); });
    connect(filterEdit, &QLineEdit::textChanged, this, [this] { filter_edited(); });
}

void LayoutWindow::show_live() {
    moment_.reset();
    momentLabel->setText(tx::kLiveNow);
    liveButton->setEnabled(false);
    refresh();
}

void LayoutWindow::show_moment(std::uint64_t position) {
    const auto state = timeline_.at(position);
    const auto before = timeline_.before(position);
    if (!state || !before)
        return;
    moment_ = position;
    momentLabel->setText(tx::kMoment.arg(state->nr()).arg(time_of_day(state->now_us())));
    liveButton->setEnabled(true);
    station->setText(station_lines(*state).join(QStringLiteral("   ·   ")));
    for (int k = 0; k < StateTable::kKinds; ++k) {
        const auto kind = static_cast<StateTable::Kind>(k);
        models_[static_cast<std::size_t>(k)].set_moment(state_table(*state, kind),
                                                        state_table(*before, kind));
    }
}

void LayoutWindow::refresh() {
    if (moment_ || !isVisible())
        return;
    const loconet::LayoutState &state = timeline_.live();
    station->setText(station_lines(state).join(QStringLiteral("   ·   ")));
    for (int k = 0; k < StateTable::kKinds; ++k)
        models_[static_cast<std::size_t>(k)].set_live(
            state_table(state, static_cast<StateTable::Kind>(k)), state.now_us());
}

void LayoutWindow::filter_edited() {
    auto read = filter::Filter::parse(filterEdit->text().toStdString());
    if (auto *bad = std::get_if<filter::ParseError>(&read)) {
        filterHint->setText(
            texts::history::kHint.arg(bad->position + 1).arg(QString::fromStdString(bad->hint)));
        filterHint->show();
        return;
    }
    filterHint->hide();
    const filter::Filter taken = std::get<filter::Filter>(read);
    for (QSortFilterProxyModel *proxy : proxies_)
        static_cast<RowFilter *>(proxy)->set_filter(taken);
}

void LayoutWindow::row_chosen(StateTable::Kind kind, const QModelIndex &index) {
    const QModelIndex source = proxies_[kind]->mapToSource(index);
    if (!source.isValid() || !filter_history_)
        return;
    const QString expression =
        history_filter_for(models_[kind].table().rows[static_cast<std::size_t>(source.row())]);
    if (!expression.isEmpty())
        filter_history_(expression);
}

} // namespace bl
