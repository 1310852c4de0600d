#include "capture/pcap_format.h"
#include "support/bytes.h"
#include "support/process.h"
#include "support/traffic.h"

#include <filesystem>
#include <random>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using bl::testing::bytes;

struct Outcome {
    int status;
    QByteArray out;
    QByteArray err;
};

Outcome run(const QStringList &args, const std::string &input = {}) {
    QProcess p;
    p.start(QStringLiteral(BUSLAUSCHER_BINARY), args);
    p.write(input.data(), static_cast<qint64>(input.size()));
    p.closeWriteChannel();
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

const std::string kStream = bytes("83 7C 85 7A B2 05 10 58 81 7E");

TEST(DecodeCommand, ReadsFileAndPrintsAreaWithCrLfAndCut) {
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    std::string stream;
    for (int i = 0; i < 300; ++i)
        stream += bytes("83 7C");
    stream += bytes("E7 0E 7F 33 7F 10 3F 07 12 7F 0F 00 00 00");
    file.write(stream.data(), static_cast<qint64>(stream.size()));
    file.close();

    const Outcome r = run({QStringLiteral("--decode"), QStringLiteral("--area"), file.fileName()});
    EXPECT_EQ(r.status, 0);
    // the area grows by 29 characters a line and is cut to 4900 past 5000
    std::string expected;
    for (int i = 0; i < 300; ++i) {
        if (expected.size() > 5000)
            expected = expected.substr(expected.size() - 4900);
        expected += "Gleisspannung eingeschaltet\r\n";
    }
    if (expected.size() > 5000)
        expected = expected.substr(expected.size() - 4900);
    expected +=
        "Slot  127 = Lokadr. 16383, Geschw. 16 , Kat: 3 ,rückwärts F0 F1 F2 F3 F4 F5 F6 F\r\n"
        "7 F8 \r\n";
    EXPECT_EQ(r.out.toStdString(), expected);
}

// What cannot be done is said in one German line, with a status that is
// not success, and nothing runs away.
TEST(BadInput, OneGermanLineAndAStatus) {
    const struct {
        const char *program;
        QStringList args;
        const char *output_file; // standard output goes here, where given
        int status;
        const char *told;
    } rows[] = {
        {BUSLAUSCHER_BINARY,
         {"--decode", "/nonexistent/x.bin"},
         nullptr,
         2,
         "Datei nicht lesbar: /nonexistent/x.bin (nicht vorhanden)"},
        {BUSLAUSCHER_BINARY,
         {"--decode", "/tmp"},
         nullptr,
         2,
         "Datei nicht lesbar: /tmp (ist ein Ordner)"},
        {BUSLAUSCHER_BINARY, {"--decode", "--bogus"}, nullptr, 2, "Unbekannte Option: --bogus"},
        {BUSLAUSCHER_BINARY, {"--decode", "--rate"}, nullptr, 2, "Nach --rate fehlt ein Wert."},
        {BUSLAUSCHER_BINARY, {"--replay", "/tmp"}, nullptr, 2, "/tmp (ist ein Ordner)"},
        // an option that would do nothing where it is given is refused
        {BUSLAUSCHER_BINARY,
         {"--decode", "--serve", "1234"},
         nullptr,
         2,
         "--serve hat mit --decode keine Wirkung."},
        {BUSLAUSCHER_BINARY,
         {"--console", "--demo", "--serve-read-only"},
         nullptr,
         2,
         "--serve-read-only gehört zu --serve."},
        {BUSLAUSCHER_BINARY,
         {"--console", "--demo", "--port", "/dev/ttyACM0"},
         nullptr,
         2,
         "--port hat mit --demo keine Wirkung."},
        {BUSLAUSCHER_SIM_BINARY,
         {"--lbserver", "0", "--link", "/tmp/x"},
         nullptr,
         2,
         "--link gehört zu --pty."},
        // output that cannot be written is an error, as with --decode
        {BUSLAUSCHER_BINARY,
         {"--console", "--demo"},
         "/dev/full",
         1,
         "Ausgabe nicht schreibbar: der Datenträger ist voll"},
        {BUSLAUSCHER_BINARY,
         {"--decode"},
         "/dev/full",
         1,
         "Ausgabe nicht schreibbar: der Datenträger ist voll"},
        {BUSLAUSCHER_BINARY,
         {"--console", "--demo", "--rate", "inf"},
         nullptr,
         2,
         "--rate braucht"},
        {BUSLAUSCHER_BINARY,
         {"--console", "--demo", "--rate", "1e9"},
         nullptr,
         2,
         "--rate braucht"},
        {BUSLAUSCHER_SIM_BINARY, {"--pty", "--rate", "inf"}, nullptr, 2, "--rate braucht"},
        {BUSLAUSCHER_EXTCAP_BINARY,
         {"--bogus"},
         nullptr,
         2,
         "bus-lauscher-extcap: Unbekannte Option: --bogus"},
        {BUSLAUSCHER_BINARY,
         {"--console", "--interface", "usb", "--port", "/dev/null"},
         nullptr,
         1,
         "kein serielles Gerät"},
        // one way to run at a time, each value once
        {BUSLAUSCHER_BINARY,
         {"--decode", "--replay", "x.pcapng"},
         nullptr,
         2,
         "--decode und --replay schließen sich aus."},
        {BUSLAUSCHER_BINARY,
         {"--console", "--decode"},
         nullptr,
         2,
         "--decode und --console schließen sich aus."},
        {BUSLAUSCHER_BINARY,
         {"--decode", "--pcap", "/tmp/a.pcapng", "--pcap", "/tmp/b.pcapng"},
         nullptr,
         2,
         "--pcap ist mehrmals angegeben"},
    };
    for (const auto &row : rows) {
        QProcess p;
        if (row.output_file)
            p.setStandardOutputFile(QString::fromLatin1(row.output_file));
        p.start(QString::fromLatin1(row.program), row.args);
        p.write(QByteArray::fromStdString(kStream));
        p.closeWriteChannel();
        ASSERT_TRUE(p.waitForFinished(10000)) << row.args.join(' ').toStdString();
        EXPECT_EQ(p.exitCode(), row.status) << row.args.join(' ').toStdString();
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_TRUE(err.contains(QString::fromUtf8(row.told))) << err.toStdString();
    }
}

// The server's address is taken: said in German.
TEST(BadInput, AnAddressInUseIsSaidInGerman) {
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    const Outcome o = run({QStringLiteral("--console"), QStringLiteral("--demo"),
                           QStringLiteral("--serve"), QString::number(taken.serverPort())});
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(o.err.contains("die Adresse wird schon benutzt")) << o.err.toStdString();
}

// A file name that is no UTF-8 (any bytes are a Linux file name) is found.
TEST(BadInput, AFileNameThatIsNoUtf8IsFound) {
    QTemporaryDir dir;
    const QByteArray name = QFile::encodeName(dir.path()) + "/Verlauf-\xE4.bin";
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, kStream.data(), kStream.size()), static_cast<ssize_t>(kStream.size()));
    ::close(fd);
    // the name goes to the program byte for byte, past Qt's conversion
    QProcess p;
    p.start(QStringLiteral("bash"),
            {QStringLiteral("-c"),
             QStringLiteral("exec \"$0\" --decode \"$1\"/Verlauf-$'\\xe4'.bin"),
             QStringLiteral(BUSLAUSCHER_BINARY), dir.path()});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(p.readAllStandardOutput().startsWith("Gleisspannung eingeschaltet\n"));
    ::unlink(name.constData());

    // a recording named so is made under exactly that name
    QProcess pcap;
    pcap.start(
        QStringLiteral("bash"),
        {QStringLiteral("-c"),
         QStringLiteral("exec \"$0\" --decode /dev/null --pcap \"$1\"/Mitschnitt-$'\\xe4'.pcapng"),
         QStringLiteral(BUSLAUSCHER_BINARY), dir.path()});
    ASSERT_TRUE(pcap.waitForFinished(10000));
    EXPECT_EQ(pcap.exitCode(), 0) << pcap.readAllStandardError().toStdString();
    struct stat info {};
    const QByteArray recorded = QFile::encodeName(dir.path()) + "/Mitschnitt-\xE4.pcapng";
    EXPECT_EQ(::stat(recorded.constData(), &info), 0);

    // a link that leads nowhere is a name taken, said in German
    const QString dangling = dir.filePath(QStringLiteral("weg.pcapng"));
    ASSERT_EQ(::symlink("/nonexistent/ziel", QFile::encodeName(dangling).constData()), 0);
    const Outcome linked = run({QStringLiteral("--decode"), QStringLiteral("--pcap"), dangling});
    EXPECT_EQ(linked.status, 2);
    EXPECT_TRUE(linked.err.contains("gibt es schon")) << linked.err.toStdString();
    std::filesystem::remove_all(recorded.toStdString());
}

