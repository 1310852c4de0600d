#include "window/qt_dialogs.h"

#include "shared/texts.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace bl {

namespace {
QMessageBox::Icon qt_icon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

MsgResult QtDialogs::message_box(const QString &text, const QString &title, MsgIcon icon,
                                 MsgButtons buttons) {
    QMessageBox box(qt_icon(icon), title, text, QMessageBox::NoButton, parent_);
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.button(QMessageBox::Yes)->setText(texts::window::kYes);
        box.button(QMessageBox::No)->setText(texts::window::kNo);
        return box.exec() == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MsgResult::Ok;
}

std::optional<QString> QtDialogs::input_box(const QString &prompt, const QString &title,
                                            const QString &default_text) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent_, title, prompt, QLineEdit::Normal, default_text, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

} // namespace bl
