#pragma once

#include "reception/monitor_area.h"
#include "sending/hex_text.h"

#include <functional>

namespace bl {

// The category byte of a slot write: category bits 1..3 in bits 4..6,
// category bit 0 in bit 1. A category with a fraction is first rounded
// (a half to the even neighbour).
int category_byte(double category);

// "Zugkat. setzen": asks the command station for the address's slot, waits
// (processing events) for the slot data, and writes the slot back with the
// new category. The wait gives up after 5 s with a line in the monitor.
class TrainCategoryCommand {
public:
    // answers: the reply capture; out: LN_Out; outcome: err_flag
    TrainCategoryCommand(ReceptionVars &answers, SendingVars &out, InterfaceVars &outcome,
                         MonitorArea &area, HexTextSender &hex_sender, Transmitter &transmitter,
                         Dialogs &dialogs, EventPump &events, SteadyClock &clock,
                         std::function<void(bool)> set_button_enabled)
        : answers_(answers), out_(out), outcome_(outcome), area_(area), hex_sender_(hex_sender),
          transmitter_(transmitter), dialogs_(dialogs), events_(events), clock_(clock),
          set_button_enabled_(std::move(set_button_enabled)) {}

    void run(const QString &address_text, const QString &category_text);

    static constexpr double kTimeout = 5.0;

private:
    bool wait_for_slot_data();

    ReceptionVars &answers_;
    SendingVars &out_;
    InterfaceVars &outcome_;
    MonitorArea &area_;
    HexTextSender &hex_sender_;
    Transmitter &transmitter_;
    Dialogs &dialogs_;
    EventPump &events_;
    SteadyClock &clock_;
    std::function<void(bool)> set_button_enabled_;
    bool waiting_ = false;
};

} // namespace bl
