#include "window/rtb_moni.h"

#include <QScrollBar>

namespace bl {

RtbMoni::RtbMoni(QWidget *parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("rtbMoni"));
    setReadOnly(true); // the user can select and copy, not type
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    refresh_.setSingleShot(true);
    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, [this] { refresh_view(); });
}

void RtbMoni::set_text(std::string text) {
    model_.set_text(std::move(text));
    changed();
}

void RtbMoni::append_text(std::string_view tail) {
    model_.append_text(tail);
    changed();
}

void RtbMoni::keep_last(std::size_t n) {
    model_.keep_last(n);
    changed();
}

void RtbMoni::move_insertion_point_to_end() {
    to_end_ = true;
    changed();
}

void RtbMoni::changed() {
    dirty_ = true;
    if (!refresh_.isActive())
        refresh_.start();
}

void RtbMoni::refresh_view() {
    refresh_.stop();
    if (!dirty_)
        return;
    dirty_ = false;
    const std::string_view text = model_.text();
    QString shown = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    // the view shows CR LF as one break; the model keeps it as it is
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.remove(QLatin1Char('\r'));
    const int scrolled = verticalScrollBar()->value();
    setPlainText(shown);
    if (to_end_) {
        moveCursor(QTextCursor::End);
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
        to_end_ = false;
    } else {
        verticalScrollBar()->setValue(scrolled);
    }
}

} // namespace bl
