#pragma once

#include "shared/platform.h"

#include <cstdio>

namespace bl {

// Boxes on a terminal: messages go to standard error in the same German
// words; questions and the port entry are read from standard input (only
// the start-up asks them). An answer longer than any answer could be is
// refused and the next line read, never kept without end.
class ConsoleDialogs : public Dialogs {
public:
    static constexpr std::size_t kLongestAnswer = 4096;
    // A question met the end of the input: nobody is left to answer.
    struct InputEnded {};
    // A signal asked the program to end while a question waited.
    struct Interrupted {};

    ConsoleDialogs(std::FILE *in, std::FILE *err) : in_(in), err_(err) {}

    MsgResult message_box(const QString &text, const QString &title, MsgIcon icon,
                          MsgButtons buttons) override;
    // An empty line takes the default text.
    std::optional<QString> input_box(const QString &prompt, const QString &title,
                                     const QString &default_text) override;

private:
    QString read_line();

    std::FILE *in_;
    std::FILE *err_;
};

} // namespace bl
