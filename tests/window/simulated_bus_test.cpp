// The whole program on the simulated bus: start-up answered by the test,
// live traffic, the controls, trace recording, sending and the
// train-category command end to end.
#include "simulation/simulated_interface.h"
#include "support/fake_dialogs.h"
#include "support/monitor_harness.h"
#include "window/monitor_app.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace bl {
namespace {

struct OnSimulatedBus {
    ElapsedSteadyClock clock;
    sim::LocoNetBus bus;
    sim::SimulatedInterface *iface = nullptr;
    testing::FakeDialogs *dialogs = nullptr;
    QTemporaryDir folder;
    std::unique_ptr<MonitorApp> app;

    int on_bus = 0; // messages put on the bus so far
    sim::LocoNetBus::MessageListeners::Handle counting;

    explicit OnSimulatedBus(sim::InterfaceType type, double rate = 40) : bus(rate, 7) {
        counting = bus.listen([this](const QByteArray &) { ++on_bus; });
        auto interface = std::make_unique<sim::SimulatedInterface>(type, bus, clock);
        iface = interface.get();
        auto boxes = std::make_unique<testing::FakeDialogs>();
        dialogs = boxes.get();
        MonitorApp::Platform p;
        p.ports = std::make_unique<OnePort>(std::move(interface));
        p.uart = std::make_unique<sim::SimulatedUartRate>(*iface);
        p.dialogs = std::move(boxes);
        p.end_program = [this] { ++ended; };
        app = std::make_unique<MonitorApp>(std::move(p));
    }
    FrmMonitor &w() { return app->window(); }
    int ended = 0;
    QString area() const {
        const std::string_view t = app->window().rtbMoni->text();
        return QString::fromLatin1(t.data(), static_cast<qsizetype>(t.size()));
    }
    // Lets n more messages pass on the bus and reach the window.
    void let_pass(int n) {
        const int until = on_bus + n;
        QTRY_VERIFY_WITH_TIMEOUT(on_bus >= until, 10000);
        for (int i = 0; i < 10; ++i)
            QCoreApplication::processEvents();
    }
    // The station has answered the throttles of the opening.
    void opened() {
        QTRY_VERIFY_WITH_TIMEOUT(area().contains(QStringLiteral("Slot  4 = Lokadr. 212")), 5000);
    }
    int lines() const { return static_cast<int>(area().count(QStringLiteral("\r\n"))); }
    bool start(std::vector<MsgResult> answers, QStringList ports) {
        dialogs->answers.assign(answers.begin(), answers.end());
        for (const QString &p : ports)
            dialogs->inputs.push_back(p);
        if (!app->run_startup({}))
            return false;
        app->vars().doc_path = folder.path() + QLatin1Char('/');
        bus.start();
        return true;
    }
};

TEST(EndToEnd, StartUpForEachInterfaceKindThenLiveTraffic) {
    const struct {
        sim::InterfaceType type;
        std::vector<MsgResult> answers;
        QStringList ports;
        bool polled;
    } rows[] = {
        {sim::InterfaceType::ComPort,
         {MsgResult::Yes},
         {QStringLiteral("3"), QStringLiteral("1")},
         true},
        {sim::InterfaceType::Usb, {MsgResult::No, MsgResult::Yes}, {QStringLiteral("4")}, false},
        {sim::InterfaceType::Serial, {MsgResult::No, MsgResult::No}, {QStringLiteral("2")}, false},
    };
    for (const auto &row : rows) {
        OnSimulatedBus s(row.type);
        ASSERT_TRUE(s.start(row.answers, row.ports));
        EXPECT_TRUE(s.iface->passes_loconet());
        EXPECT_EQ(s.w().Timer1->isActive(), row.polled);
        QTRY_VERIFY_WITH_TIMEOUT(s.area().contains(QStringLiteral("Slot  4 = Lokadr. 212")), 3000);
        EXPECT_TRUE(s.area().startsWith(
            QStringLiteral("Gleisspannung eingeschaltet\r\n"
                           "Anfrage nach Lokadresse: 3\r\n"
                           "Slot  1 = Lokadr. 3, Geschw. 0 , Kat: 0 ,vorw\u00e4rts \r\n")))
            << s.area().left(200).toStdString();
        const auto lines = s.area().count(QStringLiteral("\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT(s.area().count(QStringLiteral("\r\n")) > lines + 3, 2000);
    }
}

TEST(EndToEnd, ControlsWhileTrafficRuns) {
    OnSimulatedBus s(sim::InterfaceType::Usb, 100);
    ASSERT_TRUE(s.start({MsgResult::No, MsgResult::Yes}, {QStringLiteral("1")}));
    s.opened();
    QTest::mouseClick(s.w().cmdStartStop, Qt::LeftButton);
    const QString stopped = s.area();
    EXPECT_TRUE(stopped.endsWith(QStringLiteral("\r\n\r\n STOP: Monitor angehalten!\r\n")));
    s.let_pass(10);
    EXPECT_EQ(s.area(), stopped) << "nothing shown while stopped";
    QTest::mouseClick(s.w().btnClear, Qt::LeftButton);
    EXPECT_EQ(s.area(), QString());
    QTest::mouseClick(s.w().LNM_hex_chk, Qt::LeftButton);
    QTest::mouseClick(s.w().cmdStartStop, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(s.lines() > 6, 5000);
    const QStringList hex_lines = s.area().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_GT(hex_lines.size(), 5);
    EXPECT_EQ(hex_lines[0], QStringLiteral(" START: Monitor l\u00e4uft!"));
    static const QRegularExpression hex_line(QStringLiteral("^([0-9A-F]{2} )+$"));
    for (qsizetype i = 1; i < hex_lines.size(); ++i)
        EXPECT_TRUE(hex_line.match(hex_lines[i]).hasMatch()) << hex_lines[i].toStdString();
    QTest::mouseClick(s.w().LNM_hex_chk, Qt::LeftButton);
    QTest::mouseClick(s.w().LNM_ascii_hex_chk, Qt::LeftButton);
    QTest::mouseClick(s.w().btnClear, Qt::LeftButton);
    s.let_pass(100);
    EXPECT_FALSE(s.area().isEmpty());
    EXPECT_FALSE(s.area().contains(QStringLiteral("HEX:"))) << "unrendered messages hidden";
    EXPECT_FALSE(hex_line.match(s.area().section(QStringLiteral("\r\n"), 0, 0)).hasMatch());
}

TEST(EndToEnd, TraceHoldsWhatTheWindowShowedInOrder) {
    OnSimulatedBus s(sim::InterfaceType::Usb, 60);
    ASSERT_TRUE(s.start({MsgResult::No, MsgResult::Yes}, {QStringLiteral("1")}));
    QTest::mouseClick(s.w().btnClear, Qt::LeftButton);
    QTest::mouseClick(s.w().btnTraceOnOff, Qt::LeftButton);
    s.let_pass(30);
    QTest::mouseClick(s.w().cmdStartStop, Qt::LeftButton);
    QTest::mouseClick(s.w().cmdStartStop, Qt::LeftButton);
    s.let_pass(20);
    QTest::mouseClick(s.w().btnTraceOnOff, Qt::LeftButton);
    const QString area = s.area();

    QFile file(s.app->vars().doc_path + s.app->vars().trace_name + QStringLiteral(".txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString trace = QString::fromLatin1(file.readAll()); // Windows-1252 = Latin-1 here
    const QStringList records = trace.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_GT(records.size(), 20);
    double last_stamp = -1;
    qsizetype at = 0;
    for (const QString &record : records) {
        const double stamp = record.left(10).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
        EXPECT_GE(stamp, last_stamp);
        last_stamp = stamp;
        ASSERT_EQ(record.mid(10, 3), QStringLiteral(" - "));
        QString shown = record.mid(13);
        if (shown.size() > 80)
            shown.insert(80, QStringLiteral("\r\n"));
        const qsizetype found = area.indexOf(shown + QStringLiteral("\r\n"), at);
        ASSERT_GE(found, at) << "not shown, or out of order: " << record.toStdString();
        at = found + shown.size();
    }
    EXPECT_TRUE(trace.contains(QStringLiteral(" -  STOP: Monitor angehalten!\r\n")));
}

TEST(EndToEnd, EverySendRowReachesTheBus) {
    OnSimulatedBus s(sim::InterfaceType::Serial, 0);
    ASSERT_TRUE(s.start({MsgResult::No, MsgResult::No}, {QStringLiteral("1")}));
    s.opened();
    QTest::mouseClick(s.w().btnClear, Qt::LeftButton);
    s.w().LNMsgTxt[2]->setText(QStringLiteral("BC 00 00"));
    for (const int i : {0, 1, 3, 2})
        QTest::mouseClick(s.w().SendCmd[static_cast<std::size_t>(i)], Qt::LeftButton);
    // the echoes, and the station's answer to the switch query
    QTRY_COMPARE_WITH_TIMEOUT(s.area(),
                              QStringLiteral("Mag.-Art.: 1 - rot - ein \r\n"
                                             "Mag.-Art.: 1 - gr\u00fcn - ein \r\n"
                                             "Mag.-Art.: 1 - rot - ein \r\n"
                                             "Statusanfrage nach Mag.-Art. 1\r\n"
                                             " Antwort: rot\r\n"),
                              2000);
}

// Enter, or the keypad's, in a row sends it as its button does.
TEST(EndToEnd, EnterInASendRowSendsIt) {
    OnSimulatedBus s(sim::InterfaceType::Serial, 0);
    ASSERT_TRUE(s.start({MsgResult::No, MsgResult::No}, {QStringLiteral("1")}));
    s.opened();
    QTest::mouseClick(s.w().btnClear, Qt::LeftButton);
    QTest::keyClick(s.w().LNMsgTxt[0], Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(s.area(), QStringLiteral("Mag.-Art.: 1 - rot - ein \r\n"), 2000);
    QTest::keyClick(s.w().LNMsgTxt[1], Qt::Key_Enter, Qt::KeypadModifier);
    QTRY_COMPARE_WITH_TIMEOUT(s.area(),
                              QStringLiteral("Mag.-Art.: 1 - rot - ein \r\n"
                                             "Mag.-Art.: 1 - gr\u00fcn - ein \r\n"),
                              2000);
}

// No click leaves the keyboard on "Abbruch": a Space afterwards does not
// end the program.
TEST(EndToEnd, AfterZugkatSetzenASpaceLeavesTheProgramRunning) {
    OnSimulatedBus s(sim::InterfaceType::Serial, 0);
    ASSERT_TRUE(s.start({MsgResult::No, MsgResult::No}, {QStringLiteral("1")}));
    s.opened();
    s.w().show();
    s.w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&s.w()));
    EXPECT_EQ(QApplication::focusWidget(), s.w().LNMsgTxt[0]) << "not on Abbruch at the start";
    s.w().LokAdrTxt->setText(QStringLiteral("3"));
    s.w().KatTxt->setText(QStringLiteral("5"));
    s.w().KatTxt->setFocus();
    QTest::mouseClick(s.w().ZugkatBut, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(s.w().ZugkatBut->isEnabled(), 6000);
    EXPECT_EQ(QApplication::focusWidget(), s.w().KatTxt);
    // from the keyboard too: Tab to the button, Space, and the focus comes back
    s.w().ZugkatBut->setFocus();
    QTest::keyClick(s.w().ZugkatBut, Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(s.w().ZugkatBut->isEnabled(), 6000);
    EXPECT_NE(QApplication::focusWidget(), s.w().btnCancel);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(s.ended, 0);
}

TEST(EndToEnd, TrainCategoryIsWrittenAndReadBack) {
    OnSimulatedBus s(sim::InterfaceType::Serial, 0);
    ASSERT_TRUE(s.start({MsgResult::No, MsgResult::No}, {QStringLiteral("1")}));
    s.opened();
    QTest::mouseClick(s.w().btnClear, Qt::LeftButton);
    s.w().LokAdrTxt->setText(QStringLiteral("3"));
    s.w().KatTxt->setText(QStringLiteral("5"));
    QTest::mouseClick(s.w().ZugkatBut, Qt::LeftButton);
    EXPECT_EQ(s.app->vars().err_flag, 0);
    s.w().LNMsgTxt[0]->setText(QStringLiteral("BB 01 00"));
    QTest::mouseClick(s.w().SendCmd[0], Qt::LeftButton);
    // the request, and the slot data that answers it
    QTRY_VERIFY_WITH_TIMEOUT(s.area().contains(QStringLiteral("Kat: 5 ,vorw")), 4000);
    const QStringList lines = s.area().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 7);
    EXPECT_EQ(lines[0], QStringLiteral(" -- Setze Zugkategorie --"));
    EXPECT_EQ(lines[1], QStringLiteral("Anfrage nach Lokadresse: 3"));
    EXPECT_EQ(lines[2], QStringLiteral("Slot  1 = Lokadr. 3, Geschw. 0 , Kat: 0 ,vorw\u00e4rts "));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("HEX: EF 0E 01 33 03 00 00 07 22 ")))
        << lines[3].toStdString();
    EXPECT_EQ(lines[4], QStringLiteral("LongAck: B4 6F 7F"));
    EXPECT_EQ(lines[5], QStringLiteral("Statusanfrage nach Slot 1"));
    EXPECT_EQ(lines[6], QStringLiteral("Slot  1 = Lokadr. 3, Geschw. 0 , Kat: 5 ,vorw\u00e4rts "));
}

} // namespace
} // namespace bl
