// Draws a table cell plainly: background, one line of text in the cell's
// font and colour, cut at the cell's edge. Qt's own delegate lays out every
// cell for wrapping and eliding, which costs twice as much: on a busy bus the
// history shows rows never drawn before at each refresh, and the Anlage
// redraws the cells that changed, nearly all of them.
#pragma once

#include <QStyledItemDelegate>

namespace bl {

class PlainCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};

} // namespace bl
