#pragma once

#include "sending/transmission.h"

#include <QString>
#include <vector>

namespace bl {

// A typed message: tokens separated by blanks (U+0020 only), each read as
// a hexadecimal number from its leading digits (tab and line feed are
// skipped, anything else ends it, no digits read as 0).
struct HexMessage {
    enum class Problem { None, TokenTooLarge, TooManyTokens };
    std::vector<int> bytes;
    Problem problem = Problem::None;
    QString offending_token; // with TokenTooLarge
};

HexMessage parse_hex_message(const QString &text);
// The value of one token; values beyond 0xFFFF are held at 0x10000.
int hex_token_value(QStringView token);

// send_hex_str: fills LN_Out with the text's bytes and sends them with
// send_ln_buf. An empty text sends nothing; a text of blanks only sends
// the checksum 0xFF alone. A token above FF, or more than 65 tokens, is
// refused with a message and nothing is sent.
class HexTextSender {
public:
    HexTextSender(ModVariablen &vars, Transmitter &transmitter, Dialogs &dialogs)
        : vars_(vars), transmitter_(transmitter), dialogs_(dialogs) {}

    void send_hex_str(const QString &text);

private:
    ModVariablen &vars_;
    Transmitter &transmitter_;
    Dialogs &dialogs_;
};

} // namespace bl
