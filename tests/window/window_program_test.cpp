// The window program as it ships.
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace {

// Where no display can be opened, the user learns in one German line what
// works instead, and the status tells a script so.
TEST(WindowProgram, WithoutADisplayItPointsToTheConsoleMonitor) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(BUSLAUSCHER_BINARY), {QStringLiteral("--demo")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 2);
    const QString said = QString::fromLocal8Bit(p.readAllStandardError());
    EXPECT_EQ(said.count(QLatin1Char('\n')), 1) << said.toStdString();
    EXPECT_TRUE(said.startsWith(QStringLiteral("bus-lauscher: Keine Anzeige gefunden")))
        << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("--console")));
}

// Its icon is compiled into the program itself, not left behind in a
// library the linker passed over.
TEST(WindowProgram, CarriesItsIcon) {
    QFile program(QStringLiteral(BUSLAUSCHER_BINARY));
    QFile icon(QStringLiteral(BUSLAUSCHER_ICON));
    ASSERT_TRUE(program.open(QIODevice::ReadOnly));
    ASSERT_TRUE(icon.open(QIODevice::ReadOnly));
    EXPECT_TRUE(program.readAll().contains(icon.readAll()));
}

} // namespace
