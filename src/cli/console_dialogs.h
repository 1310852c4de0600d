#pragma once

#include "shared/platform.h"

#include <cstdio>
#include <functional>

namespace bl {

// Boxes on a terminal: messages go to standard error in the same German
// words; questions and the port entry are read from standard input.
class ConsoleDialogs : public Dialogs {
public:
    // input_ended runs when a question meets the end of the input: nobody
    // is left to answer, so the program ends as if the window were closed.
    ConsoleDialogs(std::FILE *in, std::FILE *err, std::function<void()> input_ended)
        : in_(in), err_(err), input_ended_(std::move(input_ended)) {}

    MsgResult message_box(const QString &text, const QString &title, MsgIcon icon,
                          MsgButtons buttons) override;
    // An empty line takes the default text.
    std::optional<QString> input_box(const QString &prompt, const QString &title,
                                     const QString &default_text) override;

private:
    std::optional<QString> read_line();

    std::FILE *in_;
    std::FILE *err_;
    std::function<void()> input_ended_;
};

} // namespace bl
