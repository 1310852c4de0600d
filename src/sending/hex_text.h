#pragma once

#include "sending/transmission.h"

#include <QString>
#include <vector>

namespace bl {

// A typed message: tokens separated by blanks (U+0020 only), each a
// hexadecimal number: hex digits (leading zeros allowed), optionally
// followed by one "h" or "H"; tab and line feed inside a token are passed
// over. Anything else in a token makes it no number: such a message is
// refused rather than put on a running layout's bus as bytes not meant.
struct HexMessage {
    enum class Problem { None, NotANumber, TokenTooLarge, TooManyTokens };
    std::vector<int> bytes;
    Problem problem = Problem::None;
    QString offending_token; // with NotANumber and TokenTooLarge
};

HexMessage parse_hex_message(const QString &text);
// The value of one token (values beyond 0xFFFF are held at 0x10000), or -1
// when the token is no hexadecimal number.
int hex_token_value(QStringView token);

// send_hex_str: fills LN_Out with the text's bytes and sends them with
// send_ln_buf. A text without a token (empty, or blanks only) sends
// nothing and says so; a token above FF, or more than 65 tokens, is
// refused with a message and nothing is sent.
class HexTextSender {
public:
    HexTextSender(SendingVars &vars, Transmitter &transmitter, Dialogs &dialogs)
        : vars_(vars), transmitter_(transmitter), dialogs_(dialogs) {}

    void send_hex_str(const QString &text);

private:
    SendingVars &vars_;
    Transmitter &transmitter_;
    Dialogs &dialogs_;
};

} // namespace bl
