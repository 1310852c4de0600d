// The framing step every received byte passes through: it cuts the stream
// into LocoNet messages, makes each one value (bytes, time, direction,
// checksum, sequence number) for every consumer, counts them, hands them to
// the decoder while the monitor runs, and copies reply messages into
// answer_tab for requests that wait.
#pragma once

#include "loconet/bus_counts.h"
#include "loconet/echo_watch.h"
#include "loconet/message.h"
#include "shared/listeners.h"
#include "shared/mod_variablen.h"

#include <functional>
#include <span>
#include <string_view>

namespace bl {

// The columns of answer_tab: which reply a request waits for.
inline constexpr std::int16_t kReplyLongAck = 0;
inline constexpr std::int16_t kReplyPeerXfer = 1;
inline constexpr std::int16_t kReplyImmPacket = 2;
inline constexpr std::int16_t kReplySlotData = 3;

// When a message was framed, and, for a recording read back, whether it
// was recorded as one of our own sends.
struct MessageStamp {
    std::int64_t wall_us = 0; // microseconds since 1970 (UTC)
    std::int64_t steady_ns = 0;
    bool sent = false;
};

class Receiver {
public:
    using Stamp = std::function<MessageStamp()>;
    using MessageListeners = Listeners<const loconet::Message &>;
    using DiscardListeners = Listeners<std::span<const std::uint8_t>>;

    // decode is called for every message framed from the bus while
    // monitor_on is set; it gives the line the monitor showed for it (empty
    // where it showed none).
    using Decode = std::function<std::string_view(const loconet::Message &)>;
    Receiver(ReceptionVars &vars, const DisplayVars &display, loconet::BusCounts &counts,
             loconet::EchoWatch &echoes, Stamp stamp, Decode decode);

    // Every message framed from the bus, and every one this program puts
    // on the line (direction Sent), in order, after the monitor has shown
    // it.
    MessageListeners::Handle listen(MessageListeners::Listener listener) {
        return messages_.add(std::move(listener));
    }
    // While listeners hear of a message: the line the monitor showed for
    // it, empty where it showed none (a send, a stopped display, a message
    // without a line or one the filter left out).
    std::string_view shown_line() const { return shown_; }
    // The bytes given up without becoming a message.
    DiscardListeners::Handle on_discarded(DiscardListeners::Listener listener) {
        return discarded_.add(std::move(listener));
    }
    // What the bus's context knows of a message, filled in before anyone
    // hears of it.
    void set_annotate(std::function<void(loconet::Message &)> annotate) {
        annotate_ = std::move(annotate);
    }
    // None: no line is made (where nobody would see it).
    void set_decode(Decode decode) { decode_ = std::move(decode); }
    // Messages of the stream from here on carry this time (a capture's own).
    void set_stamp(Stamp stamp) { stamp_ = std::move(stamp); }

    // Every received byte passes here, whichever way it came, and is
    // counted here.
    void framing_step(int b);
    void framing_steps(std::string_view bytes);
    // The end of the stream: a message still being collected is given up.
    void finish();
    // Bytes the port dropped before framing (a network line that held no
    // whole message): counted and shown as given up.
    void discard(std::string_view bytes);
    // A whole message (check byte included) this program has put on the
    // line; its echo is watched for.
    void sent(std::span<const std::uint8_t> bytes, std::uint16_t connection = 0);

private:
    void step(int b);
    // A whole message at the start of bytes, where one stands there with
    // nothing in the buffer before it: its length, else 0.
    static std::size_t whole_message_at(const std::uint8_t *bytes, std::size_t available);
    // The steps for a whole message at once: what step() does byte by byte.
    void frame_whole(const std::uint8_t *bytes, std::size_t length);
    // raw: the message's bytes as they came, where at hand (else the buffer's)
    void framed(const std::uint8_t *raw = nullptr);
    void our_own(loconet::Message &m);
    void give_up(int b, int n);
    void capture(int b);
    bool stamp(loconet::Message &m);

    ReceptionVars &vars_;
    const DisplayVars &display_;
    loconet::BusCounts &counts_;
    loconet::EchoWatch &echoes_;
    Stamp stamp_;
    Decode decode_;
    std::string_view shown_;
    std::function<void(loconet::Message &)> annotate_;
    MessageListeners messages_;
    DiscardListeners discarded_;
    loconet::Message current_; // reused: no allocation per message
    std::uint64_t seq_ = 0;
};

} // namespace bl
