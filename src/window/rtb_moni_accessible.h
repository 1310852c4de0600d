#pragma once

#include <QAccessibleWidget>

namespace bl {

class RtbMoni;

// What a screen reader learns of the monitor area: a read-only text of many
// lines, its selection, and where each character stands.
class RtbMoniAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit RtbMoniAccessible(RtbMoni *area);
    // For QAccessible::installFactory: this interface for a monitor area.
    static QAccessibleInterface *factory(const QString &class_name, QObject *object);

    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    void selection(int index, int *start, int *end) const override;
    int selectionCount() const override;
    void addSelection(int start, int end) override;
    void removeSelection(int index) override;
    void setSelection(int index, int start, int end) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int start, int end) const override;
    using QAccessibleWidget::text;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int start, int end) override;
    QString attributes(int offset, int *start, int *end) const override;

private:
    RtbMoni &area() const;
};

} // namespace bl
