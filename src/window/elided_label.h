// A one-line label that, given less room than its text needs, ends the text
// with "…" instead of cutting it anywhere; the whole text is its tooltip.
#pragma once

#include <QLabel>

namespace bl {

class ElidedLabel : public QLabel {
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }
    // the room the whole text takes
    int natural_width() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace bl
