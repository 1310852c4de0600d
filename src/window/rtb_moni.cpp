#include "window/rtb_moni.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

namespace bl {

namespace {
// The view shows CR LF as one break; the model keeps it as it is.
QString view_text(std::string_view latin1) {
    QString shown = QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.remove(QLatin1Char('\r'));
    return shown;
}
} // namespace

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
    replaced_ = true;
    changed();
}

void RtbMoni::append_text(std::string_view tail) {
    model_.append_text(tail);
    // more than the area holds: the view is shown anew anyway
    if (!replaced_) {
        appended_ += tail;
        if (appended_.size() > kMostToAppend) {
            replaced_ = true;
            appended_.clear();
        }
    }
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

// The view changes as the model did: lines cut from the top, new ones
// appended at the end, so that only those are laid out. Anything else (a
// replaced text) shows the whole text anew.
bool RtbMoni::update_incrementally(const QString &now) {
    if (replaced_)
        return false;
    const QString added = view_text(appended_);
    const qsizetype kept = now.size() - added.size();
    const qsizetype cut = shown_.size() - kept;
    if (kept < 0 || cut < 0 || QStringView(shown_).mid(cut) != QStringView(now).left(kept))
        return false;
    QTextCursor cursor(document());
    if (cut > 0) {
        cursor.movePosition(QTextCursor::Start);
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor,
                            static_cast<int>(cut));
        cursor.removeSelectedText();
    }
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(added);
    return true;
}

void RtbMoni::refresh_view() {
    refresh_.stop();
    if (!dirty_)
        return;
    dirty_ = false;
    const QString now = view_text(model_.text());
    const int scrolled = verticalScrollBar()->value();
    // one repaint for the whole change
    setUpdatesEnabled(false);
    if (!update_incrementally(now))
        setPlainText(now);
    shown_ = now;
    appended_.clear();
    replaced_ = false;
    if (to_end_) {
        QTextCursor end(document());
        end.movePosition(QTextCursor::End);
        setTextCursor(end);
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
        to_end_ = false;
    } else {
        verticalScrollBar()->setValue(scrolled);
    }
    setUpdatesEnabled(true);
}

} // namespace bl
