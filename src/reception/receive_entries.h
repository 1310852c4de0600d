// The two ways received bytes reach the framing step: the serial control's
// receive event (USB and text-handshake interfaces) and the polling timer
// (COM-port interface). Which one is live is decided when the port opens.
#pragma once

#include "connection/serial_control.h"
#include "reception/receiver.h"
#include "shared/error_reporter.h"
#include "shared/platform.h"

namespace bl {

class ReceiveEntries {
public:
    ReceiveEntries(SerialControl &comm, Receiver &receiver, Dialogs &dialogs,
                   ErrorReporter &reporter)
        : comm_(comm), receiver_(receiver), dialogs_(dialogs), reporter_(reporter) {}

    // OnComm of Comm1: every byte of one Input read. An error ends the read;
    // it is shown in a box titled with its number.
    void on_comm();
    // Tick of Timer1: one byte per read while bytes wait. An error goes to
    // report_error. A port that is not open is not polled.
    void on_tick();

private:
    SerialControl &comm_;
    Receiver &receiver_;
    Dialogs &dialogs_;
    ErrorReporter &reporter_;
};

} // namespace bl
