#include "support/file_size_limit.h"
#include "trace/trace_file.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace bl {
namespace {

TEST(TraceFile, AFullFileKeepsOnlyWholeRecordsAndTellsWhyOnce) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.txt"));
    TraceFile file([] { return QStringLiteral("050709,123"); });
    QStringList told;
    file.set_on_failure([&](const QString &reason) { told << reason; });
    ASSERT_EQ(file.open(path), std::nullopt);
    {
        const testing::FileSizeLimit limit(100); // room for two records of 41 bytes, not three
        for (int i = 0; i < 4; ++i)
            file.write_line("Gleisspannung eingeschaltet");
    }
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("050709,123 - Gleisspannung eingeschaltet\r\n"
                                            "050709,123 - Gleisspannung eingeschaltet\r\n"));
    EXPECT_EQ(told, QStringList{QStringLiteral("die Datei darf nicht größer werden")});
    EXPECT_FALSE(file.is_open());
}

} // namespace
} // namespace bl