// A home folder whose name is no UTF-8: the recording goes into its
// documents folder, no folder of another name is made.
TEST(BadInput, AHomeWhoseNameIsNoUtf8KeepsItsName) {
    QTemporaryDir dir;
    const QByteArray home = QFile::encodeName(dir.path()) + "/Heim-\xE4";
    ASSERT_EQ(::mkdir(home.constData(), 0700), 0);
    QProcess p;
    p.start(QStringLiteral("bash"),
            {QStringLiteral("-c"),
             QStringLiteral("HOME=\"$1\"/Heim-$'\\xe4' XDG_CONFIG_HOME=\"$1\" exec \"$0\" "
                            "--console --demo --record"),
             QStringLiteral(BUSLAUSCHER_BINARY), dir.path()});
    const QByteArray documents = home + "/Documents";
    EXPECT_TRUE(bl::testing::wait_until([&] {
        struct stat info {};
        return ::stat(documents.constData(), &info) == 0;
    })) << p.readAllStandardError().toStdString();
    bl::testing::signal_process(p, SIGINT);
    ASSERT_TRUE(p.waitForFinished(5000));
    // std::filesystem keeps a name's bytes, as Qt does not
    std::vector<std::string> made;
    for (const auto &entry : std::filesystem::directory_iterator(dir.path().toStdString()))
        made.push_back(entry.path().filename().string());
    EXPECT_EQ(made, std::vector<std::string>{"Heim-\xE4"});
    std::filesystem::remove_all(home.toStdString());
}

