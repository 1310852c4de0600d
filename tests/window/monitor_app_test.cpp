#include "connection/error_report.h"
#include "support/app_harness.h"
#include "support/file_size_limit.h"

#include <QAccessible>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QLocale>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <random>

namespace bl {
namespace {

using testing::AppHarness;
using testing::read_file;

TEST(StartStop, MarksEachChangeOnALineOfItsOwn) {
    AppHarness h;
    QTest::mouseClick(h.w().cmdStartStop, Qt::LeftButton);
    EXPECT_EQ(h.w().cmdStartStop->text(), QStringLiteral("Start"));
    EXPECT_EQ(h.app->vars().monitor_on, 0);
    QTest::mouseClick(h.w().cmdStartStop, Qt::LeftButton);
    EXPECT_EQ(h.w().cmdStartStop->text(), QStringLiteral("Stop"));
    EXPECT_EQ(h.app->vars().monitor_on, kTrue);
    EXPECT_EQ(h.area(), "\r\n STOP: Monitor angehalten!\r\n\r\n START: Monitor läuft!\r\n");
}

TEST(StartStop, StoppedMonitorShowsNothingAndCaptionCaseCounts) {
    AppHarness h;
    QTest::mouseClick(h.w().cmdStartStop, Qt::LeftButton);
    h.receive("83 7C");
    EXPECT_EQ(h.area(), "\r\n STOP: Monitor angehalten!\r\n");
    h.w().cmdStartStop->setText(QStringLiteral("start"));
    QTest::mouseClick(h.w().cmdStartStop, Qt::LeftButton);
    EXPECT_EQ(h.app->vars().monitor_on, 0) << "only \"Start\" resumes";
}

TEST(Clear, EmptiesTheAreaOnly) {
    AppHarness h;
    h.receive("83 7C");
    QTest::mouseClick(h.w().btnClear, Qt::LeftButton);
    EXPECT_EQ(h.area(), "");
    EXPECT_TRUE(h.dialogs->boxes.empty()) << "no question is asked";
    h.receive("82 7D");
    EXPECT_EQ(h.area(), "Gleisspannung ausgeschaltet\r\n");
}

TEST(OutputModes, CheckBoxesSetTheirFlagsIndependently) {
    AppHarness h;
    h.receive("85 7A");
    QTest::mouseClick(h.w().LNM_ascii_hex_chk, Qt::LeftButton);
    EXPECT_EQ(h.app->vars().ascii_hex_on, 0);
    h.receive("85 7A");
    QTest::mouseClick(h.w().LNM_hex_chk, Qt::LeftButton);
    EXPECT_EQ(h.app->vars().hex_on, kTrue);
    EXPECT_FALSE(h.w().LNM_ascii_hex_chk->isChecked());
    h.receive("83 7C");
    QTest::mouseClick(h.w().LNM_hex_chk, Qt::LeftButton);
    QTest::mouseClick(h.w().LNM_ascii_hex_chk, Qt::LeftButton);
    EXPECT_EQ(h.app->vars().hex_on, 0);
    EXPECT_EQ(h.app->vars().ascii_hex_on, kTrue);
    h.receive("85 7A 83 7C");
    EXPECT_EQ(h.area(), "HEX: 85 7A \r\n83 7C \r\nHEX: 85 7A \r\nGleisspannung eingeschaltet\r\n");
}

// "Ausführlich" takes the written line's place from the next message on;
// HEX Ausgabe still shows bytes; unticked, the written lines return.
TEST(OutputModes, AusfuehrlichShowsTheDetailedLines) {
    AppHarness h;
    h.receive("83 7C");
    QTest::mouseClick(h.w().LNM_detail_chk, Qt::LeftButton);
    EXPECT_EQ(h.app->vars().detail_on, kTrue);
    h.receive("83 7C B2 0A 50 17");
    QTest::mouseClick(h.w().LNM_hex_chk, Qt::LeftButton);
    h.receive("83 7C");
    QTest::mouseClick(h.w().LNM_hex_chk, Qt::LeftButton);
    QTest::mouseClick(h.w().LNM_detail_chk, Qt::LeftButton);
    h.receive("83 7C");
    EXPECT_EQ(h.area(), "Gleisspannung eingeschaltet\r\nGleisspannung ein\r\n"
                        "Rückmelder 21: belegt (Melder 2, Eingang 5)\r\n83 7C \r\n"
                        "Gleisspannung eingeschaltet\r\n");
}

// "pcap": a recording for Wireshark beside the trace files, named like them,
// every message from the click on; a second click ends it.
TEST(Pcap, TheButtonRecordsEveryMessageUntilClickedAgain) {
    AppHarness h;
    h.receive("83 7C");
    QTest::mouseClick(h.w().btnPcapOnOff, Qt::LeftButton);
    EXPECT_TRUE(h.w().btnPcapOnOff->isChecked());
    const QString path = h.folder.filePath(QStringLiteral("03.03.2024__14_05_09.pcapng"));
    EXPECT_EQ(h.w().StatusPanel->text(), QStringLiteral("Mitschnitt für Wireshark: ") + path);
    h.receive("B2 02 50 1F 82 7D");
    QTest::mouseClick(h.w().btnPcapOnOff, Qt::LeftButton);
    EXPECT_FALSE(h.w().btnPcapOnOff->isChecked());
    h.receive("83 7C");
    const QByteArray file = read_file(path);
    EXPECT_TRUE(file.startsWith(QByteArray::fromHex("0a0d0d0a")));
    EXPECT_EQ(file.count(QByteArray::fromHex("b202501f")), 1);
    EXPECT_EQ(file.count("R\xC3\xBC"
                         "ckmelder 5 = belegt"),
              1)
        << "the line as comment, UTF-8";
    EXPECT_EQ(file.count(QByteArray::fromHex("837c")), 0) << "before and after: not recorded";
    QTest::mouseClick(h.w().btnPcapOnOff, Qt::LeftButton);
    EXPECT_TRUE(QFile::exists(h.folder.filePath(QStringLiteral("03.03.2024__14_05_09 (2).pcapng"))))
        << "never over another";
}

TEST(Trace, RecordsEveryShownLineInWindows1252) {
    AppHarness h;
    const QString path = h.folder.path() + QStringLiteral("/03.03.2024__14_05_09.txt");
    QTest::mouseClick(h.w().btnTraceOnOff, Qt::LeftButton);
    EXPECT_EQ(h.w().btnTraceOnOff->text(), QStringLiteral("Speichern aus"));
    EXPECT_EQ(h.w().windowTitle(), QStringLiteral("Speichern: ") + path);
    h.receive("B2 05 10 58 81 7E 85 7A");
    QTest::mouseClick(h.w().cmdStartStop, Qt::LeftButton);
    h.receive("83 7C");
    QTest::mouseClick(h.w().btnClear, Qt::LeftButton);
    QTest::mouseClick(h.w().cmdStartStop, Qt::LeftButton);
    h.receive("E7 0E 03 33 52 10 30 07 12 09 01 00 00 44");
    // every record is on disk while the recording still runs
    const QByteArray expected = "050709,123 - R\xFC"
                                "ckmelder 11 = belegt\r\n"
                                "050709,123 - HEX: 85 7A \r\n"
                                "050709,123 -  STOP: Monitor angehalten!\r\n"
                                "050709,123 -  START: Monitor l\xE4"
                                "uft!\r\n"
                                "050709,123 - Slot  3 = Lokadr. 1234, Geschw. 16 , Kat: 3 ,r\xFC"
                                "ckw\xE4rts F0 F5 \r\n";
    EXPECT_EQ(read_file(path), expected);
    QTest::mouseClick(h.w().btnTraceOnOff, Qt::LeftButton);
    EXPECT_EQ(h.w().btnTraceOnOff->text(), QStringLiteral("Verlauf speichern"));
    EXPECT_EQ(h.w().windowTitle(), QStringLiteral("Gespeichert unter: ") + path);
    h.receive("83 7C");
    EXPECT_EQ(read_file(path), expected) << "nothing after the end";
}

// A recording never overwrites another: started in the same second, the
// second one gets a number.
TEST(Trace, ARecordingNeverOverwritesAnother) {
    AppHarness h;
    QTest::mouseClick(h.w().btnTraceOnOff, Qt::LeftButton);
    h.receive("83 7C");
    QTest::mouseClick(h.w().btnTraceOnOff, Qt::LeftButton);
    const QString first = h.app->trace_file_path();
    const QByteArray recorded = read_file(first);
    ASSERT_TRUE(recorded.contains("Gleisspannung eingeschaltet"));
    QTest::mouseClick(h.w().btnTraceOnOff, Qt::LeftButton);
    EXPECT_TRUE(h.app->trace_file_path().endsWith(QStringLiteral("14_05_09 (2).txt")))
        << h.app->trace_file_path().toStdString();
    h.receive("82 7D");
    QTest::mouseClick(h.w().btnTraceOnOff, Qt::LeftButton);
    EXPECT_EQ(read_file(first), recorded) << "the first recording is kept as it was";
    h.now = h.now.addSecs(1);
    QTest::mouseClick(h.w().btnTraceOnOff, Qt::LeftButton);
    QTest::mouseClick(h.w().btnTraceOnOff, Qt::LeftButton);
    EXPECT_EQ(QDir(h.folder.path()).entryList(QDir::Files).size(), 3);
}

// The documents folder is made when it is missing (a fresh system); only a
// folder that cannot be made is reported, and nothing changes.
TEST(Trace, AMissingFolderIsMadeOneThatCannotBeIsReported) {
    AppHarness made;
    made.app->vars().doc_path = made.folder.path() + QStringLiteral("/Dokumente/neu/");
    QTest::mouseClick(made.w().btnTraceOnOff, Qt::LeftButton);
    EXPECT_TRUE(made.dialogs->boxes.empty());
    EXPECT_EQ(made.app->vars().trace_on, kTrue);
    EXPECT_TRUE(QFile::exists(made.app->trace_file_path()));

    AppHarness h;
    QFile blocker(h.folder.filePath(QStringLiteral("eine-datei")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    h.app->vars().doc_path = blocker.fileName() + QStringLiteral("/missing/");
    QTest::mouseClick(h.w().btnTraceOnOff, Qt::LeftButton);
    ASSERT_EQ(h.dialogs->boxes.size(), 1u);
    EXPECT_TRUE(
        h.dialogs->boxes[0].text.contains(blocker.fileName() + QStringLiteral("/missing/")));
    EXPECT_EQ(h.app->vars().trace_on, 0);
    EXPECT_EQ(h.app->vars().trace_name, QString());
    EXPECT_EQ(h.w().btnTraceOnOff->text(), QStringLiteral("Verlauf speichern"));
    EXPECT_EQ(h.w().windowTitle(), QStringLiteral(" Bus-Lauscher"));
    h.receive("83 7C");
    EXPECT_EQ(h.area(), "Gleisspannung eingeschaltet\r\n");
}

// A trace that cannot be written (here: a file that may grow no further)
// ends the recording with one box and keeps only whole records; the port
// stays open and the monitor goes on, on either receive path.
TEST(Trace, AFaultEndsTheRecordingNeverTheMonitoring) {
    for (const bool polled : {false, true}) {
        AppHarness h;
        testing::FileSizeLimit limit(40); // less than the first record
        const auto deliver = [&](const char *hex) {
            if (!polled)
                return h.receive(hex);
            h.port->arriving += QByteArray::fromStdString(testing::bytes(hex));
            Q_EMIT h.w().Timer1->timeout({});
        };
        if (polled) {
            h.app->comm().setRThreshold(0);
            h.app->comm().setInputLen(1);
        }
        QTest::mouseClick(h.w().btnTraceOnOff, Qt::LeftButton);
        ASSERT_EQ(h.app->vars().trace_on, kTrue);
        deliver("83 7C 82 7D");
        QCoreApplication::processEvents();
        ASSERT_EQ(h.dialogs->boxes.size(), 1u) << polled;
        EXPECT_EQ(h.dialogs->boxes[0].title, QStringLiteral("Verlauf speichern"));
        EXPECT_TRUE(h.dialogs->boxes[0].text.contains(QStringLiteral("nicht größer werden")))
            << h.dialogs->boxes[0].text.toStdString();
        EXPECT_EQ(read_file(h.app->trace_file_path()), QByteArray()) << "no torn record";
        EXPECT_EQ(h.app->vars().trace_on, 0);
        EXPECT_EQ(h.w().btnTraceOnOff->text(), QStringLiteral("Verlauf speichern"));
        EXPECT_TRUE(h.app->comm().portOpen()) << "the connection stays";
        deliver("83 7C");
        QCoreApplication::processEvents();
        EXPECT_EQ(h.dialogs->boxes.size(), 1u);
        EXPECT_EQ(h.area(), "Gleisspannung eingeschaltet\r\nGleisspannung ausgeschaltet\r\n"
                            "Gleisspannung eingeschaltet\r\n");
    }
}

TEST(Cancel, EndsTheProgramWithEveryRecordOnDisk) {
    AppHarness h;
    QTest::mouseClick(h.w().btnTraceOnOff, Qt::LeftButton);
    h.receive("83 7C");
    QTest::mouseClick(h.w().btnCancel, Qt::LeftButton);
    EXPECT_EQ(h.ended, 1);
    EXPECT_FALSE(h.app->comm().portOpen());
    const QString path = h.app->vars().doc_path + h.app->vars().trace_name + QStringLiteral(".txt");
    EXPECT_EQ(read_file(path), QByteArray("050709,123 - Gleisspannung eingeschaltet\r\n"));
}

TEST(ReportError, TextTitleAndOrder) {
    const RuntimeError e8002(8002, QStringLiteral("MSComm"),
                             QStringLiteral("Ungültige Portnummer"));
    EXPECT_EQ(error_report_text(e8002),
              QStringLiteral("Fehler Nr.  8002 wurde ausgelöst von MSComm.\rDetails: Ungültige "
                             "Portnummer!"));
    EXPECT_EQ(error_report_title(e8002), QStringLiteral("Bus-Lauscher FEHLER: 8002"));
    const RuntimeError negative(-5, QStringLiteral("x"), QStringLiteral("y"));
    EXPECT_EQ(error_report_text(negative),
              QStringLiteral("Fehler Nr. -5 wurde ausgelöst von x.\rDetails: y!"));
    EXPECT_EQ(error_report_title(negative), QStringLiteral("Bus-Lauscher FEHLER: -5"));
}

TEST(ReportError, PollingErrorClosesPortOnceWithOneBox) {
    const struct {
        int number;
        std::int16_t err_flag_after;
    } rows[] = {{8002, 8002}, {8104, 0}};
    for (const auto &row : rows) {
        AppHarness h;
        bool open_while_box = false;
        h.port->fail_on_read =
            RuntimeError(row.number, QStringLiteral("Comm1"), QStringLiteral("kaputt"));
        h.app->vars().err_flag = 0;
        // three ticks of a broken port
        for (int i = 0; i < 3; ++i) {
            if (i == 0)
                open_while_box = h.app->comm().portOpen();
            h.w().Timer1->timeout({});
        }
        ASSERT_EQ(h.dialogs->boxes.size(), 1u) << row.number;
        EXPECT_TRUE(open_while_box);
        EXPECT_EQ(h.dialogs->boxes[0].icon, MsgIcon::Critical);
        EXPECT_FALSE(h.app->comm().portOpen());
        EXPECT_EQ(h.app->vars().err_flag, row.err_flag_after);
    }
}

TEST(ReportError, AnUnpluggedPolledPortIsToldOnce) {
    AppHarness h;
    h.app->comm().setRThreshold(0);
    h.port->unplug(QStringLiteral("weg"));
    for (int i = 0; i < 3; ++i) {
        Q_EMIT h.w().Timer1->timeout({});
        QCoreApplication::processEvents();
    }
    ASSERT_EQ(h.dialogs->boxes.size(), 1u);
    EXPECT_EQ(h.dialogs->boxes[0].title, QStringLiteral("Bus-Lauscher FEHLER: 8104"));
}

// An interface that goes while a message is being written is told once, by
// the report of the lost connection.
TEST(ReportError, AnUnplugDuringASendIsToldOnce) {
    AppHarness h;
    h.port->on_write = [&](const QByteArray &) {
        h.port->unplug(QStringLiteral("weg"));
        throw RuntimeError(err::kDeviceVanished, QStringLiteral("Comm1"), QStringLiteral("weg"));
    };
    QTest::mouseClick(h.w().SendCmd[0], Qt::LeftButton);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    ASSERT_EQ(h.dialogs->boxes.size(), 1u);
    EXPECT_EQ(h.dialogs->boxes[0].title, QStringLiteral("Bus-Lauscher FEHLER: 8104"));
}

// The way back is watched for at once, while the box about the loss is
// still open, and the status bar says so.
TEST(Reconnect, StartsWhileTheBoxAboutTheLossIsOpen) {
    AppHarness h;
    h.app->vars().ln_interface = kTrue;
    h.app->vars().usb_interface = kTrue;
    h.app->vars().comport_device = QStringLiteral("/dev/ttyACM0");
    bool back_while_shown = false;
    h.dialogs->while_shown = [&](const testing::ShownBox &) {
        EXPECT_TRUE(h.app->core().reconnect().watching());
        h.app->core().reconnect().look(); // the watch's second comes while the box is open
        back_while_shown = h.app->comm().portOpen();
    };
    h.port->unplug(QStringLiteral("weg"));
    for (int i = 0; i < 5 && h.dialogs->boxes.empty(); ++i)
        QCoreApplication::processEvents();
    ASSERT_EQ(h.dialogs->boxes.size(), 1u);
    EXPECT_TRUE(back_while_shown);
    EXPECT_TRUE(h.app->comm().portOpen()) << "the box closed leaves the port as it is";
    EXPECT_TRUE(h.w().StatusPanel->text().contains(QStringLiteral("wieder da")))
        << h.w().StatusPanel->text().toStdString();
}

TEST(RtbMoni, ViewFollowsTheModelInBatches) {
    AppHarness h;
    h.w().show();
    for (int i = 0; i < 400; ++i)
        h.receive("B2 05 10 58");
    EXPECT_FALSE(h.w().rtbMoni->view_is_current()) << "not laid out for every line";
    EXPECT_LE(h.w().rtbMoni->text().size(), 5000u + 24);
    QTRY_VERIFY_WITH_TIMEOUT(h.w().rtbMoni->view_is_current(), 2000);
    QString model = QString::fromLatin1(h.w().rtbMoni->text().data(),
                                        static_cast<qsizetype>(h.w().rtbMoni->text().size()));
    model.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(h.w().rtbMoni->shown_text(), model);
    const QScrollBar *bar = h.w().rtbMoni->verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum()) << "ends at the last line";
}

} // namespace
} // namespace bl

namespace bl {
namespace {

// The watch follows the file, not its path: a folder removed, or removed
// and made anew with a file of the same name, ends the recording.
TEST(Trace, RecordingWhoseFileIsGoneIsEnded) {
    for (const bool made_anew : {false, true}) {
        testing::AppHarness h;
        const QString folder = h.folder.filePath(QStringLiteral("traces"));
        QDir().mkdir(folder);
        h.app->vars().doc_path = folder + QLatin1Char('/');
        QTest::mouseClick(h.w().btnTraceOnOff, Qt::LeftButton);
        ASSERT_EQ(h.app->vars().trace_on, kTrue);
        h.app->check_trace_file();
        EXPECT_TRUE(h.dialogs->boxes.empty()) << "the file is there";
        ASSERT_TRUE(QDir(folder).removeRecursively());
        if (made_anew) {
            QDir().mkdir(folder);
            QFile same(h.app->trace_file_path());
            ASSERT_TRUE(same.open(QIODevice::WriteOnly));
        }
        h.app->check_trace_file();
        h.app->check_trace_file();
        ASSERT_EQ(h.dialogs->boxes.size(), 1u) << made_anew;
        EXPECT_TRUE(h.dialogs->boxes[0].text.contains(folder));
        EXPECT_EQ(h.app->vars().trace_on, 0);
        h.receive("83 7C");
        EXPECT_EQ(h.area(), "Gleisspannung eingeschaltet\r\n") << "the monitor goes on";
    }
}

} // namespace
} // namespace bl

namespace bl {
namespace {

TEST(RtbMoni, ViewStaysEqualToTheModelThroughCutsAndReplacements) {
    RtbMoni area;
    std::mt19937 rng(3);
    for (int round = 0; round < 300; ++round) {
        const int op = static_cast<int>(rng() % 10);
        if (op == 0) {
            area.set_text(round % 2 ? std::string("x\r\ny\r\n") : std::string());
        } else if (op == 1 && area.text().size() > 10) {
            area.keep_last(area.text().size() - 1 - rng() % 9); // also inside a CR LF
        } else {
            area.append_text("Zeile " + std::to_string(round) + " gr\xFCn");
            area.append_text("\r\n");
        }
        if (rng() % 3 == 0 || round == 299) {
            area.refresh_view();
            QString model =
                QString::fromLatin1(area.text().data(), static_cast<qsizetype>(area.text().size()));
            model.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            model.remove(QLatin1Char('\r'));
            ASSERT_EQ(area.shown_text(), model) << "round " << round;
        }
    }
}

} // namespace
} // namespace bl

namespace bl {
namespace {

TEST(BusHealth, StatusBarCountsLoadErrorsAndMissingEchoes) {
    testing::AppHarness h;
    h.clock->step_per_read = 0;
    h.app->show_health(); // the first second starts
    // two rows sent; the bus echoes only the first
    QTest::mouseClick(h.w().SendCmd[0], Qt::LeftButton);
    QTest::mouseClick(h.w().SendCmd[1], Qt::LeftButton);
    h.receive("B0 00 10 5F");
    for (int i = 0; i < 20; ++i)
        h.receive("B2 05 10 58");
    h.receive("B2 05 10 00");
    EXPECT_EQ(h.w().BadPanel->text(),
              QStringLiteral("Prüfsummenfehler um 14:05:09,000: B2 05 10 00"))
        << "named at once";
    h.receive("B2 05 10 01");
    EXPECT_EQ(h.w().BadPanel->text(),
              QStringLiteral("Prüfsummenfehler um 14:05:09,000: B2 05 10 00"))
        << "the first stays its second; the next waits";
    h.clock->now += 1.5;
    h.app->show_health();
    // 23 messages of 92 bytes in the first 1.5 s: 61 bytes/s, 4 % of a saturated bus
    EXPECT_EQ(h.w().HealthPanel->text(),
              QStringLiteral("23 Meldungen · 15,3/s · Last 4 % (max 4 %) · Prüfsumme falsch 2 · "
                             "verworfen 0 · ohne Echo 1"))
        << "the counts stand whole beside the bad message";
    EXPECT_EQ(h.w().BadPanel->text(), QStringLiteral("Kein Echo um 14:05:09,000: B0 00 30 7F"))
        << "the newest that waited";
    h.clock->now += 0.5;
    h.app->show_health();
    EXPECT_EQ(h.w().BadPanel->text(), QStringLiteral("Kein Echo um 14:05:09,000: B0 00 30 7F"));
    h.clock->now += 0.6;
    h.app->show_health();
    EXPECT_EQ(h.w().BadPanel->text(), QString()) << "gone after its second, nothing new";
    h.receive("B2 05 10 03");
    EXPECT_TRUE(h.w().BadPanel->text().endsWith(QStringLiteral("B2 05 10 03")));
    QTest::mouseClick(h.w().btnClear, Qt::LeftButton);
    h.app->show_health();
    EXPECT_TRUE(h.w().HealthPanel->text().startsWith(QStringLiteral("24 Meldungen")))
        << "clearing the screen keeps the evidence";
}

// In the smallest window, on a noisy bus with a long connection note, every
// count stays readable: the note yields first, then the bad message.
TEST(BusHealth, EveryCountStaysReadableAtTheSmallestWidth) {
    testing::AppHarness h;
    h.w().show();
    h.w().resize(h.w().minimumSize());
    h.w().HealthPanel->setText(
        QStringLiteral("1.234.567 Meldungen · 342,0/s · Last 100 % (max 100 %) · Prüfsumme falsch "
                       "12.345 · verworfen 123.456 · ohne Echo 1.234"));
    h.w().BadPanel->setText(QStringLiteral("Prüfsummenfehler um 14:05:09,000: B2 05 10 00"));
    h.w().StatusPanel->setText(
        QStringLiteral("Verbunden mit lbserver://stellwerk.example.org:1234 (LbServer 1.2)"));
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    const ShapedLabel *counts = h.w().HealthPanel;
    EXPECT_GE(counts->width(), counts->fontMetrics().horizontalAdvance(counts->text()))
        << "the counts are never cut";
    EXPECT_LE(counts->geometry().right(), h.w().StatusBar1->width());
    EXPECT_LE(h.w().StatusPanel->width(), h.w().StatusPanel->natural_width());
    EXPECT_LE(h.w().BadPanel->geometry().right(), h.w().StatusBar1->width());
    h.w().resize(1400, 700);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(h.w().StatusPanel->width(), h.w().StatusPanel->natural_width())
        << "with room, the note is whole again";
}

} // namespace
} // namespace bl

namespace bl {
namespace {

QImage on_screen(QWidget &w) {
    QCoreApplication::processEvents();
    return w.screen()->grabWindow(w.winId()).toImage();
}

// The area on screen at a size that shows some twenty lines.
bool shown(RtbMoni &area) {
    area.resize(400, 300);
    area.show();
    return QTest::qWaitForWindowExposed(&area);
}

// Following the newest line, the picture is moved and only new lines are
// drawn: what is on screen must be what drawing the whole view gives.
TEST(RtbMoni, MovedPictureEqualsTheViewDrawnWhole) {
    RtbMoni area;
    ASSERT_TRUE(shown(area));
    for (int round = 0; round < 120; ++round) {
        for (int i = 0; i <= round % 3; ++i)
            area.append_text("Zeile " + std::to_string(round) + "." + std::to_string(i) + "\r\n");
        if (area.text().size() > 900)
            area.keep_last(static_cast<std::size_t>(800 - round % 5)); // also inside a line
        area.refresh_view();
        const QImage moved = on_screen(area);
        if (round % 10 != 9)
            continue;
        area.viewport()->update();
        ASSERT_EQ(moved, on_screen(area)) << "round " << round;
    }
    EXPECT_GT(area.refreshes_by_moving(), 100) << "the picture was moved, not drawn whole";
}

// On a quiet bus the view, following the newest line, moves up a few lines
// at a time, and the lines after fill the blank rows left below: the newest
// line is always in view, the picture moves for a fraction of the lines.
TEST(RtbMoni, AQuietBusMovesTheViewAFewLinesAtATime) {
    RtbMoni area;
    area.resize(400, 600);
    area.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
    for (int i = 0; i < 80; ++i)
        area.append_text("Zeile " + std::to_string(i) + "\r\n");
    area.refresh_view();
    QScrollBar *bar = area.verticalScrollBar();
    const int lines = 60;
    int moves = 0;
    for (int i = 0; i < lines; ++i) {
        const std::string newest = "neu " + std::to_string(i);
        area.append_text(newest + "\r\n");
        if (area.text().size() > 900)
            area.keep_last(800);
        const int top = bar->value();
        area.refresh_view();
        moves += bar->value() != top;
        const int last = area.line_count() - 2; // the empty line after the newest one follows it
        ASSERT_EQ(area.line_text(last), QString::fromStdString(newest));
        EXPECT_TRUE(area.viewport()->rect().contains(area.line_rect(last)))
            << "line " << i << " out of view";
        EXPECT_EQ(bar->value(), bar->maximum()) << "the view still follows";
    }
    EXPECT_GT(moves, 0);
    EXPECT_LE(moves, lines / 3) << "the picture moved for most lines";
    const QImage drawn = on_screen(area);
    area.viewport()->update();
    EXPECT_EQ(drawn, on_screen(area)) << "the blank rows are drawn blank";

    // just moved, blank rows below; scrolled back a line, then cleared:
    // the new text stands at the top, with no blank rows to scroll to
    for (int top = bar->value(); bar->value() == top;) {
        area.append_text("noch eine\r\n");
        area.refresh_view();
    }
    bar->setValue(bar->maximum() - 1);
    area.set_text("");
    area.append_text("erste Zeile\r\n");
    area.refresh_view();
    EXPECT_EQ(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), 0);
}

// While the text is shorter than the view, a new line is drawn by itself
// and the picture is the same as the view drawn whole.
TEST(RtbMoni, LinesBelowAShortTextAreDrawnByThemselves) {
    RtbMoni area;
    ASSERT_TRUE(shown(area));
    area.append_text("erste Zeile\r\n");
    area.refresh_view();
    const int before = area.refreshes_by_moving();
    for (int i = 0; i < 5; ++i) {
        area.append_text("Zeile " + std::to_string(i) + (i == 2 ? "" : "\r\n")); // also a part
        area.refresh_view();
    }
    EXPECT_EQ(area.refreshes_by_moving() - before, 5);
    const QImage drawn = on_screen(area);
    area.viewport()->update();
    EXPECT_EQ(drawn, on_screen(area));
}

// More new lines between two refreshes than the view shows: the view is
// drawn whole each time, so it is shown less often until the bus calms.
TEST(RtbMoni, ABusyBusIsShownLessOften) {
    RtbMoni area;
    ASSERT_TRUE(shown(area));
    const auto lines = [&area](int n) {
        for (int i = 0; i < n; ++i)
            area.append_text("Zeile " + std::to_string(i) + "\r\n");
        area.refresh_view();
    };
    const int shown = area.viewport()->height() / area.line_height();
    lines(shown - 1);
    EXPECT_EQ(area.refresh_interval_ms(), RtbMoni::kRefreshMs);
    lines(shown + 1);
    EXPECT_EQ(area.refresh_interval_ms(), RtbMoni::kBusyRefreshMs);
    area.set_text("");
    area.refresh_view(); // a text shown anew leaves the judgement as it was
    EXPECT_EQ(area.refresh_interval_ms(), RtbMoni::kBusyRefreshMs);
    lines(1);
    EXPECT_EQ(area.refresh_interval_ms(), RtbMoni::kRefreshMs);
}

} // namespace
} // namespace bl

