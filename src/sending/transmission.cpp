#include "sending/transmission.h"

#include "loconet/message.h"
#include "shared/runtime_error.h"
#include "shared/texts.h"

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
    dialogs_.message_box(tx::kPortClosed, tx::kSendTitle, MsgIcon::Exclamation, MsgButtons::Ok);
    return false;
}

void Transmitter::sent_whole(std::vector<int> bytes) {
    if (!on_sent_)
        return;
    bytes.push_back(loconet::checksum(bytes.begin(), bytes.end()));
    on_sent_(std::move(bytes));
}

void Transmitter::write_byte(int b) { comm_.output(QByteArray(1, static_cast<char>(b))); }

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
            write_all(next.bytes);
            continue;
        }
        // its caller had its answer when it was queued: a failure is told here
        if (send_paced(next.bytes) != 0 && timed_out_)
            dialogs_.message_box(tx::kQueuedSendTimedOut, tx::kSendTitle, MsgIcon::Exclamation,
                                 MsgButtons::Ok);
    }
}

void Transmitter::write_all(const std::vector<int> &bytes) {
    if (!port_ready())
        return;
    try {
        comm_.setOutBufferCount(0);
        for (const int b : bytes)
            write_byte(b);
        write_byte(loconet::checksum(bytes.begin(), bytes.end()));
        sent_whole(bytes);
    } catch (const RuntimeError &e) {
        dialogs_.message_box(tx::kSendFailed.arg(e.description), tx::kSendTitle,
                             MsgIcon::Exclamation, MsgButtons::Ok);
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
        std::size_t i = 0;
        // per byte: time check, events, CTS, write
        while (i < bytes.size()) {
            if (clock_.seconds() - start > kTimeout) {
                timed_out = true;
                break;
            }
            events_.process_events();
            if (comm_.ctsHolding() || vars_.ln_interface) {
                write_byte(bytes[i]);
                ++i;
            }
        }
        // before the checksum: CTS, time check, events
        while (!timed_out && !vars_.ln_interface && !comm_.ctsHolding()) {
            if (clock_.seconds() - start > kTimeout)
                timed_out = true;
            else
                events_.process_events();
        }
        if (!timed_out) {
            write_byte(loconet::checksum(bytes.begin(), bytes.end()));
            sent_whole(bytes);
            result = 0;
        }
    } catch (const RuntimeError &e) {
        dialogs_.message_box(tx::kSendFailed.arg(e.description), tx::kSendTitle,
                             MsgIcon::Exclamation, MsgButtons::Ok);
    }
    busy_ = false;
    return result;
}

} // namespace bl
