// The framing step every received byte passes through: it cuts the stream
// into LocoNet messages, hands complete ones to the decoder while the monitor
// runs, and copies reply messages into answer_tab for requests that wait.
#pragma once

#include "shared/mod_variablen.h"

#include <functional>
#include <string_view>

namespace bl {

class Receiver {
public:
    // decode is called for every complete message while monitor_on is set.
    Receiver(ModVariablen &vars, std::function<void()> decode)
        : vars_(vars), decode_(std::move(decode)) {}

    void framing_step(int b);

    void framing_steps(std::string_view bytes) {
        for (const char c : bytes)
            framing_step(static_cast<unsigned char>(c));
    }

private:
    void collect(int b);
    void capture(int b);

    ModVariablen &vars_;
    std::function<void()> decode_;
};

// Reply kinds: the column of answer_tab and how many bytes are captured.
struct ReplyKind {
    std::int16_t column;
    std::int16_t length;
};
// Returns false for a byte that starts no capture.
bool reply_kind_for(int opcode, ReplyKind &kind);

} // namespace bl
