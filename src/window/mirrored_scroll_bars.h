// The scroll bars the user sees beside the monitor area. The area's own
// bars would stand under the controls that cover its top and bottom, so
// they stay hidden and these, placed beside the part that is seen, show
// them. A scroll by the user shows at once, and so does a handle coming or
// going. The handle's creep while lines arrive (a pixel of length now and
// then) shows at most once a second, with a refreshed view, in the same
// drawing (drawing the bar on its own cost as much as the refresh), and only
// when it moves by a pixel, and then only the rows around its ends: on a
// quiet bus, drawing it with every line was a fifth of the window's
// instructions. Where no refresh comes, the bar catches up on its own within
// two seconds of its last showing.
#pragma once

#include "window/handle_moves.h"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTimer>

namespace bl {

class MirroredScrollBars : public QObject {
public:
    static constexpr int kCreepMs = 1000;

    explicit MirroredScrollBars(QAbstractScrollArea &area);

    // Places the bars beside the seen part of the area (between top and
    // bottom px), and the text between them; shows the bars at once.
    void place(int top, int bottom);
    // Brings the shown bars up to the own ones now.
    void show_now();
    // A change the user did not make (lines came): shown within 2 × kCreepMs.
    void creep();
    // While set, the view is being refreshed: a change of the own bars is
    // the program's, and is shown when the refresh ends if the bars were
    // last shown kCreepMs ago or a handle comes or goes.
    void set_refreshing(bool on);
    int shown_updates() const { return shown_updates_; }
    bool sideways_shown() const { return !horizontal_->isHidden(); }

private:
    void request(bool by_user);
    bool handle_comes_or_goes() const;
    bool mirror(const QScrollBar *own, QScrollBar *shown, HandleMoves &moves);

    QAbstractScrollArea &area_;
    QScrollBar *vertical_;
    QScrollBar *horizontal_;
    HandleMoves vertical_moves_;
    HandleMoves horizontal_moves_;
    QTimer later_;
    QElapsedTimer last_shown_;
    bool refreshing_ = false;
    int shown_updates_ = 0;
};

} // namespace bl
