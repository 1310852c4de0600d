// Our recordings in Wireshark's own reader: tshark counts one packet a
// message with its line as comment, the dissector's fields filter as users
// expect, and the extcap program lists the simulated bus and captures it.
// Skipped, saying so, where tshark is not installed.
#include "support/process.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace bl {
namespace {

QString tshark() { return QStandardPaths::findExecutable(QStringLiteral("tshark")); }

#define SKIP_WITHOUT_TSHARK()                                                                      \
    if (tshark().isEmpty())                                                                        \
    GTEST_SKIP() << "tshark is not installed (apt-get install tshark); skipping"

// Output of a program that must succeed.
QByteArray run(const QString &program, const QStringList &arguments) {
    QProcess p;
    p.start(program, arguments);
    EXPECT_TRUE(p.waitForFinished(30000)) << program.toStdString();
    EXPECT_EQ(p.exitCode(), 0) << program.toStdString() << ": "
                               << p.readAllStandardError().toStdString();
    return p.readAllStandardOutput();
}

QStringList lines(const QByteArray &out) {
    QStringList l = QString::fromUtf8(out).split(QLatin1Char('\n'));
    if (!l.isEmpty() && l.last().isEmpty())
        l.removeLast();
    return l;
}

const QString kDissector = QStringLiteral(BUSLAUSCHER_PACKAGING_DIR "/wireshark/loconet.lua");
const QString kCapture = QStringLiteral(BUSLAUSCHER_TEST_DATA "/renderings.capture");

struct Recorded {
    QTemporaryDir dir;
    QString pcapng;
    QStringList decoded;
    Recorded() : pcapng(dir.filePath(QStringLiteral("out.pcapng"))) {
        decoded =
            lines(run(QStringLiteral(BUSLAUSCHER_BINARY),
                      {QStringLiteral("--decode"), kCapture, QStringLiteral("--pcap"), pcapng}));
    }
    QStringList shark(const QStringList &more) const {
        return lines(
            run(tshark(), QStringList{QStringLiteral("-n"), QStringLiteral("-r"), pcapng} + more));
    }
};

TEST(Wireshark, ReadsOnePacketAMessageWithItsLineAsComment) {
    SKIP_WITHOUT_TSHARK();
    const Recorded r;
    const QStringList comments = r.shark({QStringLiteral("-T"), QStringLiteral("fields"),
                                          QStringLiteral("-e"), QStringLiteral("frame.comment")});
    QStringList hex =
        lines(run(QStringLiteral(BUSLAUSCHER_BINARY),
                  {QStringLiteral("--decode"), QStringLiteral("--hex-output"), kCapture}));
    EXPECT_EQ(comments.size(), hex.size()) << "one packet a framed message";
    // each shown line is the comment of its message (the busy one has none shown)
    for (const QString &line : r.decoded)
        EXPECT_TRUE(comments.contains(line)) << line.toStdString();
    const QStringList encap =
        r.shark({QStringLiteral("-T"), QStringLiteral("fields"), QStringLiteral("-e"),
                 QStringLiteral("frame.encap_type"), QStringLiteral("-c"), QStringLiteral("1")});
    EXPECT_EQ(encap, QStringList{QStringLiteral("45")}) << "USER0, link type 147";
}

TEST(Wireshark, TheDissectorsFieldsFilter) {
    SKIP_WITHOUT_TSHARK();
    const Recorded r;
    const QStringList lua = {QStringLiteral("-X"), QStringLiteral("lua_script:") + kDissector};
    const auto count = [&](const char *filter) {
        return r.shark(lua + QStringList{QStringLiteral("-Y"), QString::fromLatin1(filter)}).size();
    };
    const QStringList hex =
        lines(run(QStringLiteral(BUSLAUSCHER_BINARY),
                  {QStringLiteral("--decode"), QStringLiteral("--hex-output"), kCapture}));
    const auto b2 = std::count_if(hex.begin(), hex.end(), [](const QString &l) {
        return l.startsWith(QStringLiteral("B2 "));
    });
    EXPECT_EQ(count("loconet.opcode == 0xb2"), b2);
    // the numbers are the monitor's: Wireshark takes what our own filter takes
    const auto ours = [&](const char *filter) {
        return lines(run(QStringLiteral(BUSLAUSCHER_BINARY),
                         {QStringLiteral("--decode"), QStringLiteral("--filter"),
                          QString::fromLatin1(filter), kCapture}))
            .size();
    };
    EXPECT_EQ(count("loconet.sensor == 11"), ours("rm=11"));
    // an acknowledgement also names the switch its request asked about, which
    // a dissector that sees one packet at a time cannot know
    EXPECT_EQ(count("loconet.switch == 5"), ours("weiche=5 und nicht opcode=B4"));
    EXPECT_EQ(count("loconet.loco == 1234"), ours("lok=1234")) << "also through its slot";
    EXPECT_EQ(count("loconet.slot == 3"), ours("slot=3"));
    const QStringList info =
        r.shark(lua + QStringList{QStringLiteral("-Y"), QStringLiteral("loconet.opcode == 0x83")});
    ASSERT_FALSE(info.isEmpty());
    EXPECT_TRUE(info.first().contains(QStringLiteral("OPC_GPON: Gleisspannung eingeschaltet")))
        << info.first().toStdString();
}

TEST(Wireshark, TheExtcapProgramOffersAndCapturesTheSimulatedBus) {
    SKIP_WITHOUT_TSHARK();
    const QString extcap = QStringLiteral(BUSLAUSCHER_EXTCAP_BINARY);
    const QByteArray interfaces = run(extcap, {QStringLiteral("--extcap-interfaces")});
    EXPECT_TRUE(interfaces.contains("interface {value=bus-lauscher-demo}"))
        << interfaces.toStdString();
    EXPECT_TRUE(run(extcap, {QStringLiteral("--extcap-interface"),
                             QStringLiteral("bus-lauscher-demo"), QStringLiteral("--extcap-dlts")})
                    .contains("{number=147}"));
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("live.pcapng"));
    QProcess capture;
    capture.start(extcap, {QStringLiteral("--capture"), QStringLiteral("--extcap-interface"),
                           QStringLiteral("bus-lauscher-demo"), QStringLiteral("--fifo"), out,
                           QStringLiteral("--rate"), QStringLiteral("50")});
    ASSERT_TRUE(capture.waitForStarted());
    EXPECT_FALSE(capture.waitForFinished(3000)) << "it runs until stopped";
    testing::signal_process(capture, SIGTERM);
    ASSERT_TRUE(capture.waitForFinished(10000));
    EXPECT_EQ(capture.exitCode(), 0) << capture.readAllStandardError().toStdString();
    QProcess shark;
    shark.start(tshark(), {QStringLiteral("-n"), QStringLiteral("-r"), out});
    ASSERT_TRUE(shark.waitForFinished(30000));
    EXPECT_EQ(shark.exitCode(), 0) << shark.readAllStandardError().toStdString();
    EXPECT_GE(lines(shark.readAllStandardOutput()).size(), 50) << "about 150 messages in 3 s";
}

} // namespace
} // namespace bl
