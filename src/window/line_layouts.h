#pragma once

#include <QFont>
#include <QTextLayout>
#include <map>
#include <memory>
#include <string_view>

namespace bl {

// The lines of a text view laid out for painting, kept while they stay near
// the view: a line is laid out once however often it is painted. Lines are
// known by a number that stays theirs while lines are cut above them.
class LineLayouts {
public:
    // The line, laid out in one row without wrapping; latin1 is its text.
    QTextLayout &get(long long number, std::string_view latin1, const QFont &font);
    // The line's text changed.
    void forget(long long number) { lines_.erase(number); }
    // Only the lines from first to last are kept.
    void keep_only(long long first, long long last);
    void clear() { lines_.clear(); }
    std::size_t size() const { return lines_.size(); }

private:
    std::map<long long, std::unique_ptr<QTextLayout>> lines_;
};

} // namespace bl
