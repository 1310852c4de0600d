// Counts the events of one type that reach the objects it is installed on
// (paints, layout requests), letting each through.
#pragma once

#include <QEvent>
#include <QObject>

namespace bl::testing {

class EventCount : public QObject {
public:
    explicit EventCount(QEvent::Type type) : type_(type) {}
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == type_)
            ++count;
        return false;
    }

private:
    QEvent::Type type_;
};

} // namespace bl::testing
