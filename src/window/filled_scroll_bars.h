#pragma once

#include <QAbstractScrollArea>
#include <QScrollBar>

namespace bl {

// A scroll bar covers its whole rectangle. Filled first, it counts as
// opaque, so that its handle creeping as rows or lines arrive is drawn by
// the bar alone, not by the view, the splitter and the window beneath it as
// well. (Styles clear WA_OpaquePaintEvent when they polish a bar; a filled
// background holds.)
inline void fill_behind(QScrollBar *bar) {
    bar->setBackgroundRole(QPalette::Window);
    bar->setAutoFillBackground(true);
}

inline void fill_behind_bars(QAbstractScrollArea *area) {
    fill_behind(area->verticalScrollBar());
    fill_behind(area->horizontalScrollBar());
}

} // namespace bl
