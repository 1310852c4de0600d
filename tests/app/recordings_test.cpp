// Ring recording and trigger events: sizes and counts of the files, no
// message lost or doubled at a change of file, the seconds around an event,
// overlapping events in one file, and a folder that vanishes or a disk that
// is full.
#include "app/ring_recording.h"
#include "app/trigger_recording.h"
#include "capture/pcap_format.h"
#include "support/file_size_limit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace bl {
namespace {

// A receive path whose messages carry the time the test sets.
struct Bus {
    ModVariablen vars;
    loconet::BusCounts counts;
    loconet::EchoWatch echoes;
    loconet::BusContext context;
    std::int64_t now_ns = 1'000'000'000;
    Receiver receiver{vars,
                      vars,
                      counts,
                      echoes,
                      [this] {
                          return MessageStamp{1'700'000'000'000'000 + now_ns / 1000, now_ns};
                      },
                      {}};
    Bus() {
        receiver.set_annotate([this](loconet::Message &m) { context.observe(m); });
    }
    // a speed message whose value tells its place (0..127, then again)
    void speed(int value) {
        const std::uint8_t b[] = {0xA0, 0x01, static_cast<std::uint8_t>(value & 0x7F)};
        std::string bytes(reinterpret_cast<const char *>(b), 3);
        bytes.push_back(static_cast<char>(loconet::checksum(b, b + 3)));
        receiver.framing_steps(bytes);
    }
    void sensor(bool occupied) { // rm=5
        const std::uint8_t b[] = {0xB2, 0x02, static_cast<std::uint8_t>(occupied ? 0x50 : 0x40)};
        std::string bytes(reinterpret_cast<const char *>(b), 3);
        bytes.push_back(static_cast<char>(loconet::checksum(b, b + 3)));
        receiver.framing_steps(bytes);
    }
};

struct Read {
    std::vector<int> speeds;           // of the speed messages, in order
    std::vector<std::int64_t> seconds; // of every packet, from the bus's start
    bool whole = true;
};

Read read(const QString &path) {
    QFile f(path);
    Read r;
    if (!f.open(QIODevice::ReadOnly)) {
        r.whole = false;
        return r;
    }
    const QByteArray bytes = f.readAll();
    capture::CaptureReader reader([&r](const capture::Packet &p) {
        if (static_cast<unsigned char>(p.bytes[0]) == 0xA0)
            r.speeds.push_back(static_cast<unsigned char>(p.bytes[2]));
        r.seconds.push_back((p.time_us - 1'700'000'000'000'000) / 1'000'000);
    });
    reader.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    reader.finish();
    r.whole = !reader.problem();
    return r;
}

TEST(RingRecording, RotatesWithoutGapOrDoubleAndKeepsTheNewestFiles) {
    QTemporaryDir dir;
    Bus bus;
    RingRecording ring(bus.receiver, dir.path() + QStringLiteral("/ring"), {600, 3},
                       QStringLiteral("test"), QStringLiteral("test"));
    ASSERT_EQ(ring.start(), std::nullopt);
    for (int i = 0; i < 200; ++i)
        bus.speed(i);
    ring.stop();
    const QStringList files = ring.files();
    ASSERT_EQ(files.size(), 3);
    EXPECT_EQ(QDir(dir.path() + QStringLiteral("/ring")).entryList(QDir::Files).size(), 3)
        << "the oldest are deleted";
    EXPECT_LT(files[0], files[1]) << "names sort in recording order";
    std::vector<int> speeds;
    for (const QString &path : files) {
        EXPECT_LE(QFile(path).size(), 600) << path.toStdString();
        const Read r = read(path);
        EXPECT_TRUE(r.whole) << "each file opens on its own";
        EXPECT_FALSE(r.speeds.empty());
        speeds.insert(speeds.end(), r.speeds.begin(), r.speeds.end());
    }
    // consecutive up to the last message sent: nothing lost at a change, nothing twice
    ASSERT_FALSE(speeds.empty());
    EXPECT_EQ(speeds.back(), 199 & 0x7F);
    for (std::size_t i = 1; i < speeds.size(); ++i)
        EXPECT_EQ(speeds[i], (speeds[i - 1] + 1) & 0x7F) << i;
}

TEST(RingRecording, AVanishedFolderOrAFullDiskEndsTheRingWithAReason) {
    QTemporaryDir dir;
    Bus bus;
    const QString folder = dir.path() + QStringLiteral("/ring");
    RingRecording ring(bus.receiver, folder, {300, 3}, QStringLiteral("t"), QStringLiteral("t"));
    QString told;
    ring.on_failure([&told](const QString &reason) { told = reason; });
    ASSERT_EQ(ring.start(), std::nullopt);
    bus.speed(1);
    ASSERT_TRUE(QDir(folder).removeRecursively());
    for (int i = 0; i < 50; ++i)
        bus.speed(i); // the next file cannot be made
    EXPECT_FALSE(ring.running());
    EXPECT_FALSE(told.isEmpty());

    Bus full;
    RingRecording limited(full.receiver, dir.path() + QStringLiteral("/full"), {100'000, 3},
                          QStringLiteral("t"), QStringLiteral("t"));
    QString reason;
    limited.on_failure([&reason](const QString &r) { reason = r; });
    ASSERT_EQ(limited.start(), std::nullopt);
    {
        const testing::FileSizeLimit limit(1000);
        for (int i = 0; i < 100; ++i)
            full.speed(i);
    }
    EXPECT_FALSE(limited.running());
    EXPECT_FALSE(reason.isEmpty());
    const Read r = read(limited.files().value(0));
    EXPECT_TRUE(r.whole) << "the file ends with its last whole block";
    EXPECT_FALSE(r.speeds.empty());
    full.speed(5); // monitoring goes on
    EXPECT_EQ(full.counts.messages, 101u);
}

TriggerRecording::Settings on_sensor(const QString &folder, double before, double after) {
    auto read = filter::Filter::parse("rm=5");
    return {std::get<filter::Filter>(std::move(read)), QStringLiteral("rm=5"), before, after,
            folder};
}

// A message a second; the sensor at the given seconds.
std::vector<Read> events(const std::vector<int> &at, int seconds, double before, double after) {
    QTemporaryDir dir;
    Bus bus;
    std::vector<Read> out;
    {
        TriggerRecording triggers(bus.receiver, bus.context, nullptr,
                                  on_sensor(dir.path(), before, after), QStringLiteral("t"),
                                  QStringLiteral("t"));
        for (int s = 0; s < seconds; ++s) {
            bus.now_ns = 1'000'000'000LL * s;
            if (std::find(at.begin(), at.end(), s) != at.end())
                bus.sensor(s % 2 == 0);
            else
                bus.speed(s);
            triggers.tick(bus.now_ns);
        }
        triggers.finish();
        for (const QString &path : triggers.saved())
            out.push_back(read(path));
    }
    return out;
}

std::vector<std::int64_t> span(const Read &r) {
    return {r.seconds.front(), r.seconds.back(), static_cast<std::int64_t>(r.seconds.size())};
}

TEST(TriggerRecording, KeepsTheSecondsAroundEachEventAndMergesOverlaps) {
    // two events close together are one file; a later one its own
    const auto three = events({20, 25, 50}, 60, 3, 2);
    ASSERT_EQ(three.size(), 2u);
    EXPECT_EQ(span(three[0]), (std::vector<std::int64_t>{17, 27, 11}));
    EXPECT_EQ(span(three[1]), (std::vector<std::int64_t>{47, 52, 6}));
    EXPECT_TRUE(three[0].whole && three[1].whole);
    // apart by more than before and after: two files
    const auto apart = events({20, 26}, 40, 3, 2);
    ASSERT_EQ(apart.size(), 2u);
    EXPECT_EQ(span(apart[0]), (std::vector<std::int64_t>{17, 22, 6}));
    EXPECT_EQ(span(apart[1]), (std::vector<std::int64_t>{23, 28, 6}));
    // at the start and the end of a run: what there is
    const auto edges = events({1, 39}, 40, 3, 2);
    ASSERT_EQ(edges.size(), 2u);
    EXPECT_EQ(span(edges[0]), (std::vector<std::int64_t>{0, 3, 4}));
    EXPECT_EQ(span(edges[1]), (std::vector<std::int64_t>{36, 39, 4}));
}

TEST(TriggerRecording, AFolderThatCannotBeMadeIsToldAndTheNextEventTriesAgain) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("kein-ordner")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    Bus bus;
    TriggerRecording triggers(bus.receiver, bus.context, nullptr,
                              on_sensor(blocker.fileName(), 1, 1), QStringLiteral("t"),
                              QStringLiteral("t"));
    QString told;
    triggers.on_failure([&told](const QString &reason) { told = reason; });
    bus.sensor(true);
    EXPECT_FALSE(told.isEmpty());
    EXPECT_TRUE(triggers.saved().isEmpty());
}

} // namespace
} // namespace bl