namespace bl {
namespace {

QString line_at_top(const RtbMoni &area) { return area.line_text(area.line_at(QPoint(2, 2))); }

// As a terminal: the view follows the newest line only at the bottom;
// scrolled back or with a selection it stays on its text while lines
// arrive and are cut from the top; back at the bottom it follows again.
TEST(RtbMoni, ScrolledBackOrSelectedTheViewStaysOnItsText) {
    RtbMoni area;
    ASSERT_TRUE(shown(area));
    int n = 0;
    const auto arrive = [&](int lines) {
        for (int i = 0; i < lines; ++i) {
            area.append_text("Zeile " + std::to_string(n++) + "\r\n");
            if (area.text().size() > 5000)
                area.keep_last(4900);
            area.refresh_view();
            QCoreApplication::processEvents();
        }
    };
    arrive(600);
    QWheelEvent up(QPointF(50, 50), area.mapToGlobal(QPointF(50, 50)), {}, QPoint(0, 10 * 120),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(area.viewport(), &up);
    const QString scrolled_to = line_at_top(area);
    arrive(40);
    EXPECT_EQ(line_at_top(area), scrolled_to) << "scrolled back";

    area.verticalScrollBar()->setValue(area.verticalScrollBar()->maximum());
    const int line = area.line_at(QPoint(2, 40));
    area.select(area.line_start(line), area.line_end(line));
    const QString picked = area.selected_text();
    ASSERT_TRUE(picked.startsWith(QStringLiteral("Zeile "))) << picked.toStdString();
    const QString top_then = line_at_top(area);
    arrive(40);
    EXPECT_EQ(area.selected_text(), picked);
    EXPECT_EQ(line_at_top(area), top_then) << "selected";
    QTest::keyClick(&area, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), picked);

    QTest::mouseClick(area.viewport(), Qt::LeftButton, {}, QPoint(2, 2)); // the selection goes
    EXPECT_FALSE(area.has_selection());
    area.verticalScrollBar()->setValue(area.verticalScrollBar()->maximum());
    arrive(3);
    const int newest = area.line_count() - 2; // above the empty line after the last break
    EXPECT_EQ(area.line_text(newest), QStringLiteral("Zeile 682"));
    EXPECT_TRUE(area.viewport()->rect().contains(area.line_rect(newest))) << "following again";
}

// The user selects as in any text: a click and a shift-click, a double
// click for a word, Ctrl+A for all; Ctrl+C copies what is selected.
TEST(RtbMoni, TheMouseAndKeysSelectAndCopy) {
    RtbMoni area;
    ASSERT_TRUE(shown(area));
    area.append_text("Gleisspannung eingeschaltet\r\nWeiche 12 gerade\r\n");
    area.refresh_view();
    const int first = area.line_rect(0).center().y();
    const int second = area.line_rect(1).center().y();
    QWidget *view = area.viewport();
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(1, first));
    QTest::mouseClick(view, Qt::LeftButton, Qt::ShiftModifier, QPoint(view->width() - 1, second));
    EXPECT_EQ(area.selected_text(),
              QStringLiteral("Gleisspannung eingeschaltet\nWeiche 12 gerade"));
    QTest::keyClick(&area, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), area.selected_text());

