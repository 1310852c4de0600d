// Draws a cell of the history table plainly: background, one line of text
// cut at the cell's edge. Qt's own delegate lays out every cell for wrapping
// and eliding, which costs several times as much on a busy bus, where each
// refresh shows rows never drawn before.
#pragma once

#include <QStyledItemDelegate>

namespace bl {

class HistoryDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};

} // namespace bl
