#include "history_model/history_model.h"

#include "filter/message_source.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <algorithm>

namespace bl {

namespace {

const QColor kErrorBackground(0xFF, 0xC8, 0xC8);
const QColor kSentBackground(0xC6, 0xDB, 0xFF);
const QColor kEchoBackground(0xE6, 0xF0, 0xFF);
const QColor kHighlightBackground(0xFF, 0xF0, 0x80);

HistoryModel::RowKind kind_of(const loconet::Message &m) {
    if (!m.checksum_ok)
        return HistoryModel::RowKind::Error;
    if (m.direction == loconet::Direction::Sent)
        return HistoryModel::RowKind::Sent;
    if (m.direction == loconet::Direction::Echo)
        return HistoryModel::RowKind::Echo;
    return HistoryModel::RowKind::Normal;
}

} // namespace

HistoryModel::HistoryModel(const HistoryStore &store, QObject *parent)
    : QAbstractTableModel(parent), store_(store), requests_(store), taken_(store.first()) {}

int HistoryModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int HistoryModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const kHeads[kColumns] = {"Nr.",     "Zeit",  "Richtung", "Opcode",
                                                 "Adresse", "Bytes", "Klartext"};
    return section >= 0 && section < kColumns ? QString::fromLatin1(kHeads[section]) : QVariant();
}

bool HistoryModel::takes(const loconet::Message &m, const std::optional<filter::Filter> &f) const {
    if (!f || f->matches_everything())
        return true;
    filter::MessageSource line(m, requests_, detail_, findings_);
    return f->matches(m, line);
}

int HistoryModel::drop_gone() {
    std::size_t gone = 0;
    while (gone < rows_.size() && rows_[gone] < store_.first())
        ++gone;
    if (gone > 0) {
        beginRemoveRows({}, 0, static_cast<int>(gone) - 1);
        rows_.erase(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(gone));
        endRemoveRows();
        cache_.position = ~0ull;
    }
    return static_cast<int>(gone);
}

int HistoryModel::sync(std::optional<QDeadlineTimer> budget) {
    drop_gone();
    taken_ = std::max(taken_, store_.first());
    std::vector<std::uint64_t> added;
    const bool everything = !filter_ || filter_->matches_everything();
    // the clock is asked every few hundred messages: asking costs too
    constexpr std::uint64_t kBetweenLooks = 512;
    for (std::uint64_t looked = 0; taken_ < store_.end(); ++taken_, ++looked) {
        if (budget && looked % kBetweenLooks == kBetweenLooks - 1 && budget->hasExpired())
            break;
        if (everything || takes(store_.at(taken_), filter_))
            added.push_back(taken_);
    }
    if (added.empty())
        return 0;
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(added.size()) - 1);
    rows_.insert(rows_.end(), added.begin(), added.end());
    endInsertRows();
    return static_cast<int>(added.size());
}

void HistoryModel::rebuild(bool at_once) {
    beginResetModel();
    rows_.clear();
    cache_.position = ~0ull;
    taken_ = store_.first();
    if (at_once) {
        for (; taken_ < store_.end(); ++taken_)
            if (!filter_ || filter_->matches_everything() || takes(store_.at(taken_), filter_))
                rows_.push_back(taken_);
    }
    endResetModel();
}

void HistoryModel::reset() { rebuild(); }

void HistoryModel::set_filter(std::optional<filter::Filter> f, bool at_once) {
    filter_ = std::move(f);
    rebuild(at_once);
}

void HistoryModel::set_highlight(std::optional<filter::Filter> f) {
    highlight_ = std::move(f);
    cache_.position = ~0ull;
    if (!rows_.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1));
}

void HistoryModel::set_detail(bool on) {
    if (on == detail_)
        return;
    detail_ = on;
    if (filter_ && !filter_->matches_everything())
        rebuild(); // a text term reads the other line now
    else if (!rows_.empty()) {
        cache_.position = ~0ull;
        Q_EMIT dataChanged(index(0, kText), index(rowCount() - 1, kText));
    }
}

void HistoryModel::set_time_mode(TimeMode mode, std::uint64_t reference) {
    time_mode_ = mode;
    reference_ = reference;
    if (!rows_.empty())
        Q_EMIT dataChanged(index(0, kTime), index(rowCount() - 1, kTime));
}

int HistoryModel::row_of(std::uint64_t position) const {
    const auto it = std::lower_bound(rows_.begin(), rows_.end(), position);
    return it != rows_.end() && *it == position ? static_cast<int>(it - rows_.begin()) : -1;
}

