// Any text typed into a send row: it is refused, or sent as at most 65
// bytes of 0..255 with the right checksum.
#include "sending/hex_text.h"

#include <cstdlib>

namespace {

class NullSerial : public bl::SerialControl {
public:
    QByteArray written;
    void setCommPort(std::int16_t) override {}
    std::int16_t commPort() const override { return 1; }
    void setDevicePath(const QString &) override {}
    void setSettings(const QString &) override {}
    bool portOpen() const override { return true; }
    void setPortOpen(bool) override {}
    void setInputMode(int) override {}
    void setInputLen(std::int16_t) override {}
    int inBufferCount() override { return 0; }
    void setInBufferCount(int) override {}
    QByteArray input() override { return {}; }
    void setOutBufferCount(int) override {}
    void output(const QByteArray &b) override { written += b; }
    bool ctsHolding() override { return true; }
    void setRTSEnable(bool) override {}
    void setHandshaking(int) override {}
    void setBreak(bool) override {}
    void setRThreshold(std::int16_t) override {}
    void setSThreshold(std::int16_t) override {}
    std::int16_t commEvent() const override { return 2; }
    void setOnComm(std::function<void()>) override {}
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
    NullSerial serial;
    Silent dialogs;
    NoEvents events;
    Clock clock;
    bl::Transmitter tx(vars, serial, dialogs, events, clock);
    bl::HexTextSender sender(vars, tx, dialogs);
    sender.send_hex_str(text);
    const bl::HexMessage parsed = bl::parse_hex_message(text);
    if (text.isEmpty()) {
        if (!serial.written.isEmpty() || dialogs.boxes != 0)
            std::abort();
        return 0;
    }
    if (parsed.problem != bl::HexMessage::Problem::None) {
        if (!serial.written.isEmpty() || dialogs.boxes != 1)
            std::abort();
        return 0;
    }
    if (serial.written.size() != static_cast<qsizetype>(parsed.bytes.size()) + 1 ||
        parsed.bytes.size() > 65)
        std::abort();
    int x = 0;
    for (const char c : serial.written)
        x ^= static_cast<unsigned char>(c);
    if (x != 0xFF)
        std::abort();
    return 0;
}
