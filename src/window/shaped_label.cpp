#include "window/shaped_label.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace bl {

ShapedLabel::ShapedLabel(QWidget *parent) : QWidget(parent) {
    text_.setTextFormat(Qt::PlainText);
    text_.setPerformanceHint(QStaticText::AggressiveCaching);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void ShapedLabel::setText(const QString &text) {
    if (text == text_.text())
        return;
    const int before = natural_width();
    text_.setText(text);
    shape();
    setAccessibleName(text); // what a QLabel tells a screen reader
    if (natural_width() != before)
        updateGeometry();
    update();
}

int ShapedLabel::natural_width() const {
    if (text_.text().isEmpty())
        return 0;
    return static_cast<int>(std::ceil(text_.size().width())) + 2 * kMargin;
}

QSize ShapedLabel::sizeHint() const {
    return {natural_width(), fontMetrics().height() + 2 * kMargin};
}

void ShapedLabel::shape() { text_.prepare(QTransform(), font()); }

void ShapedLabel::paintEvent(QPaintEvent *) {
    if (text_.text().isEmpty())
        return;
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    const double top = (height() - text_.size().height()) / 2;
    painter.drawStaticText(QPointF(kMargin, std::max(0.0, top)), text_);
}

void ShapedLabel::changeEvent(QEvent *event) {
    if (event->type() == QEvent::FontChange) {
        shape();
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

} // namespace bl
