// The history as a table: one row per kept message the filter takes, in
// the columns Nr., Zeit, Richtung, Opcode, Adresse, Bytes, Klartext. Rows
// are rendered when shown, never stored; new messages are taken in batches
// (sync), within a time budget where asked, so that filtering a million
// messages never holds the window; rows whose message the store has
// dropped leave the table (a row shown meanwhile is shown empty).
#pragma once

#include "filter/filter.h"
#include "history/history_store.h"
#include "history_model/row_texts.h"
#include "loconet/findings.h"

#include <QAbstractTableModel>
#include <QDeadlineTimer>
#include <algorithm>
#include <deque>
#include <optional>

namespace bl {

class HistoryModel : public QAbstractTableModel {
public:
    enum Column { kNr, kTime, kDirection, kOpcode, kAddress, kBytes, kText, kColumns };
    enum class TimeMode { Absolute, FromFirst, FromReference, Gap };
    // the kind of row, for the colours and the marks
    enum Role { PositionRole = Qt::UserRole, KindRole };
    enum class RowKind { Normal, Error, Sent, Echo };

    explicit HistoryModel(const HistoryStore &store, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Takes the messages added since the last call, and lets go of the
    // rows whose messages were dropped. Returns the number of new rows.
    // With a budget, stops when it is spent (pending() says what is left).
    int sync(std::optional<QDeadlineTimer> budget = std::nullopt);
    // Lets go of the rows whose messages the store has dropped (also while
    // no new ones are taken); returns how many went.
    int drop_gone();
    // After the store was emptied.
    void reset();

    // A new filter: with at_once, every kept message is looked at now;
    // otherwise the rows come with the following syncs.
    void set_filter(std::optional<filter::Filter> f, bool at_once = true);
    void set_highlight(std::optional<filter::Filter> f);
    void set_detail(bool on);
    // Where the filter's "befund" looks.
    void set_findings(const loconet::Findings *findings) { findings_ = findings; }
    bool detail() const { return detail_; }
    void set_time_mode(TimeMode mode, std::uint64_t reference = 0);

    std::uint64_t position(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    // The row of a position, or -1 where it is not shown.
    int row_of(std::uint64_t position) const;
    // The next row (after from, or before it backwards) whose shown texts
    // contain text, case ignored; -1 where none.
    int find(const QString &text, int from, bool forward) const;
    int next_error(int from) const;
    bool highlighted(int row) const;
    // the shown line of a row (UTF-8 free: Latin-1 as the trace holds it)
    QString line(int row) const;
    std::size_t total() const { return store_.size(); }
    // messages kept that sync has not looked at yet
    std::uint64_t pending() const { return store_.end() - std::max(taken_, store_.first()); }

private:
    struct Cached {
        std::uint64_t position = ~0ull;
        loconet::Message message;
        QString line;
        bool line_made = false;
        int highlight = -1; // unknown
    };
    const Cached &row_data(int row) const;
    bool takes(const loconet::Message &m, const std::optional<filter::Filter> &f) const;
    QString time_text(int row, const loconet::Message &m) const;
    void rebuild(bool at_once = true);

    const HistoryStore &store_;
    StoredRequests requests_;
    std::deque<std::uint64_t> rows_;
    std::uint64_t taken_ = 0; // store positions below this have been looked at
    std::optional<filter::Filter> filter_;
    std::optional<filter::Filter> highlight_;
    bool detail_ = false;
    TimeMode time_mode_ = TimeMode::Absolute;
    std::uint64_t reference_ = 0;
    mutable Cached cache_;
    const loconet::Findings *findings_ = nullptr;
};

} // namespace bl
