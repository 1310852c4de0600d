#include "connection/startup_dialogue.h"
#include "support/fake_dialogs.h"
#include "support/fake_port.h"

#include <gtest/gtest.h>

namespace bl {
namespace {

struct AlwaysRate : UartRate {
    bool set_16457(int) override { return true; }
};

struct Startup {
    ModVariablen vars;
    testing::FakeClock clock;
    testing::FakePort *port = new testing::FakePort(&clock);
    SerialControl comm{std::unique_ptr<BytePort>(port)};
    testing::FakeDialogs dialogs;
    testing::FakeEventPump events{clock};
    AlwaysRate uart;
    PortOpening opening{vars, comm, dialogs, events, clock, uart, [](bool) {}};
    StartupDialogue startup{vars,
                            vars,
                            vars,
                            comm,
                            dialogs,
                            opening,
                            [] { return QStringLiteral("/home/anna/Dokumente/"); }};
};

TEST(Startup, InterfaceQuestionsSetTheFlags) {
    const struct {
        std::vector<MsgResult> answers;
        std::int16_t ln, usb;
        std::size_t questions;
    } rows[] = {{{MsgResult::Yes}, -1, 0, 1},
                {{MsgResult::No, MsgResult::Yes}, -1, -1, 2},
                {{MsgResult::No, MsgResult::No}, 0, 0, 2}};
    for (const auto &row : rows) {
        Startup s;
        s.dialogs.answers.assign(row.answers.begin(), row.answers.end());
        s.dialogs.inputs = {QStringLiteral("1")};
        s.port->on_write = [&](const QByteArray &b) {
            if (b == "\r")
                s.port->arriving += "]";
        };
        ASSERT_TRUE(s.startup.run());
        EXPECT_EQ(s.vars.ln_interface, row.ln);
        EXPECT_EQ(s.vars.usb_interface, row.usb);
        ASSERT_GE(s.dialogs.boxes.size(), row.questions);
        EXPECT_EQ(s.dialogs.boxes[0].title, QStringLiteral("INTERFACE?"));
        EXPECT_EQ(s.dialogs.boxes[0].text,
                  QStringLiteral("IST EIN 58204 COMPORT-INTERFACE ANGESCHLOSSEN?"));
        EXPECT_EQ(s.dialogs.boxes[0].buttons, MsgButtons::YesNo);
        if (row.questions == 2) {
            EXPECT_EQ(s.dialogs.boxes[1].text, QStringLiteral("WIRD EIN USB-ANSCHLUSS BENUTZT?"));
        }
        EXPECT_EQ(s.vars.doc_path, QStringLiteral("/home/anna/Dokumente/"));
        EXPECT_EQ(s.vars.monitor_on, kTrue);
        EXPECT_EQ(s.vars.ascii_hex_on, kTrue);
        EXPECT_EQ(s.vars.trace_filenr, 1);
    }
}

TEST(Startup, DefaultThreeIsRefusedForTheComPortInterfaceThenOneOpens) {
    Startup s;
    s.dialogs.answers = {MsgResult::Yes};
    s.dialogs.inputs = {QStringLiteral("3"), QStringLiteral("1")};
    ASSERT_TRUE(s.startup.run());
    EXPECT_EQ(s.dialogs.prompts, (QStringList{QStringLiteral("Comport Nummer:|MONITOR|3"),
                                              QStringLiteral("Comport Nummer:|MONITOR|3")}));
    ASSERT_EQ(s.dialogs.boxes.size(), 2u);
    EXPECT_EQ(s.dialogs.boxes[1].title, QStringLiteral("BUSLINK-UNIT"));
    EXPECT_EQ(s.comm.commPort(), 1);
    EXPECT_TRUE(s.comm.portOpen());
}

TEST(Startup, PortEntriesAreReadAsNumbers) {
    const struct {
        const char *entry;
        double number;
    } rows[] = {{"2", 2},     {"  2", 2}, {"2abc", 2}, {"abc2", 0},     {"", 0},
                {"1.5", 1.5}, {"-3", -3}, {"2 5", 25}, {" 1 . 5", 1.5}, {"+4x", 4},
                {"&H0A", 10}, {"0", 0},   {"-", 0}};
    for (const auto &row : rows)
        EXPECT_EQ(read_port_entry(QString::fromLatin1(row.entry)).number, row.number) << row.entry;
    EXPECT_EQ(read_port_entry(QStringLiteral(" /dev/ttyACM0")).device,
              QStringLiteral("/dev/ttyACM0"));
}

TEST(Startup, WrongNumberAsksWhetherToEnd) {
    Startup s;
    // USB; then letters first (No: ask again), a cancelled box (Yes: end)
    s.dialogs.answers = {MsgResult::No, MsgResult::Yes, MsgResult::No, MsgResult::Yes};
    s.dialogs.inputs = {QStringLiteral("x2"), QString()};
    EXPECT_FALSE(s.startup.run());
    ASSERT_EQ(s.dialogs.boxes.size(), 4u);
    for (int i : {2, 3}) {
        EXPECT_EQ(s.dialogs.boxes[static_cast<std::size_t>(i)].title, QStringLiteral("Fehler"));
        EXPECT_EQ(s.dialogs.boxes[static_cast<std::size_t>(i)].text,
                  QStringLiteral("Comport Nummer falsch!"));
        EXPECT_EQ(s.dialogs.boxes[static_cast<std::size_t>(i)].buttons, MsgButtons::YesNo);
    }
    EXPECT_TRUE(s.port->timeline.empty()) << "no port opened";
    EXPECT_EQ(s.vars.monitor_on, 0);
}

TEST(Startup, NegativeNumberGoesToTheOpeningAndFailedOpeningsRepeat) {
    Startup s;
    s.dialogs.answers = {MsgResult::No, MsgResult::Yes};
    s.dialogs.inputs = {QStringLiteral("-1"), QStringLiteral("2")};
    ASSERT_TRUE(s.startup.run());
    ASSERT_EQ(s.dialogs.boxes.size(), 3u) << "the serial control refuses -1";
    EXPECT_TRUE(s.dialogs.boxes[2].text.contains(QStringLiteral("Ungültige Portnummer")));
    EXPECT_EQ(s.comm.commPort(), 2);
    EXPECT_EQ(s.port->steps().first(), QStringLiteral("open /dev/ttyS1 115200,n,8,1"));
}

TEST(Startup, CommandLineAnswersSkipTheQuestions) {
    Startup s;
    StartupAnswers answers;
    answers.kind = InterfaceKind::Usb;
    answers.port = QStringLiteral("/dev/ttyACM0");
    ASSERT_TRUE(s.startup.run(answers));
    EXPECT_TRUE(s.dialogs.boxes.empty());
    EXPECT_TRUE(s.dialogs.prompts.isEmpty());
    EXPECT_EQ(s.port->steps().first(), QStringLiteral("open /dev/ttyACM0 115200,n,8,1"));

    Startup retry;
    answers.kind = InterfaceKind::ComPort;
    answers.port = QStringLiteral("5");
    retry.dialogs.inputs = {QStringLiteral("2")};
    ASSERT_TRUE(retry.startup.run(answers));
    EXPECT_EQ(retry.dialogs.prompts.size(), 1) << "a failing answer brings the question";
    EXPECT_EQ(retry.comm.commPort(), 2);
}

} // namespace
} // namespace bl
