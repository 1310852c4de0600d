// Our recordings and other tools' captures in Wireshark: tshark counts one
// packet a message with its line as comment; our dissector plugin says for
// every packet what `bus-lauscher --decode --detail --json` says for the same
// messages (Info, subjects, the request a reply answers); it marks wrong
// checksums and cut messages as expert entries, survives random packets,
// yields to a user's own DLT_USER mapping, counts in its statistics and
// colours by the rules we ship. The extcap program lists and captures the
// simulated bus. Skipped, saying so, where tshark or the plugin is absent.
#include "support/bytes.h"
#include "support/process.h"
#include "support/pty.h"
#include "support/traffic.h"
#include "support/tshark.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

namespace bl {
namespace {

using testing::tshark_program;

#define SKIP_WITHOUT_TSHARK()                                                                      \
    if (tshark_program().isEmpty())                                                                \
    GTEST_SKIP() << "tshark is not installed (apt-get install tshark); skipping"

const QString kPlugin = QStringLiteral(BUSLAUSCHER_DISSECTOR);
const QString kPluginFolder = QStringLiteral(BUSLAUSCHER_DISSECTOR_FOLDER);

#define SKIP_WITHOUT_PLUGIN()                                                                      \
    SKIP_WITHOUT_TSHARK();                                                                         \
    if (kPlugin.isEmpty())                                                                         \
    GTEST_SKIP() << "built without the Wireshark plugin (libwireshark-dev, or a sanitizer "        \
                    "build); skipping"

// Output of a program that must succeed.
QByteArray run(const QString &program, const QStringList &arguments) {
    QProcess p;
    p.start(program, arguments);
    EXPECT_TRUE(p.waitForFinished(60000)) << program.toStdString();
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

QStringList decoded(const QStringList &arguments) {
    return lines(run(QStringLiteral(BUSLAUSCHER_BINARY),
                     QStringList{QStringLiteral("--decode")} + arguments));
}

const QString kCapture = QStringLiteral(BUSLAUSCHER_TEST_DATA "/renderings.capture");

// A classic pcap as other LocoNet tools write it: link type 147, times in
// microseconds, no comments; each packet holds the given bytes.
QByteArray pcap_of(const std::vector<std::string> &packets, std::int64_t step_us = 10'000) {
    QByteArray out;
    const auto u32 = [&out](std::uint32_t v) {
        const std::uint32_t le = qToLittleEndian(v);
        out.append(reinterpret_cast<const char *>(&le), 4);
    };
    const auto u16 = [&out](std::uint16_t v) {
        const std::uint16_t le = qToLittleEndian(v);
        out.append(reinterpret_cast<const char *>(&le), 2);
    };
    u32(0xA1B2C3D4);
    u16(2);
    u16(4);
    u32(0);
    u32(0);
    u32(65535);
    u32(147);
    std::int64_t at = 1'765'000'000'000'000;
    for (const std::string &p : packets) {
        u32(static_cast<std::uint32_t>(at / 1'000'000));
        u32(static_cast<std::uint32_t>(at % 1'000'000));
        u32(static_cast<std::uint32_t>(p.size()));
        u32(static_cast<std::uint32_t>(p.size()));
        out.append(p.data(), static_cast<qsizetype>(p.size()));
        at += step_us;
    }
    return out;
}

// The messages of a raw stream (all whole), grouped one to `most` a packet.
std::vector<std::string> grouped_packets(const std::string &raw, std::uint32_t seed,
                                         unsigned most = 3) {
    std::vector<std::string> messages;
    for (std::size_t i = 0; i < raw.size();) {
        const int opcode = static_cast<unsigned char>(raw[i]);
        std::size_t n = static_cast<std::size_t>(loconet::message_length(opcode));
        if (n == static_cast<std::size_t>(loconet::kLengthFromSecondByte))
            n = static_cast<unsigned char>(raw[i + 1]);
        if (n < 2 || i + n > raw.size())
            break; // not whole: no test stream ends so
        messages.push_back(raw.substr(i, n));
        i += n;
    }
    std::mt19937 rng(seed);
    std::vector<std::string> packets;
    for (std::size_t i = 0; i < messages.size();) {
        std::string packet;
        for (std::size_t k = 1 + rng() % most; k > 0 && i < messages.size(); --k)
            packet += messages[i++];
        packets.push_back(packet);
    }
    return packets;
}

// One packet as the monitor's decoder describes its messages, in tshark's
// field form: Info joined by " | ", each subject's numbers joined by ",".
struct Expected {
    QStringList info;
    QMap<QString, QStringList> subjects;
    QStringList response_to;
};

const QStringList kSubjects = {QStringLiteral("loco"), QStringLiteral("slot"),
                               QStringLiteral("switch"), QStringLiteral("sensor")};

void add_values(QStringList &to, const QJsonValue &v) {
    const QJsonArray values = v.isArray() ? v.toArray() : QJsonArray{v};
    for (const QJsonValue &x : values)
        if (x.isDouble())
            to << QString::number(x.toInteger());
}

// What the monitor's --json says, frame by frame, given how many messages
// each frame holds.
std::vector<Expected> expected_frames(const QStringList &json,
                                      const std::vector<int> &messages_per_frame) {
    std::vector<Expected> frames;
    std::vector<int> frame_of_nr(static_cast<std::size_t>(json.size()) + 1, 0);
    qsizetype nr = 0;
    for (std::size_t f = 0; f < messages_per_frame.size(); ++f) {
        Expected e;
        for (int k = 0; k < messages_per_frame[f] && nr < json.size(); ++k, ++nr) {
            const QJsonObject o = QJsonDocument::fromJson(json[nr].toUtf8()).object();
            frame_of_nr[static_cast<std::size_t>(o[QStringLiteral("nr")].toInteger())] =
                static_cast<int>(f + 1);
            e.info << o[QStringLiteral("klartext")].toString();
            for (const QString &s : kSubjects)
                add_values(e.subjects[s], o[QStringLiteral("felder")].toObject()[s]);
            const QJsonValue asked = o[QStringLiteral("antwort_auf")];
            if (!asked.isNull())
                e.response_to << QString::number(
                    frame_of_nr[static_cast<std::size_t>(asked.toInteger())]);
        }
        frames.push_back(e);
    }
    return frames;
}

// tshark's view of the same file, with our plugin: one line a frame.
QStringList dissected(testing::Tshark &shark, const QString &file) {
    QStringList arguments = {QStringLiteral("-n"),
                             QStringLiteral("-r"),
                             file,
                             QStringLiteral("-T"),
                             QStringLiteral("fields"),
                             QStringLiteral("-E"),
                             QStringLiteral("occurrence=a"),
                             QStringLiteral("-E"),
                             QStringLiteral("aggregator=,"),
                             QStringLiteral("-e"),
                             QStringLiteral("_ws.col.Info")};
    for (const QString &s : kSubjects)
        arguments << QStringLiteral("-e") << QStringLiteral("loconet.") + s;
    arguments << QStringLiteral("-e") << QStringLiteral("loconet.response_to");
    const auto r = shark.run(arguments);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    return lines(r.out);
}

void expect_same_as_decoder(testing::Tshark &shark, const QString &file,
                            const std::vector<int> &messages_per_frame) {
    const std::vector<Expected> want = expected_frames(
        decoded({QStringLiteral("--detail"), QStringLiteral("--json"), file}), messages_per_frame);
    const QStringList got = dissected(shark, shark.place(file));
    ASSERT_EQ(static_cast<std::size_t>(got.size()), want.size()) << file.toStdString();
    for (std::size_t f = 0; f < want.size(); ++f) {
        const QStringList columns = got[static_cast<qsizetype>(f)].split(QLatin1Char('\t'));
        ASSERT_EQ(columns.size(), 6) << got[static_cast<qsizetype>(f)].toStdString();
        const std::string where = file.toStdString() + ", frame " + std::to_string(f + 1);
        EXPECT_EQ(columns[0], want[f].info.join(QStringLiteral(" | "))) << where;
        for (qsizetype s = 0; s < kSubjects.size(); ++s)
            EXPECT_EQ(columns[1 + s], want[f].subjects[kSubjects[s]].join(QLatin1Char(',')))
                << where << ", " << kSubjects[s].toStdString();
        EXPECT_EQ(columns[5], want[f].response_to.join(QLatin1Char(','))) << where;
    }
}

TEST(Wireshark, ReadsOnePacketAMessageWithItsLineAsComment) {
    SKIP_WITHOUT_TSHARK();
    QTemporaryDir dir;
    const QString pcapng = dir.filePath(QStringLiteral("out.pcapng"));
    const QStringList shown = decoded({kCapture, QStringLiteral("--pcap"), pcapng});
    testing::Tshark shark;
    const auto comments = shark.run(
        {QStringLiteral("-n"), QStringLiteral("-r"), shark.place(pcapng), QStringLiteral("-T"),
         QStringLiteral("fields"), QStringLiteral("-e"), QStringLiteral("frame.comment"),
         QStringLiteral("-e"), QStringLiteral("frame.encap_type")});
    const QStringList rows = lines(comments.out);
    EXPECT_EQ(rows.size(), decoded({QStringLiteral("--hex-output"), kCapture}).size())
        << "one packet a framed message";
    QStringList texts;
    for (const QString &row : rows) {
        texts << row.section(QLatin1Char('\t'), 0, 0);
        EXPECT_EQ(row.section(QLatin1Char('\t'), 1), QStringLiteral("45")) << "USER0, type 147";
    }
    // each shown line is the comment of its message (the busy one has none shown)
    for (const QString &line : shown)
        EXPECT_TRUE(texts.contains(line)) << line.toStdString();
}

TEST(Wireshark, TheDissectorSaysWhatTheDecoderSaysForEveryFamily) {
    SKIP_WITHOUT_PLUGIN();
    testing::Tshark shark(kPlugin, kPluginFolder);
    QTemporaryDir dir;
    // our own recording of a message of every family, one a packet
    const QString ours = dir.filePath(QStringLiteral("renderings.pcapng"));
    decoded({kCapture, QStringLiteral("--pcap"), ours});
    const int messages =
        static_cast<int>(decoded({QStringLiteral("--hex-output"), kCapture}).size());
    expect_same_as_decoder(shark, ours, std::vector<int>(static_cast<std::size_t>(messages), 1));
    // another tool's pcap of busy mixed traffic with requests and their
    // replies, one to three messages a packet
    const std::vector<std::string> packets = grouped_packets(testing::mixed_traffic(4000, 11), 5);
    const QString other = dir.filePath(QStringLiteral("other-tool.pcap"));
    QFile f(other);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(pcap_of(packets));
    f.close();
    std::vector<int> per_frame;
    for (const std::string &p : packets) {
        int n = 0;
        for (const char c : p)
            n += loconet::is_opcode(static_cast<unsigned char>(c));
        per_frame.push_back(n);
    }
    expect_same_as_decoder(shark, other, per_frame);
    // every opcode with data of any kind, the variable lengths the protocol
    // uses (expanded slots 0x15, immediate packets 0x0B, ...) and others
    std::mt19937 rng(32);
    std::vector<std::string> every;
    for (int opcode = 0x80; opcode <= 0xFF; ++opcode)
        for (int k = 0; k < 24; ++k) {
            constexpr int kLengths[] = {0x0E, 0x15, 0x0B, 0x10, 0x14, 0x09, 0x07, 0x12};
            int n = loconet::message_length(opcode);
            if (n == loconet::kLengthFromSecondByte)
                n = k < 16 ? kLengths[k % 8] : 3 + static_cast<int>(rng() % 30);
            std::vector<int> m{opcode};
            for (int i = 1; i < n - 1; ++i)
                m.push_back(i == 1 && n > 2 && opcode >= 0xE0 ? n : static_cast<int>(rng() % 128));
            std::string bytes;
            testing::append_message(bytes, m);
            every.push_back(bytes);
        }
    const QString families = dir.filePath(QStringLiteral("every-opcode.pcap"));
    QFile g(families);
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.write(pcap_of(every));
    g.close();
    expect_same_as_decoder(shark, families, std::vector<int>(every.size(), 1));
    const QStringList replies =
        dissected(shark, shark.place(other)).filter(QRegularExpression(QStringLiteral("\\t\\d+$")));
    EXPECT_GT(replies.size(), 50) << "the traffic holds answered requests";
}

// A pcap of the given packets, written where tshark may read it.
QString other_tool_capture(testing::Tshark &shark, const QString &name,
                           const std::vector<std::string> &packets) {
    return shark.write(name, pcap_of(packets));
}

TEST(Wireshark, WrongChecksumsAndCutMessagesAreExpertEntries) {
    SKIP_WITHOUT_PLUGIN();
    testing::Tshark shark(kPlugin, kPluginFolder);
    const std::vector<std::string> packets = {
        testing::bytes("83 00"),       // wrong checksum
        testing::bytes("E7 0E 01 02"), // cut by the packet's end
        testing::bytes("E7"),          // one byte
        testing::bytes("B2 05"),       // two bytes of four
        testing::bytes("05 06 83 7C"), // data bytes with no opcode, then a message
        std::string(),                 // nothing at all
        testing::bytes("83 7C"),       // nothing wrong
    };
    const auto r = shark.run({QStringLiteral("-n"), QStringLiteral("-r"),
                              other_tool_capture(shark, QStringLiteral("bad.pcap"), packets),
                              QStringLiteral("-T"), QStringLiteral("fields"), QStringLiteral("-E"),
                              QStringLiteral("occurrence=a"), QStringLiteral("-e"),
                              QStringLiteral("_ws.expert.group"), QStringLiteral("-e"),
                              QStringLiteral("_ws.expert.message"), QStringLiteral("-e"),
                              QStringLiteral("_ws.col.Info")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    const QStringList rows = lines(r.out);
    ASSERT_EQ(rows.size(), 7) << r.out.toStdString();
    const QString checksum = QString::number(0x01000000);  // PI_CHECKSUM
    const QString malformed = QString::number(0x07000000); // PI_MALFORMED
    EXPECT_TRUE(rows[0].startsWith(checksum)) << rows[0].toStdString();
    for (int i : {1, 2, 3, 4})
        EXPECT_TRUE(rows[i].startsWith(malformed)) << rows[i].toStdString();
    EXPECT_TRUE(rows[1].contains(QStringLiteral("Meldung abgeschnitten: 4 Byte von 14")))
        << rows[1].toStdString();
    EXPECT_TRUE(rows[4].contains(QStringLiteral("Gleisspannung ein")))
        << "the message after the stray bytes is still decoded: " << rows[4].toStdString();
    EXPECT_TRUE(rows[6].startsWith(QLatin1Char('\t'))) << "no entry: " << rows[6].toStdString();
    for (const QString &row : rows)
        EXPECT_FALSE(row.contains(QStringLiteral("Malformed Packet")) ||
                     row.contains(QStringLiteral("Dissector bug")))
            << row.toStdString();
}

TEST(Wireshark, RandomPacketsRaiseNoErrorInTheDissector) {
    SKIP_WITHOUT_PLUGIN();
    testing::Tshark shark(kPlugin, kPluginFolder);
    std::mt19937 rng(2026);
    std::vector<std::string> packets;
    for (int i = 0; i < 20000; ++i) {
        std::string p(rng() % 48, '\0');
        for (char &c : p)
            c = static_cast<char>(rng() % 4 ? rng() % 256 : 0x80 + rng() % 128);
        packets.push_back(p);
    }
    const auto r = shark.run({QStringLiteral("-n"), QStringLiteral("-2"), QStringLiteral("-V"),
                              QStringLiteral("-r"),
                              other_tool_capture(shark, QStringLiteral("random.pcap"), packets)});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.isEmpty()) << r.err.left(2000).toStdString();
    EXPECT_FALSE(r.out.contains("Malformed Packet"));
    EXPECT_FALSE(r.out.contains("Dissector bug"));
    EXPECT_EQ(r.out.count("\nFrame "), 19999) << "every packet dissected";
}

TEST(Wireshark, AUsersOwnMappingOfLinkType147Wins) {
    SKIP_WITHOUT_PLUGIN();
    testing::Tshark shark(kPlugin, kPluginFolder);
    const QString file =
        other_tool_capture(shark, QStringLiteral("mapped.pcap"), {testing::bytes("83 7C")});
    const auto protocol = [&](const QStringList &more) {
        return shark
            .run(QStringList{QStringLiteral("-n"), QStringLiteral("-r"), file, QStringLiteral("-T"),
                             QStringLiteral("fields"), QStringLiteral("-e"),
                             QStringLiteral("_ws.col.Protocol")} +
                 more)
            .out.trimmed();
    };
    EXPECT_EQ(protocol({}), "LocoNet");
    EXPECT_NE(protocol({QStringLiteral("-o"),
                        QStringLiteral("uat:user_dlts:\"User 0 (DLT=147)\",\"data\",\"0\",\"\","
                                       "\"0\",\"\"")}),
              "LocoNet");
    // and LocoNet can be chosen for another user link type
    EXPECT_EQ(protocol({QStringLiteral("-o"),
                        QStringLiteral("uat:user_dlts:\"User 1 (DLT=148)\",\"loconet\",\"0\",\"\","
                                       "\"0\",\"\"")}),
              "LocoNet");
}

TEST(Wireshark, TheStatisticsCountMessagesAndSubjects) {
    SKIP_WITHOUT_PLUGIN();
    testing::Tshark shark(kPlugin, kPluginFolder);
    const QString file = other_tool_capture(shark, QStringLiteral("stats.pcap"),
                                            {testing::bytes("83 7C"), testing::bytes("82 7D"),
                                             testing::bytes("83 7C"), testing::bytes("B2 05 50 18"),
                                             testing::bytes("BF 00 03 43")});
    const auto r = shark.run({QStringLiteral("-n"), QStringLiteral("-q"), QStringLiteral("-r"),
                              file, QStringLiteral("-z"), QStringLiteral("loconet,tree")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const QString out = QString::fromUtf8(r.out);
    const auto count = [&out](const QString &label) {
        const QRegularExpression row(QRegularExpression::escape(label) +
                                     QStringLiteral("\\s+(\\d+)"));
        const auto m = row.match(out);
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    };
    EXPECT_EQ(count(QStringLiteral("Meldungen nach Opcode")), 5) << out.toStdString();
    EXPECT_EQ(count(QStringLiteral("0x83 OPC_GPON")), 2) << out.toStdString();
    EXPECT_EQ(count(QStringLiteral("Lok 3")), 1) << out.toStdString();
    EXPECT_EQ(count(QStringLiteral("Rückmelder 11")), 1) << out.toStdString();
    EXPECT_EQ(count(QStringLiteral("gleisspannung")), 1) << out.toStdString();
}

TEST(Wireshark, TheShippedColouringRulesMarkTroubles) {
    SKIP_WITHOUT_PLUGIN();
    testing::Tshark shark(kPlugin, kPluginFolder);
    QFile::copy(QStringLiteral(BUSLAUSCHER_PACKAGING_DIR "/wireshark/loconet.colorfilters"),
                shark.settings() + QStringLiteral("/colorfilters"));
    QFile::setPermissions(shark.settings() + QStringLiteral("/colorfilters"),
                          QFileDevice::ReadOwner | QFileDevice::ReadOther);
    const QString file = other_tool_capture(shark, QStringLiteral("colours.pcap"),
                                            {testing::bytes("83 7C"), testing::bytes("82 00"),
                                             testing::bytes("82 7D"), testing::bytes("85 7A")});
    const auto r = shark.run({QStringLiteral("-n"), QStringLiteral("--color"), QStringLiteral("-r"),
                              file, QStringLiteral("-T"), QStringLiteral("fields"),
                              QStringLiteral("-e"), QStringLiteral("frame.coloring_rule.name")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.isEmpty()) << "the rules read without complaint: " << r.err.toStdString();
    EXPECT_EQ(lines(r.out), (QStringList{QString(), QStringLiteral("LocoNet: Prüfsumme falsch"),
                                         QStringLiteral("LocoNet: Gleisspannung aus"),
                                         QStringLiteral("LocoNet: Nothalt")}))
        << "power on is nothing to mark; a wrong checksum outranks what it says";
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
    testing::Tshark shark;
    const auto r = shark.run({QStringLiteral("-n"), QStringLiteral("-r"), shark.place(out)});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_GE(lines(r.out).size(), 50) << "about 150 messages in 3 s";
}

// The children of a process, from /proc (Linux).
QList<qint64> children_of(qint64 pid) {
    QList<qint64> children;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile f(tasks.filePath(task + QStringLiteral("/children")));
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray &child : f.readAll().split(' '))
                if (!child.trimmed().isEmpty())
                    children << child.trimmed().toLongLong();
    }
    return children;
}

// Whether one of the process's open files has the text in its path.
bool holds_open_named(qint64 pid, const QString &text) {
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo &fd : fds.entryInfoList(QDir::System | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget().contains(text))
            return true;
    return false;
}

std::string command_of(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/cmdline").arg(pid));
    return f.open(QIODevice::ReadOnly) ? f.readAll().replace('\0', ' ').toStdString() : "?";
}

// Running, not a zombie.
bool alive(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray stat = f.readAll();
    return !stat.mid(stat.lastIndexOf(')') + 2, 1).startsWith('Z');
}

TEST(Wireshark, TheExtcapProgramCapturesAnyDeviceAndEndsWhenTsharkIsKilled) {
    SKIP_WITHOUT_TSHARK();
    testing::PtyPair quiet; // a bus that says nothing
    ASSERT_TRUE(quiet.ok());
    ::chmod(quiet.device.toLocal8Bit().constData(), 0666); // tshark may run as nobody
    testing::Tshark shark;
    shark.with_extcap(QStringLiteral(BUSLAUSCHER_EXTCAP_BINARY));
    const auto listed = shark.run({QStringLiteral("-D")});
    EXPECT_TRUE(listed.out.contains("bus-lauscher-device")) << listed.out.toStdString();
    QProcess capture;
    shark.start(capture,
                {QStringLiteral("-i"), QStringLiteral("bus-lauscher-device"), QStringLiteral("-o"),
                 QStringLiteral("extcap.bus_lauscher_device.device:") + quiet.device,
                 QStringLiteral("-q")});
    ASSERT_TRUE(capture.waitForStarted());
    // tshark (setpriv and env replace themselves by it) starts the capture
    // program and dumpcap; the capture runs once the program holds the
    // device and the FIFO dumpcap reads
    QList<qint64> helpers;
    ASSERT_TRUE(testing::wait_until([&] {
        helpers = children_of(capture.processId());
        return std::any_of(helpers.begin(), helpers.end(), [&](qint64 pid) {
            return testing::holds_open(pid, quiet.device) &&
                   holds_open_named(pid, QStringLiteral("wireshark_extcap"));
        });
    })) << "tshark started no capture: "
        << capture.readAllStandardError().toStdString();
    testing::signal_process(capture, SIGKILL);
    ASSERT_TRUE(capture.waitForFinished(10000));
    for (const qint64 pid : helpers)
        EXPECT_TRUE(testing::wait_until([pid] { return !alive(pid); }, 5000))
            << "process " << pid << " outlived the killed tshark: " << command_of(pid);
}

TEST(Wireshark, TheExtcapProgramWritesTheDetailedLinesWhenAsked) {
    SKIP_WITHOUT_TSHARK();
    testing::PtyPair bus;
    ASSERT_TRUE(bus.ok());
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("detailed.pcapng"));
    QProcess capture;
    capture.start(QStringLiteral(BUSLAUSCHER_EXTCAP_BINARY),
                  {QStringLiteral("--capture"), QStringLiteral("--extcap-interface"),
                   QStringLiteral("bus-lauscher-device"), QStringLiteral("--device"), bus.device,
                   QStringLiteral("--detailed"), QStringLiteral("--fifo"), out});
    ASSERT_TRUE(capture.waitForStarted());
    ASSERT_TRUE(
        testing::wait_until([&] { return testing::holds_open(capture.processId(), bus.device); }));
    bus.close_slave();
    ASSERT_TRUE(bus.write(QByteArray::fromStdString(testing::bytes("B2 05 50 18"))));
    ASSERT_TRUE(testing::wait_until([&] { return QFileInfo(out).size() > 100; }));
    QTest::qWait(300);
    testing::signal_process(capture, SIGTERM);
    ASSERT_TRUE(capture.waitForFinished(10000));
    EXPECT_EQ(capture.exitCode(), 0) << capture.readAllStandardError().toStdString();
    testing::Tshark shark;
    const auto r = shark.run({QStringLiteral("-n"), QStringLiteral("-r"), shark.place(out),
                              QStringLiteral("-T"), QStringLiteral("fields"), QStringLiteral("-e"),
                              QStringLiteral("frame.comment")});
    EXPECT_EQ(lines(r.out),
              QStringList{QStringLiteral("Rückmelder 11: belegt (Melder 1, Eingang 11)")});
}

} // namespace
} // namespace bl