// Frames as LocoNet does, written apart from the program's framer: a
// message runs from an opcode until it holds the bytes its opcode (or its
// length byte) asks for.
struct Independent {
    long messages = 0;
    long bad_checksums = 0;
};
Independent frame_independently(const std::string &stream) {
    Independent count;
    std::vector<int> msg;
    int wanted = 0;
    for (const char ch : stream) {
        const int c = static_cast<unsigned char>(ch);
        if (c >= 0x80) {
            msg = {c};
            wanted = c < 0xA0 ? 2 : c < 0xC0 ? 4 : c < 0xE0 ? 6 : -1;
            continue;
        }
        if (msg.empty() || msg.size() > 600)
            continue;
        msg.push_back(c);
        if (wanted == -1)
            wanted = c;
        if (static_cast<int>(msg.size()) == wanted) {
            ++count.messages;
            int x = 0;
            for (const int b : msg)
                x ^= b;
            count.bad_checksums += x != 0xFF;
            msg.clear();
        }
    }
    return count;
}

TEST(DecodeCommand, StatsCountLikeAnIndependentFramer) {
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        // realistic traffic, with bytes changed, dropped and thrown in
        std::mt19937 rng(seed);
        std::string noisy;
        for (const char c : bl::testing::mixed_traffic(3000, seed)) {
            const auto r = static_cast<unsigned>(rng() % 100);
            if (r == 0)
                continue;
            noisy.push_back(r == 1 ? static_cast<char>(rng()) : c);
            if (r == 2)
                noisy.push_back(static_cast<char>(rng()));
        }
        const Outcome plain = run({QStringLiteral("--decode")}, noisy);
        const Outcome stats = run({QStringLiteral("--decode"), QStringLiteral("--stats")}, noisy);
        EXPECT_EQ(stats.out, plain.out) << "standard output stays as it is";
        const Independent expected = frame_independently(noisy);
        const QList<QByteArray> report = stats.err.split('\n');
        ASSERT_GE(report.size(), 3);
        EXPECT_EQ(report[0], "Meldungen: " + QByteArray::number(expected.messages));
        EXPECT_EQ(report[1], "Prüfsummenfehler: " + QByteArray::number(expected.bad_checksums));
        EXPECT_GT(expected.bad_checksums, 10) << "noisy enough";
    }
}