const HistoryModel::Cached &HistoryModel::row_data(int row) const {
    const std::uint64_t p = position(row);
    if (cache_.position != p) {
        cache_.position = p;
        cache_.message = store_.at(p);
        cache_.line_made = false;
        cache_.highlight = -1;
    }
    return cache_;
}

QString HistoryModel::line(int row) const {
    const Cached &c = row_data(row);
    if (!c.line_made) {
        LineText text;
        loconet::make_line(c.message, {false, detail_, true}, requests_, text);
        cache_.line = QString::fromLatin1(text.view().data(), static_cast<qsizetype>(text.n));
        cache_.line_made = true;
    }
    return cache_.line;
}

bool HistoryModel::highlighted(int row) const {
    if (!highlight_ || highlight_->matches_everything())
        return false;
    const Cached &c = row_data(row);
    if (c.highlight < 0) {
        filter::MessageSource text(c.message, requests_, detail_, findings_);
        cache_.highlight = highlight_->matches(c.message, text) ? 1 : 0;
    }
    return cache_.highlight == 1;
}

QString HistoryModel::time_text(int row, const loconet::Message &m) const {
    switch (time_mode_) {
    case TimeMode::Absolute: return clock_text(m.wall_us);
    case TimeMode::FromFirst: return seconds_text(m.steady_ns - store_.at(position(0)).steady_ns);
    case TimeMode::FromReference:
        if (reference_ < store_.first() || reference_ >= store_.end())
            return clock_text(m.wall_us);
        return seconds_text(m.steady_ns - store_.at(reference_).steady_ns);
    case TimeMode::Gap:
        return row == 0 ? seconds_text(0)
                        : seconds_text(m.steady_ns - store_.at(position(row - 1)).steady_ns);
    }
    return {};
}

QVariant HistoryModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole: {
        const loconet::Message m = row_data(row).message; // a copy: the time may look elsewhere
        switch (index.column()) {
        case kNr:
            return (highlighted(row) ? QStringLiteral("* ") : QString()) + QString::number(m.seq);
        case kTime: return time_text(row, m);
        case kDirection: return direction_text(m);
        case kOpcode: return opcode_text(m);
        case kAddress: return address_text(m, requests_);
        case kBytes: return bytes_text(m);
        case kText: return line(row);
        default: return {};
        }
    }
    case Qt::BackgroundRole:
        switch (kind_of(row_data(row).message)) {
        case RowKind::Error: return QBrush(kErrorBackground);
        case RowKind::Sent: return QBrush(kSentBackground);
        case RowKind::Echo: return QBrush(kEchoBackground);
        case RowKind::Normal:
            return highlighted(row) ? QVariant(QBrush(kHighlightBackground)) : QVariant();
        }
        return {};
    case Qt::ForegroundRole:
        // dark text on the light backgrounds, whatever the desktop's colours
        return kind_of(row_data(row).message) != RowKind::Normal || highlighted(row)
                   ? QVariant(QBrush(Qt::black))
                   : QVariant();
    case Qt::FontRole: {
        const RowKind kind = kind_of(row_data(row).message);
        if (kind == RowKind::Normal && !highlighted(row))
            return {};
        QFont font;
        font.setBold(kind == RowKind::Error || highlighted(row));
        font.setItalic(kind == RowKind::Sent || kind == RowKind::Echo);
        return font;
    }
    case Qt::ToolTipRole:
        if (index.column() == kText)
            return line(row);
        return {};
    case PositionRole: return QVariant::fromValue<qulonglong>(position(row));
    case KindRole: return static_cast<int>(kind_of(row_data(row).message));
    default: return {};
    }
}

int HistoryModel::find(const QString &text, int from, bool forward) const {
    if (text.isEmpty() || rows_.empty())
        return -1;
    const int n = rowCount();
    for (int step = 1; step <= n; ++step) {
        const int row = ((forward ? from + step : from - step) % n + n) % n;
        const loconet::Message m = row_data(row).message;
        if (line(row).contains(text, Qt::CaseInsensitive) ||
            address_text(m, requests_).contains(text, Qt::CaseInsensitive) ||
            bytes_text(m).contains(text, Qt::CaseInsensitive) ||
            opcode_text(m).contains(text, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

int HistoryModel::next_error(int from) const {
    const int n = rowCount();
    for (int row = std::max(from + 1, 0); row < n; ++row) {
        const std::uint64_t p = position(row);
        if (store_.holds(p) && !store_.at(p).checksum_ok)
            return row;
    }
    return -1;
}

} // namespace bl
