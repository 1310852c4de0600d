#include "sending/train_category.h"

#include "loconet/opcodes.h"
#include "reception/line_wrap.h"
#include "reception/receiver.h"
#include "shared/hex.h"
#include "shared/interruption.h"
#include "shared/texts.h"
#include "shared/val.h"

#include <cmath>

namespace bl {

int category_byte(double category) {
    const int k = static_cast<int>(std::nearbyint(category));
    return ((k * 8) & 0x70) + ((k & 1) ? 2 : 0);
}

void TrainCategoryCommand::run(const QString &address_text, const QString &category_text) {
    // a second start while one waits is refused
    if (waiting_)
        return;
    const double address = val(address_text);
    const double category = val(category_text);
    // nothing goes on the bus, and the user learns why
    const auto refuse = [this](const QString &why) {
        dialogs_.message_box(why, texts::window::kSetCategory, MsgIcon::Exclamation,
                             MsgButtons::Ok);
    };
    if (address < 1 || address > 127)
        return refuse(texts::sending::kBadAddress.arg(address_text.trimmed()));
    if (category < 0 || category > 15)
        return refuse(texts::sending::kBadCategory.arg(category_text.trimmed()));
    ZeilenUmbruch(area_, texts::sending::kSetCategoryLine.view());
    auto &slot_data = answers_.answer_tab[kReplySlotData];
    slot_data[kAnswerFlagRow] = 0;
    hex_sender_.send_hex_str(
        QString::fromStdString(hex_(loconet::kOpcLocoAdr) + " 00 " + hex_(address)));
    if (!wait_for_slot_data()) {
        ZeilenUmbruch(area_, texts::sending::kNoAnswerLine.view());
        return;
    }
    // the first slot data after the request, whatever address it carries
    for (std::size_t i = 0; i <= 12; ++i)
        out_.LN_Out[i] = slot_data[i];
    out_.LN_Out[0] = loconet::kOpcWrSlData;
    out_.LN_Out[8] = static_cast<std::int16_t>(category_byte(category));
    outcome_.err_flag = transmitter_.send(out_.LN_Out, 12);
    if (outcome_.err_flag != 0 && transmitter_.timed_out())
        dialogs_.message_box(texts::sending::kCategoryNotWritten, texts::sending::kSendMsg,
                             MsgIcon::Exclamation, MsgButtons::Ok);
}

bool TrainCategoryCommand::wait_for_slot_data() {
    auto &slot_data = answers_.answer_tab[kReplySlotData];
    waiting_ = true;
    set_button_enabled_(false);
    const double start = clock_.seconds();
    bool answered = true;
    while (slot_data[kAnswerFlagRow] != kTrue) {
        if (clock_.seconds() - start > kTimeout || interruption::requested()) {
            answered = false;
            break;
        }
        events_.process_events();
    }
    waiting_ = false;
    set_button_enabled_(true);
    return answered;
}

} // namespace bl
