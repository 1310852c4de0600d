// Scripted answers to message and input boxes; every box shown is recorded.
#pragma once

#include "shared/platform.h"

#include <QStringList>
#include <deque>
#include <functional>

namespace bl::testing {

struct ShownBox {
    QString text;
    QString title;
    MsgIcon icon;
    MsgButtons buttons;
};

class FakeDialogs : public Dialogs {
public:
    std::vector<ShownBox> boxes;
    std::deque<MsgResult> answers; // for message boxes
    // answers for input boxes; a null QString() cancels the box
    std::deque<QString> inputs;
    QStringList prompts;
    // what goes on while a message box is open (its own event loop runs)
    std::function<void(const ShownBox &)> while_shown;

    MsgResult message_box(const QString &text, const QString &title, MsgIcon icon,
                          MsgButtons buttons) override {
        boxes.push_back({text, title, icon, buttons});
        if (while_shown)
            while_shown(boxes.back());
        if (answers.empty())
            return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::No;
        const MsgResult r = answers.front();
        answers.pop_front();
        return r;
    }
    std::optional<QString> input_box(const QString &prompt, const QString &title,
                                     const QString &default_text) override {
        prompts << prompt + QStringLiteral("|") + title + QStringLiteral("|") + default_text;
        if (inputs.empty())
            return std::nullopt;
        const QString r = inputs.front();
        inputs.pop_front();
        if (r.isNull())
            return std::nullopt;
        return r;
    }
};

} // namespace bl::testing
