// Recordings read back by the shipped program: every packet of a LocoNet
// interface, with the time and direction it was recorded with, whatever
// else the file holds and however it arrives; a recording it makes that
// is cut short, or a signal, is never a silent success.
#include "capture/pcap_format.h"
#include "support/bytes.h"
#include "support/file_size_limit.h"
#include "support/process.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bl::capture {
namespace {

struct Outcome {
    int status;
    QByteArray out;
    QByteArray err;
};

Outcome run(const QStringList &args, const QByteArray &input = {},
            const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(BUSLAUSCHER_BINARY), args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

constexpr std::int64_t kStart = 1'700'000'000'000'000; // µs

loconet::Message message(std::string_view hex_without_checksum, std::int64_t at_us,
                         loconet::Direction direction = loconet::Direction::Received) {
    std::string b = testing::bytes(hex_without_checksum);
    b.push_back(static_cast<char>(loconet::checksum(b.begin(), b.end())));
    loconet::Message m = loconet::message_of(b.begin(), b.end());
    m.wall_us = kStart + at_us;
    m.direction = direction;
    return m;
}

// A sensor, our switch command and its echo 250 µs later, power on; beside
// them an Ethernet interface (index 1) with packets of its own.
std::string mixed_recording(bool with_loconet = true) {
    std::string ethernet = interface_block("eth0", "");
    ethernet[8] = 1;
    ethernet[9] = 0;
    std::string foreign = packet_block(message("83", 5), "");
    foreign[8] = 1; // on interface 1
    std::string file = section_header_block("test") + interface_block("demo", "") + ethernet;
    file += foreign;
    if (with_loconet) {
        file += packet_block(message("B2 05 10", 1), "");
        file += packet_block(message("B0 04 30", 100, loconet::Direction::Sent), "");
        file += foreign;
        file += packet_block(message("B0 04 30", 350), "");
        file += packet_block(message("83", 351), "");
    }
    return file;
}

QByteArray bytes_of(const std::string &s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

QProcessEnvironment window_environment(const QTemporaryDir &home) {
    QDir(home.path()).mkpath(QStringLiteral("Documents"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

TEST(RecordedCapture, EveryLocoNetInterfaceIsReadAndTheOthersCounted) {
    const Outcome decoded = run({QStringLiteral("--decode")}, bytes_of(mixed_recording()));
    EXPECT_EQ(decoded.status, 0);
    // the send is no line of the monitor; its echo is
    EXPECT_EQ(decoded.out, QByteArray("Rückmelder 11 = belegt\nMag.-Art.: 5 - grün - ein \n"
                                      "Gleisspannung eingeschaltet\n"));
    EXPECT_TRUE(decoded.err.contains("2 Pakete anderer Schnittstellen")) << decoded.err.data();

    QTemporaryDir home;
    const QString file = home.filePath(QStringLiteral("mixed.pcapng"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes_of(mixed_recording()));
    out.close();
    const Outcome replayed =
        run({QStringLiteral("--replay"), file, QStringLiteral("--exit-after-replay"),
             QStringLiteral("--record")},
            {}, window_environment(home));
    EXPECT_EQ(replayed.status, decoded.status);
    const QDir documents(home.filePath(QStringLiteral("Documents")));
    const QStringList traces = documents.entryList({QStringLiteral("*.txt")}, QDir::Files);
    ASSERT_EQ(traces.size(), 1);
    QFile trace(documents.filePath(traces[0]));
    ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
    EXPECT_EQ(trace.readAll().count("\r\n"), 3);

    // nothing of LocoNet at all: refused alike
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(bytes_of(mixed_recording(false)));
    out.close();
    EXPECT_EQ(run({QStringLiteral("--decode"), file}).status, 2);
    EXPECT_EQ(run({QStringLiteral("--replay"), file, QStringLiteral("--exit-after-replay")}, {},
                  window_environment(home))
                  .status,
              2);
}

// Read back and recorded again: each message keeps its microseconds and
// its direction, and "gesendet" finds our own send in the monitor's lines.
TEST(RecordedCapture, TimesAndDirectionsSurviveARecordingOfARecording) {
    QTemporaryDir dir;
    const QString again = dir.filePath(QStringLiteral("again.pcapng"));
    const Outcome r = run({QStringLiteral("--decode"), QStringLiteral("--pcap"), again},
                          bytes_of(mixed_recording()));
    ASSERT_EQ(r.status, 0) << r.err.data();
    QFile file(again);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    std::vector<std::pair<std::int64_t, bool>> packets;
    CaptureReader reader(
        [&](const Packet &p) { packets.emplace_back(p.time_us - kStart, p.outbound); });
    reader.feed(std::string_view(written.constData(), static_cast<std::size_t>(written.size())));
    reader.finish();
    EXPECT_FALSE(reader.problem().has_value());
    const std::vector<std::pair<std::int64_t, bool>> expected = {
        {1, false}, {100, true}, {350, false}, {351, false}};
    EXPECT_EQ(packets, expected);

    const Outcome sent =
        run({QStringLiteral("--decode"), QStringLiteral("--filter"), QStringLiteral("gesendet")},
            bytes_of(mixed_recording()));
    EXPECT_EQ(sent.out, QByteArray("Mag.-Art.: 5 - grün - ein \n"));

    // --json tells each message's time to the microsecond and its direction
    const QList<QByteArray> objects =
        run({QStringLiteral("--decode"), QStringLiteral("--json")}, bytes_of(mixed_recording()))
            .out.split('\n');
    ASSERT_GE(objects.size(), 4);
    EXPECT_TRUE(objects[0].contains(".000001")) << objects[0].toStdString();
    EXPECT_TRUE(objects[1].contains("\"richtung\":\"gesendet\"")) << objects[1].toStdString();
    EXPECT_TRUE(objects[1].contains(".000100")) << objects[1].toStdString();
    EXPECT_TRUE(objects[2].contains("\"richtung\":\"echo\"")) << objects[2].toStdString();
}

// A pipe may hand over the first bytes one at a time: the format is told
// by the first four, however they come.
TEST(RecordedCapture, AReplayFromAPipeKnowsACaptureByItsFirstFourBytes) {
    QTemporaryDir home;
    QProcess window;
    window.setProcessEnvironment(window_environment(home));
    window.start(QStringLiteral(BUSLAUSCHER_BINARY),
                 {QStringLiteral("--replay"), QStringLiteral("/dev/stdin"),
                  QStringLiteral("--exit-after-replay"), QStringLiteral("--record")});
    ASSERT_TRUE(window.waitForStarted());
    const QByteArray recording = bytes_of(mixed_recording());
    window.write(recording.left(2));
    ASSERT_TRUE(window.waitForBytesWritten());
    // the rest only once the program has surely read the first two
    ::usleep(300'000);
    window.write(recording.mid(2));
    window.closeWriteChannel();
    ASSERT_TRUE(window.waitForFinished(10000));
    EXPECT_EQ(window.exitCode(), 0) << window.readAllStandardError().data();
    const QDir documents(home.filePath(QStringLiteral("Documents")));
    const QStringList traces = documents.entryList({QStringLiteral("*.txt")}, QDir::Files);
    ASSERT_EQ(traces.size(), 1);
    QFile trace(documents.filePath(traces[0]));
    ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
    const QByteArray lines = trace.readAll();
    EXPECT_EQ(lines.count("\r\n"), 3);
    EXPECT_FALSE(lines.contains("HEX")) << "no bytes of the file taken for messages";
}

TEST(RecordedCapture, ARecordingCutShortIsNoSuccess) {
    QTemporaryDir dir;
    const QString cut = dir.filePath(QStringLiteral("cut.pcapng"));
    std::string traffic;
    for (int i = 0; i < 2000; ++i)
        traffic += testing::bytes("B2 05 10 58");
    Outcome r;
    {
        const testing::FileSizeLimit limit(4096);
        r = run({QStringLiteral("--decode"), QStringLiteral("--pcap"), cut}, bytes_of(traffic));
    }
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(cut.toUtf8())) << r.err.data();
    EXPECT_EQ(r.out.count('\n'), 2000) << "every line is still shown";
}

// A signal while the input is still open: the lines so far, whole, and the
// report, with the status of the signal.
TEST(RecordedCapture, ASignalEndsTheDecodingWithWholeLinesAndTheReport) {
    QTemporaryDir dir;
    const QByteArray fifo = dir.filePath(QStringLiteral("in")).toLocal8Bit();
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const int writer = ::open(fifo.constData(), O_RDWR); // held open: no end of input
    ASSERT_GE(writer, 0);
    QProcess p;
    p.start(QStringLiteral(BUSLAUSCHER_BINARY),
            {QStringLiteral("--decode"), QStringLiteral("--stats"), QString::fromLocal8Bit(fifo)});
    ASSERT_TRUE(p.waitForStarted());
    std::string traffic;
    for (int i = 0; i < 500; ++i)
        traffic += testing::bytes("B2 05 10 58 83 7C");
    ASSERT_EQ(::write(writer, traffic.data(), traffic.size()),
              static_cast<ssize_t>(traffic.size()));
    // once the program has taken every byte out of the pipe
    ASSERT_TRUE(testing::wait_until([writer] {
        int waiting = -1;
        return ::ioctl(writer, FIONREAD, &waiting) == 0 && waiting == 0;
    }));
    testing::signal_process(p, SIGTERM);
    ASSERT_TRUE(p.waitForFinished(5000));
    ::close(writer);
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 128 + SIGTERM);
    const QByteArray out = p.readAllStandardOutput();
    EXPECT_EQ(out.count('\n'), 1000);
    EXPECT_TRUE(out.endsWith('\n'));
    EXPECT_FALSE(p.readAllStandardError().isEmpty()) << "the report";
}

} // namespace
} // namespace bl::capture
