#include "connection/init_paths.h"
#include "trace/trace_naming.h"

#include <gtest/gtest.h>

namespace bl {
namespace {

TEST(TraceNaming, ShortDateTwoUnderscoresAndTime) {
    const QDateTime when(QDate(2024, 3, 3), QTime(14, 5, 9));
    const struct {
        QLocale locale;
        const char *name;
    } rows[] = {
        {QLocale(QLocale::German, QLocale::Germany), "03.03.2024__14_05_09"},
        // "/" cannot stand in a file name
        {QLocale(QLocale::English, QLocale::UnitedStates), "3-3-2024__14_05_09"},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), "03-03-2024__14_05_09"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(trace_name_for(when, row.locale).toStdString(), row.name);
    EXPECT_EQ(trace_name_for(QDateTime(QDate(2024, 12, 31), QTime(0, 0, 0)),
                             QLocale(QLocale::German, QLocale::Germany))
                  .toStdString(),
              "31.12.2024__00_00_00");
}

TEST(InitPaths, WindowsRuleAndThisSystemsFolder) {
    EXPECT_EQ(windows_doc_path(QStringLiteral("C:\\Users\\anna")),
              QStringLiteral("C:\\Users\\anna\\Documents\\"));
    EXPECT_EQ(windows_doc_path(std::nullopt), QStringLiteral("\\Documents\\"));
    EXPECT_TRUE(init_paths().endsWith(QLatin1Char('/')));
}

} // namespace
} // namespace bl