TEST(DecodeCommand, HelpAndVersion) {
    const Outcome help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("Aufruf: bus-lauscher [Optionen] [DATEI]\n"));
    EXPECT_TRUE(help.out.contains("\nOptionen:\n"));
    EXPECT_TRUE(help.out.contains("\nArgumente:\n"));
    EXPECT_TRUE(help.out.contains("lbserver://RECHNER")) << "under --port";
    EXPECT_FALSE(help.out.contains("Usage") || help.out.contains("Options:"));
    QProcess extcap;
    extcap.start(QStringLiteral(BUSLAUSCHER_EXTCAP_BINARY), {QStringLiteral("--help")});
    ASSERT_TRUE(extcap.waitForFinished(10000));
    EXPECT_EQ(extcap.exitCode(), 0);
    const QByteArray extcap_help = extcap.readAllStandardOutput();
    EXPECT_TRUE(extcap_help.startsWith("Aufruf: bus-lauscher-extcap [Optionen]\n"))
        << extcap_help.toStdString();
    EXPECT_TRUE(extcap_help.contains("--extcap-interfaces")) << "every option explained";
    const Outcome version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith("bus-lauscher "));
}

} // namespace

namespace {

QList<QJsonObject> json_lines(const QByteArray &out) {
    QList<QJsonObject> objects;
    for (const QByteArray &line : out.split('\n')) {
        if (line.isEmpty())
            continue;
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
        objects << doc.object();
    }
    return objects;
}

} // namespace

// --json: an object a message, every key there, replies linked to their
// request by its number, the fields by the filter's names, the filter
// choosing the messages.
TEST(DecodeCommand, JsonGivesAnObjectAMessage) {
    const std::string stream = bytes("BF 00 03 43 E7 0E 05 03 03 00 00 07 00 00 00 00 00 19 "
                                     "B2 0A 50 17 81 7E E7 02");
    const Outcome r = run({QStringLiteral("--decode"), QStringLiteral("--json")}, stream);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const QList<QJsonObject> objects = json_lines(r.out);
    ASSERT_EQ(objects.size(), 5);
    for (const QJsonObject &o : objects)
        for (const char *key : {"nr", "zeit", "richtung", "bytes", "pruefsumme_ok", "zeile",
                                "klartext", "antwort_auf", "felder"})
            EXPECT_TRUE(o.contains(QLatin1String(key))) << key;
    EXPECT_EQ(objects[0][QStringLiteral("nr")].toInt(), 1);
    EXPECT_TRUE(objects[0][QStringLiteral("zeit")].isNull()) << "raw bytes carry no time";
    EXPECT_EQ(objects[1][QStringLiteral("antwort_auf")].toInt(), 1);
    EXPECT_TRUE(objects[0][QStringLiteral("antwort_auf")].isNull());
    EXPECT_EQ(objects[1][QStringLiteral("felder")][QStringLiteral("loco")].toInt(), 3);
    EXPECT_EQ(objects[1][QStringLiteral("felder")][QStringLiteral("slot")].toInt(), 5);
    EXPECT_EQ(objects[2][QStringLiteral("zeile")].toString(),
              QStringLiteral("Rückmelder 21 = belegt"));
    EXPECT_EQ(objects[2][QStringLiteral("felder")][QStringLiteral("sensor")].toInt(), 21);
    EXPECT_EQ(objects[2][QStringLiteral("bytes")].toString(), QStringLiteral("B2 0A 50 17"));
    EXPECT_TRUE(objects[3][QStringLiteral("zeile")].isNull()) << "the busy message shows no line";
    EXPECT_FALSE(objects[3][QStringLiteral("klartext")].toString().isEmpty());
    EXPECT_EQ(objects[1][QStringLiteral("felder")][QStringLiteral("function_off")].toArray().size(),
              9);

    const Outcome filtered = run({QStringLiteral("--decode"), QStringLiteral("--json"),
                                  QStringLiteral("--filter"), QStringLiteral("lok=3")},
                                 stream);
    const QList<QJsonObject> taken = json_lines(filtered.out);
    ASSERT_EQ(taken.size(), 2);
    EXPECT_EQ(taken[1][QStringLiteral("nr")].toInt(), 2) << "numbers count every message";
}

