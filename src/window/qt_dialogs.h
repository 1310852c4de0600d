#pragma once

#include "shared/platform.h"

class QWidget;

namespace bl {

// Modal message and input boxes of Qt, owned by the given window.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget *parent = nullptr) : parent_(parent) {}
    void set_parent(QWidget *parent) { parent_ = parent; }

    MsgResult message_box(const QString &text, const QString &title, MsgIcon icon,
                          MsgButtons buttons) override;
    std::optional<QString> input_box(const QString &prompt, const QString &title,
                                     const QString &default_text) override;

private:
    QWidget *parent_;
};

} // namespace bl
