#include "window/shaped_label.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace bl {

ShapedLabel::ShapedLabel(QWidget *parent) : QWidget(parent) {
    layout_.setCacheEnabled(true); // the glyphs kept between paints
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void ShapedLabel::setText(const QString &text) {
    const QString before = layout_.text();
    if (text == before)
        return;
    // the characters that stay at either end
    const auto shorter = std::min(text.size(), before.size());
    qsizetype head = 0;
    while (head < shorter && text[head] == before[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head &&
           text[text.size() - 1 - tail] == before[before.size() - 1 - tail])
        ++tail;
    const int width_before = natural_width();
    const double left_before = x_of(static_cast<int>(head));
    const double right_before = x_of(static_cast<int>(before.size() - tail));
    layout_.setText(text);
    shape();
    setAccessibleName(text); // what a QLabel tells a screen reader
    if (natural_width() != width_before || before.isEmpty()) {
        updateGeometry();
        update();
        return;
    }
    // as wide as before: what follows the change stands where it stood
    const double left = std::min(left_before, x_of(static_cast<int>(head)));
    const double right = std::max(right_before, x_of(static_cast<int>(text.size() - tail)));
    const int from = static_cast<int>(std::floor(left)) - kOverhang;
    const int to = static_cast<int>(std::ceil(right)) + kOverhang;
    update(QRect(from, 0, to - from, height()));
}

int ShapedLabel::natural_width() const {
    if (layout_.text().isEmpty() || layout_.lineCount() == 0)
        return 0;
    return static_cast<int>(std::ceil(layout_.lineAt(0).naturalTextWidth())) + 2 * kMargin;
}

QSize ShapedLabel::sizeHint() const {
    return {natural_width(), fontMetrics().height() + 2 * kMargin};
}

void ShapedLabel::shape() {
    layout_.setFont(font());
    layout_.beginLayout();
    QTextLine line = layout_.createLine();
    if (line.isValid())
        line.setLineWidth(1e6); // one line, however long
    layout_.endLayout();
}

double ShapedLabel::x_of(int at) const {
    if (layout_.lineCount() == 0)
        return kMargin;
    return kMargin + layout_.lineAt(0).cursorToX(at);
}

QPointF ShapedLabel::origin() const {
    const double line_height = layout_.lineCount() > 0 ? layout_.lineAt(0).height() : 0;
    return {kMargin, std::max(0.0, (height() - line_height) / 2)};
}

void ShapedLabel::paintEvent(QPaintEvent *) {
    if (layout_.text().isEmpty())
        return;
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    layout_.draw(&painter, origin());
}

void ShapedLabel::changeEvent(QEvent *event) {
    if (event->type() == QEvent::FontChange) {
        shape();
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

} // namespace bl