// --state: the layout after the last message (or after message N) instead
// of the lines, as German tables or, with --json, one object.
TEST(DecodeCommand, StateAfterTheLastOrAnyMessage) {
    const std::string stream = bytes("83 7C E7 0E 05 33 03 40 30 07 00 00 01 11 00 44 "
                                     "B2 0A 50 17 B0 13 30 6C 82 7D");
    const Outcome text = run({QStringLiteral("--decode"), QStringLiteral("--state")}, stream);
    EXPECT_EQ(text.status, 0);
    const QString tables = QString::fromUtf8(text.out);
    EXPECT_TRUE(tables.startsWith(QStringLiteral("Stand nach Meldung Nr. 5\n")))
        << tables.toStdString();
    EXPECT_TRUE(tables.contains(QStringLiteral("Gleisspannung: aus")));
    EXPECT_TRUE(tables.contains(QStringLiteral("in_benutzung")));
    EXPECT_TRUE(tables.contains(QStringLiteral("Rückmelder")));

    const Outcome at = run({QStringLiteral("--decode"), QStringLiteral("--state-at"),
                            QStringLiteral("3"), QStringLiteral("--json")},
                           stream);
    const QJsonObject state = QJsonDocument::fromJson(at.out).object();
    EXPECT_EQ(state[QStringLiteral("nr")].toInt(), 3);
    EXPECT_EQ(state[QStringLiteral("gleisspannung")].toString(), QStringLiteral("an"));
    const QJsonArray slots = state[QStringLiteral("slots")].toArray();
    ASSERT_EQ(slots.size(), 1);
    EXPECT_EQ(slots[0][QStringLiteral("lok")].toInt(), 3);
    EXPECT_EQ(slots[0][QStringLiteral("status")].toString(), QStringLiteral("in_benutzung"));
    EXPECT_EQ(slots[0][QStringLiteral("richtung")].toString(), QStringLiteral("rückwärts"));
    EXPECT_EQ(slots[0][QStringLiteral("funktionen")].toArray().size(), 2);
    EXPECT_TRUE(
        state[QStringLiteral("rueckmelder")].toArray()[0][QStringLiteral("belegt")].toBool());
    EXPECT_TRUE(state[QStringLiteral("weichen")].toArray().isEmpty()) << "message 4 is after";
    EXPECT_EQ(
        run({QStringLiteral("--decode"), QStringLiteral("--state-at"), QStringLiteral("x")}, stream)
            .status,
        2);

    // a number past the end is said, not answered with the last state
    const Outcome past = run(
        {QStringLiteral("--decode"), QStringLiteral("--state-at"), QStringLiteral("6")}, stream);
    EXPECT_EQ(past.status, 1);
    EXPECT_TRUE(past.out.isEmpty());
    EXPECT_TRUE(QString::fromUtf8(past.err).contains(QStringLiteral("Meldung Nr. 6 gibt es nicht")))
        << past.err.toStdString();

    // a filter chooses the rows, as in the window
    const Outcome chosen =
        run({QStringLiteral("--decode"), QStringLiteral("--state"), QStringLiteral("--json"),
             QStringLiteral("--filter"), QStringLiteral("weiche=20")},
            stream);
    const QJsonObject only = QJsonDocument::fromJson(chosen.out).object();
    EXPECT_TRUE(only[QStringLiteral("slots")].toArray().isEmpty());
    EXPECT_TRUE(only[QStringLiteral("rueckmelder")].toArray().isEmpty());
    ASSERT_EQ(only[QStringLiteral("weichen")].toArray().size(), 1);
    EXPECT_EQ(only[QStringLiteral("weichen")].toArray()[0][QStringLiteral("weiche")].toInt(), 20);
    const QString belegt =
        QString::fromUtf8(run({QStringLiteral("--decode"), QStringLiteral("--state"),
                               QStringLiteral("--filter"), QStringLiteral("belegt")},
                              stream)
                              .out);
    EXPECT_TRUE(belegt.contains(QStringLiteral("Rückmelder\n  Rückmelder")))
        << belegt.toStdString();
    EXPECT_TRUE(belegt.contains(QStringLiteral("Slots\n  (keine)"))) << belegt.toStdString();
}

