// The train-category command against a scripted bus: the request, the wait
// for slot data, and the slot write.
#include "app/reception_path.h"
#include "loconet/addresses.h"
#include "loconet/message.h"
#include "sending/train_category.h"
#include "support/bytes.h"
#include "support/sending_harness.h"

#include <gtest/gtest.h>

namespace bl {
namespace {

constexpr const char *kSlot7 = "E7 0E 07 03 7F 00 20 07 12 00 00 01 02 2F";

struct TrainCategory : testing::SendingHarness {
    TextMonitorArea area;
    NoLines no_trace;
    ReceptionPath reception{vars, LineOutputs{area, no_trace}};
    std::vector<bool> button;
    TrainCategoryCommand command{
        vars, vars,    vars,   area,  sender,
        tx,   dialogs, events, clock, [this](bool on) { button.push_back(on); }};

    // The station answers the request with the given slot data.
    explicit TrainCategory(const char *answer = kSlot7) {
        vars.ln_interface = kTrue;
        vars.monitor_on = kTrue;
        port->on_write = [this, answer](const QByteArray &) {
            if (port->written.size() == 4 && answer)
                port->arriving += QByteArray::fromStdString(testing::bytes(answer));
        };
        events.on_pass = [this] { reception.receiver.framing_steps(port->read().toStdString()); };
    }
    std::string lines() const { return testing::utf8(area.text()); }
};

TEST(TrainCategory, RequestWaitAndSlotWrite) {
    TrainCategory t;
    t.command.run(QStringLiteral("127"), QStringLiteral("15"));
    QByteArray write = QByteArray::fromHex("ef0e07037f0020077200000102");
    write.append(static_cast<char>(loconet::checksum(write.begin(), write.end())));
    EXPECT_EQ(t.written(), (QByteArray::fromHex("bf007f3f") + write).toHex());
    EXPECT_EQ(t.lines(), " -- Setze Zugkategorie --\r\n"
                         "Slot  7 = Lokadr. 127, Geschw. 0 , Kat: 3 ,rückwärts \r\n");
    EXPECT_EQ(t.vars.err_flag, 0);
    EXPECT_EQ(t.button, (std::vector<bool>{false, true}));
}

TEST(TrainCategory, FieldsAreReadAsNumbers) {
    const struct {
        const char *address;
        const char *category;
        const char *request; // "" = nothing goes on the bus, and the box says why
        int category_byte;
    } rows[] = {
        {"-", "-", "", 0},
        {"128", "3", "", 0},
        {"200", "3", "", 0},
        {"abc", "3", "", 0},
        {"0", "3", "", 0},
        {"5", "16", "", 0},
        {"5", "99", "", 0},
        {"5", "-1", "", 0},
        {"12x", "-", "bf000c4c", 0x00},
        {"3", "5", "bf000343", 0x22},
        {" 1 2 ", "1", "bf000c4c", 0x02},
        {"&H7F", "2", "bf007f3f", 0x10},
        {"2.5", "14.5", "bf000242", 0x70},
    };
    for (const auto &row : rows) {
        TrainCategory t;
        t.command.run(QString::fromLatin1(row.address), QString::fromLatin1(row.category));
        if (std::string(row.request).empty()) {
            EXPECT_TRUE(t.port->written.isEmpty()) << row.address << " " << row.category;
            EXPECT_EQ(t.lines(), "");
            ASSERT_EQ(t.dialogs.boxes.size(), 1u) << row.address << " " << row.category;
            EXPECT_TRUE(t.dialogs.boxes[0].text.contains(QStringLiteral("erlaubt sind")));
            continue;
        }
        EXPECT_TRUE(t.dialogs.boxes.empty());
        ASSERT_EQ(t.port->written.size(), 18) << row.address << " " << row.category;
        EXPECT_EQ(t.port->written.left(4).toHex(), QByteArray(row.request)) << row.address;
        EXPECT_EQ(static_cast<unsigned char>(t.port->written.at(4 + 8)), row.category_byte)
            << row.category;
    }
}

TEST(TrainCategory, NoAnswerWithinFiveSecondsWritesNothing) {
    TrainCategory t(nullptr);
    int passes = 0;
    t.events.on_pass = [&] {
        if (++passes == 3)
            t.command.run(QStringLiteral("3"), QStringLiteral("5")); // refused while waiting
    };
    const double start = t.clock.now;
    t.vars.monitor_on = 0; // the lines appear also while stopped
    t.command.run(QStringLiteral("3"), QStringLiteral("5"));
    EXPECT_GT(t.clock.now - start, 5.0);
    EXPECT_LT(t.clock.now - start, 5.1);
    EXPECT_EQ(t.written(), QByteArray("bf000343")) << "one request, no write";
    EXPECT_EQ(t.lines(), " -- Setze Zugkategorie --\r\n -- Keine Antwort der Zentrale --\r\n");
    EXPECT_EQ(t.button, (std::vector<bool>{false, true}));
}

// A slot write that clear-to-send holds back is told, as any send that
// cannot go.
TEST(TrainCategory, ASlotWriteThatCannotGoIsTold) {
    TrainCategory t;
    t.vars.ln_interface = kFalse; // the other serial interface: CTS paces every byte
    t.port->cts_line = false;
    t.command.run(QStringLiteral("127"), QStringLiteral("15"));
    EXPECT_EQ(t.written(), QByteArray("bf007f3f")) << "the request went, the write did not";
    EXPECT_EQ(t.vars.err_flag, 1);
    ASSERT_EQ(t.dialogs.boxes.size(), 1u);
    EXPECT_TRUE(t.dialogs.boxes[0].text.contains(QStringLiteral("nicht geschrieben")));
}

TEST(TrainCategory, EveryCategoryComesBackFromTheSlotData) {
    for (int k = 0; k <= 15; ++k)
        EXPECT_EQ(loconet::train_category_of(category_byte(k)), k);
}

} // namespace
} // namespace bl
