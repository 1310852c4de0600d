#include "sending/transmission.h"

#include "loconet/message.h"
#include "shared/interruption.h"
#include "shared/runtime_error.h"
#include "shared/texts.h"

#include <algorithm>

namespace bl {

namespace tx = texts::sending;

namespace {
std::vector<int> message_of(const OutBuffer &buffer, int l_out) {
    return std::vector<int>(buffer.begin(), buffer.begin() + (l_out + 1));
}
} // namespace

// A message byte is 0..255 and the last index lies within the buffer;
// anything else is refused rather than sent wrong.
bool Transmitter::valid(const OutBuffer &buffer, int l_out) {
    if (l_out < -1 || l_out >= kLnOutSize)
        return false;
    for (int i = 0; i <= l_out; ++i)
        if (buffer[static_cast<std::size_t>(i)] < 0 || buffer[static_cast<std::size_t>(i)] > 0xFF)
            return false;
    return true;
}

bool Transmitter::port_ready() {
    if (comm_.portOpen())
        return true;
    dialogs_.message_box(tx::kPortClosed, texts::sending::kSendMsg, MsgIcon::Exclamation,
                         MsgButtons::Ok);
    return false;
}

void Transmitter::sent_whole(const std::vector<int> &bytes, std::uint16_t connection) {
    if (!on_sent_)
        return;
    std::vector<std::uint8_t> whole(bytes.begin(), bytes.end());
    whole.push_back(static_cast<std::uint8_t>(loconet::checksum(bytes.begin(), bytes.end())));
    on_sent_(whole, connection);
}

void Transmitter::write_byte(int b) { comm_.output(QByteArray(1, static_cast<char>(b))); }

// The bytes and their checksum in one write: the port puts a message on the
// line whole or not at all.
void Transmitter::write_whole(const std::vector<int> &bytes) {
    QByteArray out;
    out.reserve(static_cast<qsizetype>(bytes.size()) + 1);
    for (const int b : bytes)
        out.append(static_cast<char>(b));
    out.append(static_cast<char>(loconet::checksum(bytes.begin(), bytes.end())));
    comm_.output(out);
}

// An interface gone under way is told once, by the report of the lost
// connection; anything else here.
void Transmitter::tell_failure(const RuntimeError &e) {
    if (e.number == err::kDeviceVanished)
        return;
    dialogs_.message_box(tx::kSendFailed.arg(e.description), texts::sending::kSendMsg,
                         MsgIcon::Exclamation, MsgButtons::Ok);
}

bool Transmitter::send_bytes(std::vector<int> bytes, std::uint16_t connection) {
    if (bytes.size() >= static_cast<std::size_t>(loconet::kLongestMessage) ||
        std::any_of(bytes.begin(), bytes.end(), [](int b) { return b < 0 || b > 0xFF; }))
        return false;
    if (busy_) {
        pending_.push_back({std::move(bytes), false, connection});
        return true;
    }
    if (!comm_.portOpen())
        return false;
    try {
        write_whole(bytes);
        sent_whole(bytes, connection);
    } catch (const RuntimeError &) {
        return false;
    }
    return true;
}

std::int16_t Transmitter::send(const OutBuffer &buffer, int l_out) {
    if (!valid(buffer, l_out))
        return 1;
    // A transmission started by a handler while another waits for CTS would
    // discard what the waiting one still has queued; it goes out after it.
    if (busy_) {
        pending_.push_back({message_of(buffer, l_out), true});
        return 0;
    }
    const std::int16_t result = send_paced(message_of(buffer, l_out));
    send_pending();
    return result;
}

void Transmitter::send_ln_buf(const OutBuffer &buffer, int l_out) {
    if (!valid(buffer, l_out))
        return;
    if (busy_) {
        pending_.push_back({message_of(buffer, l_out), false});
        return;
    }
    write_all(message_of(buffer, l_out));
}

void Transmitter::send_pending() {
    while (!pending_.empty()) {
        const Pending next = std::move(pending_.front());
        pending_.pop_front();
        if (!next.paced) {
            write_all(next.bytes, next.connection);
            continue;
        }
        // its caller had its answer when it was queued: a failure is told here
        if (send_paced(next.bytes) != 0 && timed_out_)
            dialogs_.message_box(tx::kQueuedSendTimedOut, texts::sending::kSendMsg,
                                 MsgIcon::Exclamation, MsgButtons::Ok);
    }
}

void Transmitter::write_all(const std::vector<int> &bytes, std::uint16_t connection) {
    if (!port_ready())
        return;
    try {
        comm_.setOutBufferCount(0);
        write_whole(bytes);
        sent_whole(bytes, connection);
    } catch (const RuntimeError &e) {
        tell_failure(e);
    }
}

std::int16_t Transmitter::send_paced(const std::vector<int> &bytes) {
    if (!port_ready())
        return 1;
    busy_ = true;
    std::int16_t result = 1;
    bool &timed_out = timed_out_;
    timed_out = false;
    try {
        comm_.setOutBufferCount(0);
        const double start = clock_.seconds();
        // a LocoNet interface takes the message whole, without CTS
        const bool whole = vars_.ln_interface != 0;
        std::size_t i = 0;
        // per byte: time check, events, CTS, write
        while (i < bytes.size()) {
            if (clock_.seconds() - start > kTimeout || interruption::requested()) {
                timed_out = true;
                break;
            }
            events_.process_events();
            if (whole)
                ++i;
            else if (comm_.ctsHolding())
                write_byte(bytes[i++]);
        }
        // before the checksum: CTS, time check, events
        while (!timed_out && !vars_.ln_interface && !comm_.ctsHolding()) {
            if (clock_.seconds() - start > kTimeout || interruption::requested())
                timed_out = true;
            else
                events_.process_events();
        }
        if (!timed_out) {
            if (whole)
                write_whole(bytes);
            else
                write_byte(loconet::checksum(bytes.begin(), bytes.end()));
            sent_whole(bytes);
            result = 0;
        }
    } catch (const RuntimeError &e) {
        tell_failure(e);
    }
    busy_ = false;
    return result;
}

} // namespace bl