// The state and the findings print no lines, so none is made; a recording
// beside them still keeps each message's line with it.
TEST(DecodeCommand, ARecordingBesideTheStateKeepsTheLines) {
    QTemporaryDir dir;
    for (const char *instead : {"--state", "--findings"}) {
        const QString file = dir.filePath(QLatin1String(instead + 2) + QStringLiteral(".pcapng"));
        const Outcome o = run(
            {QStringLiteral("--decode"), QLatin1String(instead), QStringLiteral("--pcap"), file},
            kStream);
        EXPECT_EQ(o.status, 0) << o.err.toStdString();
        QFile recorded(file);
        ASSERT_TRUE(recorded.open(QIODevice::ReadOnly));
        const QByteArray pcapng = recorded.readAll();
        for (const char *line : {"Gleisspannung eingeschaltet", "HEX: 85 7A", "11 = belegt"})
            EXPECT_TRUE(pcapng.contains(line)) << instead << ": " << line;
    }
}

namespace {

// A pcapng capture of the messages (bytes without their checksum), each at
// its time in seconds.
std::string timed_capture(const std::vector<std::pair<double, std::string>> &messages) {
    std::string out =
        bl::capture::section_header_block("test") + bl::capture::interface_block("test", "test");
    for (const auto &[seconds, hex] : messages) {
        std::string b = bytes(hex);
        b.push_back(static_cast<char>(bl::loconet::checksum(b.begin(), b.end())));
        bl::loconet::Message m = bl::loconet::message_of(b.begin(), b.end());
        m.wall_us = 1'700'000'000'000'000 + static_cast<std::int64_t>(seconds * 1e6);
        out += bl::capture::packet_block(m, "");
    }
    return out;
}

} // namespace

