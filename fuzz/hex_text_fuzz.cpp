// Any text typed into a send row: it is refused, or sent as at most 65
// bytes of 0..255 with the right checksum.
#include "sending/hex_text.h"

#include <cstdlib>

namespace {

// A port that keeps what is written to it.
class WrittenPort : public bl::BytePort {
public:
    QByteArray &written;
    explicit WrittenPort(QByteArray &out) : written(out) {}
    void open(const QString &, const bl::LineSettings &) override {
        set_state(bl::PortState::Connected);
    }
    void close() override { set_state(bl::PortState::Unconnected); }
    void write(const QByteArray &b) override { written += b; }
    QByteArray read() override { return {}; }
};

struct Silent : bl::Dialogs {
    int boxes = 0;
    bl::MsgResult message_box(const QString &, const QString &, bl::MsgIcon,
                              bl::MsgButtons) override {
        ++boxes;
        return bl::MsgResult::Ok;
    }
    std::optional<QString> input_box(const QString &, const QString &, const QString &) override {
        return std::nullopt;
    }
};

struct NoEvents : bl::EventPump {
    void process_events() override {}
};
struct Clock : bl::SteadyClock {
    double seconds() override { return 0; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    bl::ModVariablen vars;
    QByteArray written;
    bl::SerialControl serial(std::make_unique<WrittenPort>(written));
    serial.setPortOpen(true);
    Silent dialogs;
    NoEvents events;
    Clock clock;
    bl::Transmitter tx(vars, serial, dialogs, events, clock);
    bl::HexTextSender sender(vars, tx, dialogs);
    sender.send_hex_str(text);
    const bl::HexMessage parsed = bl::parse_hex_message(text);
    if (parsed.problem == bl::HexMessage::Problem::None && parsed.bytes.empty()) {
        // nothing to send, and the user is told so
        if (!written.isEmpty() || dialogs.boxes != 1)
            std::abort();
        return 0;
    }
    if (parsed.problem != bl::HexMessage::Problem::None) {
        if (!written.isEmpty() || dialogs.boxes != 1)
            std::abort();
        return 0;
    }
    if (written.size() != static_cast<qsizetype>(parsed.bytes.size()) + 1 ||
        parsed.bytes.size() > 65)
        std::abort();
    int x = 0;
    for (const char c : written)
        x ^= static_cast<unsigned char>(c);
    if (x != 0xFF)
        std::abort();
    return 0;
}
