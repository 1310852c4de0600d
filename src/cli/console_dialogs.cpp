#include "cli/console_dialogs.h"

#include "shared/interruption.h"
#include "shared/texts.h"

#include <QString>
#include <string>

namespace bl {

namespace {
void put(std::FILE *f, const QString &text) {
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    std::fputs(shown.toUtf8().constData(), f);
    std::fflush(f);
}
} // namespace

QString ConsoleDialogs::read_line() {
    for (;;) {
        std::string line;
        bool overlong = false;
        int c;
        while ((c = std::fgetc(in_)) != EOF && c != '\n') {
            if (line.size() < kLongestAnswer)
                line.push_back(static_cast<char>(c));
            else
                overlong = true;
        }
        // a signal cuts the wait short (the read gives up with EINTR)
        if (interruption::requested())
            throw Interrupted{};
        if (c == EOF && line.empty())
            throw InputEnded{};
        if (overlong) {
            put(err_, texts::cli::kAnswerTooLong.arg(kLongestAnswer) + QLatin1Char('\n'));
            continue;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return QString::fromUtf8(line.c_str());
    }
}

MsgResult ConsoleDialogs::message_box(const QString &text, const QString &title, MsgIcon,
                                      MsgButtons buttons) {
    put(err_, title + QStringLiteral(": ") + text + QLatin1Char('\n'));
    if (buttons == MsgButtons::Ok)
        return MsgResult::Ok;
    for (;;) {
        put(err_, texts::cli::kYesNo);
        const QString a = read_line().trimmed().toLower();
        if (a == QLatin1String("j") || a == QLatin1String("ja") || a == QLatin1String("y"))
            return MsgResult::Yes;
        if (a == QLatin1String("n") || a == QLatin1String("nein"))
            return MsgResult::No;
    }
}

std::optional<QString> ConsoleDialogs::input_box(const QString &prompt, const QString &title,
                                                 const QString &default_text) {
    put(err_, title + QStringLiteral(" - ") + prompt + QStringLiteral(" [") + default_text +
                  QStringLiteral("] "));
    const QString line = read_line();
    return line.isEmpty() ? default_text : line;
}

} // namespace bl
