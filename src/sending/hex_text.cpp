#include "sending/hex_text.h"

#include "loconet/hex.h"
#include "shared/texts.h"

#include <QList>

namespace bl {

namespace tx = texts::sending;

namespace {
constexpr int kHeldValue = 0x10000;
}

int hex_token_value(QStringView token) {
    int value = 0;
    int digits = 0;
    bool suffix = false;
    for (const QChar c : token) {
        if (c == u'\t' || c == u'\n')
            continue;
        const int digit = loconet::hex_digit_value(c.unicode());
        if (digit < 0 && !suffix && digits > 0 && (c == u'h' || c == u'H')) {
            suffix = true;
            continue;
        }
        if (digit < 0 || suffix)
            return -1;
        value = std::min(value * 16 + digit, kHeldValue);
        ++digits;
    }
    return digits > 0 ? value : -1;
}

HexMessage parse_hex_message(const QString &text) {
    HexMessage message;
    // only the blank separates tokens; tabs and commas belong to them
    for (const QStringView token : QStringView(text).split(u' ', Qt::SkipEmptyParts)) {
        const int value = hex_token_value(token);
        if ((value < 0 || value > 0xFF) && message.problem == HexMessage::Problem::None) {
            message.problem =
                value < 0 ? HexMessage::Problem::NotANumber : HexMessage::Problem::TokenTooLarge;
            message.offending_token = token.toString();
        }
        message.bytes.push_back(value);
    }
    if (message.problem == HexMessage::Problem::None &&
        message.bytes.size() > static_cast<std::size_t>(kLnOutSize))
        message.problem = HexMessage::Problem::TooManyTokens;
    return message;
}

void HexTextSender::send_hex_str(const QString &text) {
    const HexMessage message = parse_hex_message(text);
    if (message.bytes.empty()) {
        dialogs_.message_box(tx::kEmptyRow, texts::sending::kSendMsg, MsgIcon::Exclamation,
                             MsgButtons::Ok);
        return;
    }
    switch (message.problem) {
    case HexMessage::Problem::NotANumber:
        dialogs_.message_box(tx::kNotANumber.arg(message.offending_token), texts::sending::kSendMsg,
                             MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    case HexMessage::Problem::TokenTooLarge:
        dialogs_.message_box(tx::kTokenTooLarge.arg(message.offending_token),
                             texts::sending::kSendMsg, MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    case HexMessage::Problem::TooManyTokens:
        dialogs_.message_box(tx::kTooManyTokens.arg(message.bytes.size()), texts::sending::kSendMsg,
                             MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    case HexMessage::Problem::None: break;
    }
    // entries above the last token keep what earlier messages left
    for (std::size_t i = 0; i < message.bytes.size(); ++i)
        vars_.LN_Out[i] = static_cast<std::int16_t>(message.bytes[i]);
    transmitter_.send_ln_buf(vars_.LN_Out, static_cast<int>(message.bytes.size()) - 1);
}

} // namespace bl