// --findings: a German line per finding as it is found, or an object per
// finding with --json; the filter's "befund" takes the messages they name.
TEST(DecodeCommand, FindingsInsteadOfTheLines) {
    const std::string capture = timed_capture(
        {{0.0, "BF 00 03"}, {0.1, "B2 02 50"}, {1.5, "BB 05 00"}, {1.6, "B4 3B 00"}, {2.0, "82"}});
    const Outcome text = run({QStringLiteral("--decode"), QStringLiteral("--findings")}, capture);
    EXPECT_EQ(text.status, 0) << text.err.toStdString();
    EXPECT_TRUE(text.err.isEmpty()) << "the capture has times: " << text.err.toStdString();
    const QStringList lines =
        QString::fromUtf8(text.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << text.out.toStdString();
    EXPECT_TRUE(lines[0].contains(QStringLiteral("Warnung  unbeantwortet  Nr. 1: Keine Antwort")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains(QStringLiteral("abgelehnt  Nr. 4: Abgelehnt: ")))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].contains(QStringLiteral("gleisspannung  Nr. 5")));

    const Outcome json =
        run({QStringLiteral("--decode"), QStringLiteral("--findings"), QStringLiteral("--json")},
            capture);
    const QList<QJsonObject> objects = json_lines(json.out);
    ASSERT_EQ(objects.size(), 3);
    for (const QJsonObject &o : objects)
        for (const char *key : {"nr", "zeit", "art", "schwere", "text", "meldungen"})
            EXPECT_TRUE(o.contains(QLatin1String(key))) << key;
    EXPECT_EQ(objects[1][QStringLiteral("art")].toString(), QStringLiteral("abgelehnt"));
    EXPECT_EQ(objects[1][QStringLiteral("schwere")].toString(), QStringLiteral("Warnung"));
    EXPECT_EQ(objects[1][QStringLiteral("meldungen")].toArray(), (QJsonArray{4, 3}));
    EXPECT_TRUE(objects[1][QStringLiteral("zeit")].toString().startsWith(QStringLiteral("20")));

    // the messages a finding names, among the lines
    const Outcome named = run({QStringLiteral("--decode"), QStringLiteral("--filter"),
                               QStringLiteral("befund=abgelehnt")},
                              capture);
    EXPECT_EQ(named.out.count('\n'), 1) << named.out.toStdString();

    // raw bytes carry no time: the rules that need it are passed over, said once
    const Outcome raw =
        run({QStringLiteral("--decode"), QStringLiteral("--findings")}, bytes("BF 00 03 43 82 7D"));
    EXPECT_EQ(raw.status, 0);
    EXPECT_EQ(QString::fromUtf8(raw.out).count(QLatin1Char('\n')), 1)
        << "the power, not the request";
    EXPECT_TRUE(QString::fromUtf8(raw.err).contains(QStringLiteral("keine Zeiten")));
    EXPECT_EQ(
        run({QStringLiteral("--decode"), QStringLiteral("--findings"), QStringLiteral("--state")},
            {})
            .status,
        2);
}

// --ring on the console: files of at most the size, at most the number, each
// a whole capture also after SIGTERM, which ends the program at once.
TEST(ConsoleRing, RotatesAndEndsWholeAtSigterm) {
    QTemporaryDir dir;
    const QString ring = dir.filePath(QStringLiteral("ring"));
    QProcess p;
    p.start(QStringLiteral(BUSLAUSCHER_BINARY),
            {QStringLiteral("--console"), QStringLiteral("--demo"), QStringLiteral("--rate"),
             QStringLiteral("300"), QStringLiteral("--ring"), ring, QStringLiteral("--ring-size"),
             QStringLiteral("2"), QStringLiteral("--ring-files"), QStringLiteral("3")});
    ASSERT_TRUE(p.waitForStarted());
    QThread::msleep(2500);
    QElapsedTimer ending;
    ending.start();
    ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_LT(ending.elapsed(), 1000);
    const QStringList files = QDir(ring).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 3) << p.readAllStandardError().toStdString();
    for (const QString &name : files) {
        const QString path = QDir(ring).filePath(name);
        EXPECT_LE(QFileInfo(path).size(), 2048);
        const Outcome read = run({QStringLiteral("--decode"), path});
        EXPECT_EQ(read.status, 0) << name.toStdString();
        EXPECT_TRUE(read.err.isEmpty()) << "whole: " << read.err.toStdString();
        EXPECT_GT(read.out.count('\n'), 0); // the last may have begun just now
    }
    EXPECT_EQ(run({QStringLiteral("--console"), QStringLiteral("--ring-size"), QStringLiteral("5")})
                  .status,
              2)
        << "--ring-size without --ring";
    EXPECT_EQ(
        run({QStringLiteral("--console"), QStringLiteral("--trigger"), QStringLiteral("(")}).status,
        2);
}