    const int into_word =
        4 + QFontMetrics(area.font()).horizontalAdvance(QStringLiteral("Gleisspannung ein"));
    QTest::mouseDClick(view, Qt::LeftButton, {}, QPoint(into_word, first));
    EXPECT_EQ(area.selected_text(), QStringLiteral("eingeschaltet"));
    QTest::keyClick(&area, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(area.selected_text(), area.shown_text());
}

// A screen reader reads the area as a read-only text: its lines, the
// selection, and which character stands where.
TEST(RtbMoni, AScreenReaderReadsTheText) {
    RtbMoni area;
    ASSERT_TRUE(shown(area));
    for (int i = 0; i < 60; ++i)
        area.append_text("Zeile " + std::to_string(i) + "\r\n");
    area.refresh_view();
    QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(&area);
    ASSERT_NE(reader, nullptr);
    QAccessibleTextInterface *text = reader->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(reader->state().readOnly);
    EXPECT_EQ(text->characterCount(), area.shown_text().size());
    const int last = area.line_count() - 2;
    const int at = area.line_start(last);
    EXPECT_EQ(text->text(at, area.line_end(last)), QStringLiteral("Zeile 59"));
    text->setSelection(0, at, at + 5);
    EXPECT_EQ(area.selected_text(), QStringLiteral("Zeile"));
    int from = -1, to = -1;
    text->selection(0, &from, &to);
    EXPECT_EQ(std::pair(from, to), std::pair(at, at + 5));
    for (const int offset : {at, at + 3, at + 7}) {
        const QRect box = text->characterRect(offset);
        EXPECT_TRUE(area.viewport()->rect().contains(area.viewport()->mapFromGlobal(box.center())));
        EXPECT_EQ(text->offsetAtPoint(box.topLeft() + QPoint(1, 1)), offset);
    }
    text->scrollToSubstring(0, 5); // the first line, far above
    EXPECT_EQ(area.verticalScrollBar()->value(), 0);
}

// Scrolled by the user, the picture moves and only the lines that come into
// view are drawn: what is on screen must be what drawing the view whole gives.
TEST(RtbMoni, ScrolledPictureEqualsTheViewDrawnWhole) {
    RtbMoni area;
    ASSERT_TRUE(shown(area));
    for (int i = 0; i < 100; ++i)
        area.append_text("Zeile " + std::to_string(i) +
                         std::string(static_cast<std::size_t>(i % 7), '#') + "\r\n");
    area.refresh_view();
    area.select(area.line_start(area.line_count() - 5), area.line_end(area.line_count() - 3));
    for (const int lines : {-3, -1, 2, -40}) {
        QScrollBar *bar = area.verticalScrollBar();
        bar->setValue(bar->value() + lines);
        const QImage scrolled = on_screen(area);
        area.viewport()->update();
        ASSERT_EQ(scrolled, on_screen(area)) << lines;
    }
}

// A window made shorter (or taller) keeps following while lines arrive.
TEST(RtbMoni, AChangedSizeKeepsFollowing) {
    RtbMoni area;
    area.resize(600, 600);
    area.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
    int n = 0;
    const auto arrive = [&](int lines) {
        for (int i = 0; i < lines; ++i)
            area.append_text("Zeile " + std::to_string(n++) + "\r\n");
        area.refresh_view();
        QCoreApplication::processEvents();
    };
    arrive(100);
    for (const QSize size : {QSize(600, 300), QSize(400, 200), QSize(600, 600)}) {
        area.resize(size);
        QCoreApplication::processEvents();
        arrive(5);
        const int newest = area.line_count() - 2;
        EXPECT_EQ(area.line_text(newest), QStringLiteral("Zeile %1").arg(n - 1));
        EXPECT_TRUE(area.viewport()->rect().contains(area.line_rect(newest)))
            << size.width() << "x" << size.height();
    }
}

// The handle of the scroll bar the user sees shows the true position within
// a fifth of a second of any change: lines arriving, the area cleared.
TEST(RtbMoni, TheScrollBarShowsTheTruePositionWithinAFifthOfASecond) {
    RtbMoni area;
    ASSERT_TRUE(shown(area));
    QScrollBar *shown = nullptr;
    for (QScrollBar *bar : area.findChildren<QScrollBar *>(Qt::FindDirectChildrenOnly))
        if (bar->orientation() == Qt::Vertical)
            shown = bar;
    ASSERT_NE(shown, nullptr);
    const QScrollBar *own = area.verticalScrollBar();
    const auto agrees = [&] {
        return shown->maximum() == own->maximum() && shown->value() == own->value();
    };
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 60; ++i)
            area.append_text("Zeile " + std::to_string(i) + "\r\n");
        area.refresh_view();
        QElapsedTimer t;
        t.start();
        EXPECT_TRUE(QTest::qWaitFor(agrees, 1000));
        EXPECT_LE(t.elapsed(), 250) << round;
        area.set_text({}); // "Monitor Löschen?"
        area.refresh_view();
        t.start();
        EXPECT_TRUE(QTest::qWaitFor(agrees, 1000));
        EXPECT_LE(t.elapsed(), 250) << round;
    }
}

} // namespace
} // namespace bl
