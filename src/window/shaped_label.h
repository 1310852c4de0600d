// A one-line label for a text that changes every second, such as the bus's
// counts: it shapes its text once per change and keeps the glyphs, where a
// QLabel shapes it again for its size hint, for the layout and for every
// paint (three times a second's worth of shaping on a quiet bus, more than
// the new lines cost). A text as wide as the one before is drawn again only
// where it changed (mostly a digit or two of a count), without asking the
// status bar to lay itself out anew.
#pragma once

#include <QTextLayout>
#include <QWidget>

namespace bl {

class ShapedLabel : public QWidget {
public:
    explicit ShapedLabel(QWidget *parent = nullptr);

    QString text() const { return layout_.text(); }
    void setText(const QString &text);
    // the room the whole text takes
    int natural_width() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    static constexpr int kMargin = 2; // as a QLabel's text stands off its frame
    // pixels a glyph may reach beyond its advance (antialiasing, italics)
    static constexpr int kOverhang = 3;

    void shape();
    // where the text's character `at` starts, from the widget's left
    double x_of(int at) const;
    QPointF origin() const;

    QTextLayout layout_;
};

} // namespace bl
