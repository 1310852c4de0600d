#include "app/state_report.h"

#include <QDateTime>
#include <QTimeZone>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <random>

namespace bl {
namespace {

// The zone for one test, and the one before it again afterwards.
class LocalZone {
public:
    explicit LocalZone(const char *zone)
        : before_(qgetenv("TZ")), had_(qEnvironmentVariableIsSet("TZ")) {
        qputenv("TZ", zone);
        tzset();
    }
    ~LocalZone() {
        if (had_)
            qputenv("TZ", before_);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    QByteArray before_;
    bool had_;
};

QString by_qt(std::int64_t ms) {
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("hh:mm:ss,zzz"));
}

// Times of day as the local clock shows them, also on both sides of a change
// of the clocks and in zones half and three quarters of an hour off.
TEST(TimeOfDay, AsTheLocalClockShowsIt) {
    EXPECT_EQ(time_of_day(0), QString());
    EXPECT_EQ(time_of_day(-5), QString());
    for (const char *zone : {"UTC", "Europe/Berlin", "America/New_York", "Asia/Kolkata",
                             "Asia/Kathmandu", "Australia/Lord_Howe"}) {
        const LocalZone local(zone);
        std::mt19937_64 random(42);
        for (int i = 0; i < 2000; ++i) {
            const auto ms = static_cast<std::int64_t>(random() % 4'000'000'000'000ull) + 1;
            ASSERT_EQ(time_of_day(ms * 1000).toStdString(), by_qt(ms).toStdString())
                << zone << " " << ms;
        }
        // around the spring and autumn changes of 2026, in steps of a minute
        for (const std::int64_t change : {std::int64_t{1774746000000}, std::int64_t{1792890000000}})
            for (std::int64_t ms = change - 7'200'000; ms < change + 7'200'000; ms += 60'000 - 1)
                ASSERT_EQ(time_of_day(ms * 1000).toStdString(), by_qt(ms).toStdString())
                    << zone << " " << ms;
    }
}

} // namespace
} // namespace bl
