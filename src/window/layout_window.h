// "Bus-Lauscher – Anlage": the layout's state in tables, a tab each
// (Zentrale, Slots, Lokomotiven, Weichen, Rückmelder, Transponder,
// Abschnitte), sortable, with a filter in the filter language's fields. A
// value that changed stands out (a colour that fades, and bold with a mark
// that reads without colour); a double-click filters the history on the row.
// Live it follows the bus; chosen in the history, it shows the state as it
// was after that message, until "Live".
#pragma once

#include "app/state_report.h"
#include "history/state_timeline.h"

#include <QAbstractTableModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <limits>
#include <optional>
#include <unordered_map>
#include <vector>

namespace bl {

// One table of the state as a Qt model: its cells, a number to sort by in
// the first column, and which cells changed. Live, a cell that took another
// value stands out and fades over kFreshUs (like a sniffer's changed bytes);
// at a moment of the past, the cells that moment's message changed stand out.
class StateTableModel : public QAbstractTableModel {
public:
    static constexpr std::int64_t kFreshUs = 3'000'000; // a change stands out this long
    enum Role { SortRole = Qt::UserRole, FreshRole };

    explicit StateTableModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}
    // The state now: cells that differ from the last live table are news.
    void set_live(StateTable table, std::int64_t now_us);
    // The state after a message of the past, and the state just before it.
    void set_moment(StateTable table, const StateTable &before);
    const StateTable &table() const { return table_; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    static constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::min() / 2;
    // a bit for each column of a row
    using Cells = std::uint64_t;
    static constexpr int kCellBits = 64;
    static constexpr Cells kEveryCell = ~Cells{0};
    static Cells other_cells(const StateTable::Row &a, const StateTable::Row &b);
    // Takes the table in; which cells of its rows are new or other.
    std::vector<Cells> take(StateTable table);
    void redraw(const std::vector<Cells> &rows);
    void redraw_all();
    // the cells of each row that differ from the same row (by its number) of another table
    template <typename Mark> void compare(const StateTable &before, Mark mark) const;
    // 1 for a cell changed just now, falling to 0 over kFreshUs
    double freshness(int row, int column) const;
    double row_freshness(int row) const;

    StateTable table_;
    bool live_ = false;       // table_ is a live one, so the next live table compares with it
    std::int64_t now_us_ = 0; // the state's time, the clock the fading runs on
    // when each cell of a row (by its number) last changed, live; 0 or 1 at a moment
    std::unordered_map<qint64, std::vector<std::int64_t>> changed_;
};

class LayoutWindow : public QWidget {
public:
    static constexpr int kRefreshMs = 500;

    LayoutWindow(const StateTimeline &timeline, QWidget *parent = nullptr);

    // Follows the bus again (the "Live" button).
    void show_live();
    // The state as it was after the message at this history position.
    void show_moment(std::uint64_t position);
    bool live() const { return !moment_; }
    // Takes the state again (the refresh timer calls it while live).
    void refresh();
    // A double-click on a row asks the history for its messages ("lok=57").
    void on_filter_history(std::function<void(const QString &)> handler) {
        filter_history_ = std::move(handler);
    }
    StateTableModel &model(StateTable::Kind kind) { return models_[kind]; }

    QTabWidget *tabs;
    QLabel *station;
    QLabel *momentLabel;
    QPushButton *liveButton;
    QLineEdit *filterEdit;
    QLabel *filterHint;
    std::array<QTableView *, StateTable::kKinds> tables{};

private:
    void build();
    void filter_edited();
    void row_chosen(StateTable::Kind kind, const QModelIndex &index);

    const StateTimeline &timeline_;
    std::array<StateTableModel, StateTable::kKinds> models_;
    std::array<QSortFilterProxyModel *, StateTable::kKinds> proxies_{};
    std::optional<std::uint64_t> moment_;
    QTimer tick_;
    std::function<void(const QString &)> filter_history_;
};

} // namespace bl
