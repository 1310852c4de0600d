// The window on a pseudo-terminal through the real QSerialPort.
#include "support/fake_dialogs.h"
#include "support/pty.h"
#include "transport/serial_port.h"
#include "window/monitor_app.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace bl {
namespace {

QString area_of(MonitorApp &app) {
    const std::string_view text = app.window().rtbMoni->text();
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

TEST(WindowOnPty, ShowsTrafficSurvivesUnplugAndGoesOnWhenPluggedInAgain) {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyLocoNet")); // a name that stays
    auto pty = std::make_unique<testing::PtyPair>();
    ASSERT_TRUE(QFile::link(pty->device, link));
    auto boxes = std::make_unique<testing::FakeDialogs>();
    testing::FakeDialogs &dialogs = *boxes;
    MonitorApp::Platform platform;
    platform.ports = std::make_unique<SystemPorts>();
    platform.dialogs = std::move(boxes);
    platform.end_program = [] {};
    MonitorApp app(std::move(platform));
    SerialControl &comm1 = app.comm();

    StartupAnswers answers;
    answers.kind = InterfaceKind::Usb;
    answers.port = link;
    ASSERT_TRUE(app.run_startup(answers));
    EXPECT_TRUE(comm1.portOpen());
    EXPECT_FALSE(app.window().Timer1->isActive()) << "receive events, no polling";
    pty->close_slave();
    pty->write(QByteArray::fromHex("b2051058"));
    pty->write(QByteArray::fromHex("83"));
    pty->write(QByteArray::fromHex("7c"));
    QTRY_COMPARE_WITH_TIMEOUT(
        area_of(app),
        QStringLiteral("R\u00fcckmelder 11 = belegt\r\nGleisspannung eingeschaltet\r\n"), 5000);

    pty.reset(); // unplugged
    QTRY_COMPARE_WITH_TIMEOUT(dialogs.boxes.size(), std::size_t{1}, 5000);
    EXPECT_TRUE(dialogs.boxes[0].title.endsWith(QStringLiteral("8104")));
    EXPECT_FALSE(comm1.portOpen());
    EXPECT_TRUE(app.window().StatusPanel->text().contains(QStringLiteral("verloren")));
    QTest::mouseClick(app.window().btnClear, Qt::LeftButton);
    EXPECT_TRUE(app.window().rtbMoni->text().empty()) << "the window stays usable";

    testing::PtyPair again; // plugged in again, under the same name
    QFile::remove(link);
    ASSERT_TRUE(QFile::link(again.device, link));
    QTRY_VERIFY_WITH_TIMEOUT(comm1.portOpen(), 10000);
    EXPECT_TRUE(app.window().StatusPanel->text().contains(QStringLiteral("wieder da")));
    again.close_slave();
    again.write(QByteArray::fromHex("827d"));
    QTRY_COMPARE_WITH_TIMEOUT(area_of(app), QStringLiteral("Gleisspannung ausgeschaltet\r\n"),
                              5000);
    EXPECT_EQ(dialogs.boxes.size(), 1u) << "one report for one loss";
}

TEST(WindowOnPty, SendRowAndTrainCategoryPutExactBytesOnTheLine) {
    testing::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    MonitorApp::Platform platform;
    platform.ports = std::make_unique<SystemPorts>();
    platform.dialogs = std::make_unique<testing::FakeDialogs>();
    MonitorApp app(std::move(platform));
    StartupAnswers answers;
    answers.kind = InterfaceKind::Usb;
    answers.port = pty.device;
    ASSERT_TRUE(app.run_startup(answers));
    pty.close_slave();

    // what reaches the far end of the line, once it is all there
    QByteArray line;
    const auto received = [&](const char *hex) {
        const QByteArray wanted = QByteArray::fromHex(hex);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return (line += pty.read_available()).size() >= wanted.size(); }, 5000));
        return std::exchange(line, {}).toHex();
    };
    QTest::mouseClick(app.window().SendCmd[0], Qt::LeftButton);
    EXPECT_EQ(received("b000105f"), QByteArray("b000105f"));

    // the command station's answer is already on its way when the button is pressed
    pty.write(QByteArray::fromHex("e70e07037f00200712000001025b"));
    app.window().LokAdrTxt->setText(QStringLiteral("3"));
    app.window().KatTxt->setText(QStringLiteral("5"));
    QTest::mouseClick(app.window().ZugkatBut, Qt::LeftButton);
    EXPECT_EQ(received("bf000343ef0e07037f002007220000010263"),
              QByteArray("bf000343ef0e07037f002007220000010263"));
}

} // namespace
} // namespace bl
