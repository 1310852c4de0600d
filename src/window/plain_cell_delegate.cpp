#include "window/plain_cell_delegate.h"

#include <QPainter>

namespace bl {

void PlainCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const {
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette &palette = option.palette;
    QColor text_colour = palette.color(QPalette::Text);
    if (selected) {
        painter->fillRect(option.rect, palette.brush(QPalette::Highlight));
        text_colour = palette.color(QPalette::HighlightedText);
    } else if (const QVariant background = index.data(Qt::BackgroundRole); background.isValid()) {
        painter->fillRect(option.rect, background.value<QBrush>());
        if (const QVariant foreground = index.data(Qt::ForegroundRole); foreground.isValid())
            text_colour = foreground.value<QBrush>().color();
    }
    painter->save();
    if (const QVariant font = index.data(Qt::FontRole); font.isValid())
        painter->setFont(font.value<QFont>());
    else
        painter->setFont(option.font);
    painter->setPen(text_colour);
    const int margin = option.fontMetrics.horizontalAdvance(QLatin1Char(' ')) / 2 + 1;
    const QRect text = option.rect.adjusted(margin, 0, -margin, 0);
    painter->setClipRect(option.rect);
    painter->drawText(
        text.left(),
        text.top() +
            (text.height() + option.fontMetrics.ascent() - option.fontMetrics.descent()) / 2,
        index.data(Qt::DisplayRole).toString());
    painter->restore();
}

} // namespace bl
