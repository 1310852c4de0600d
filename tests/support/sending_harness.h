// The sending side wired to a scripted port, boxes and clock.
#pragma once

#include "sending/hex_text.h"
#include "support/fake_dialogs.h"
#include "support/fake_port.h"

namespace bl::testing {

struct SendingHarness {
    ModVariablen vars;
    FakeClock clock;
    FakePort *port = new FakePort(&clock);
    SerialControl comm{std::unique_ptr<BytePort>(port)};
    FakeDialogs dialogs;
    FakeEventPump events{clock};
    Transmitter tx{vars, comm, dialogs, events, clock};
    HexTextSender sender{vars, tx, dialogs};
    SendingHarness() { comm.setPortOpen(true); }

    QByteArray written() const { return port->written.toHex(); }
    static OutBuffer buffer(std::initializer_list<int> bytes) {
        OutBuffer b{};
        std::size_t i = 0;
        for (int v : bytes)
            b[i++] = static_cast<std::int16_t>(v);
        return b;
    }
};

} // namespace bl::testing
