#include "window/line_layouts.h"

#include <QTextOption>

namespace bl {

QTextLayout &LineLayouts::get(long long number, std::string_view latin1, const QFont &font) {
    std::unique_ptr<QTextLayout> &line = lines_[number];
    if (line)
        return *line;
    line = std::make_unique<QTextLayout>(
        QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size())), font);
    QTextOption one_row;
    one_row.setWrapMode(QTextOption::NoWrap);
    line->setTextOption(one_row);
    line->setCacheEnabled(true); // painted again as lines move up
    line->beginLayout();
    QTextLine row = line->createLine();
    if (row.isValid()) {
        row.setLineWidth(1e6); // wider than any line the area holds
        row.setPosition(QPointF(0, 0));
    }
    line->endLayout();
    return *line;
}

void LineLayouts::keep_only(long long first, long long last) {
    lines_.erase(lines_.begin(), lines_.lower_bound(first));
    lines_.erase(lines_.upper_bound(last), lines_.end());
}

} // namespace bl
