// "Bus-Lauscher – Langzeitaufzeichnung" on real widgets: the ring and the
// triggers set in the window, a wrong expression refused with the running
// recordings kept, and the saved events listed and counted.
#include "support/app_harness.h"

#include <QDir>
#include <QListWidget>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace bl {
namespace {

using testing::AppHarness;

QStringList files_in(const QString &folder) {
    return QDir(folder).entryList({QStringLiteral("*.pcapng")}, QDir::Files, QDir::Name);
}

TEST(LongRecordingWindow, SetsTheRingAndTheTriggerAndListsTheEvents) {
    AppHarness h;
    QTest::mouseClick(h.w().btnLongRecording, Qt::LeftButton);
    ASSERT_NE(h.app->long_recording_window(), nullptr);
    LongRecordingWindow &window = *h.app->long_recording_window();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Bus-Lauscher – Langzeitaufzeichnung"));
    EXPECT_EQ(window.stateLabel->text(), QStringLiteral("Keine Langzeitaufzeichnung läuft."));

    // a ring: its first file is there at once and takes the messages
    QTemporaryDir ring, events;
    window.ringFolder->setText(ring.path());
    window.ringFiles->setValue(3);
    QTest::mouseClick(window.applyButton, Qt::LeftButton);
    ASSERT_NE(h.app->long_recordings().ring, nullptr);
    h.receive("B2 0A 50 17");
    h.app->show_health();
    EXPECT_EQ(window.stateLabel->text(), QStringLiteral("Ring: ") + ring.path());
    EXPECT_EQ(files_in(ring.path()).size(), 1);

    // a wrong expression is refused; the ring goes on
    window.triggerEdit->setText(QStringLiteral("rm="));
    QTest::mouseClick(window.applyButton, Qt::LeftButton);
    EXPECT_TRUE(window.stateLabel->text().startsWith(
        QStringLiteral("Der Ausdruck des Auslösers geht nicht: Der Filter ist bei Zeichen")))
        << window.stateLabel->text().toStdString();
    EXPECT_NE(h.app->long_recordings().ring, nullptr);
    EXPECT_EQ(h.app->long_recordings().triggers, nullptr);

    // a trigger on sensor 21 with no seconds after: saved with the next tick
    window.triggerEdit->setText(QStringLiteral("rm=21"));
    window.beforeSpin->setValue(0);
    window.afterSpin->setValue(0);
    window.triggerFolder->setText(events.path());
    QTest::mouseClick(window.applyButton, Qt::LeftButton);
    ASSERT_NE(h.app->long_recordings().triggers, nullptr);
    ASSERT_NE(h.app->long_recordings().ring, nullptr) << "the ring started anew beside it";
    EXPECT_EQ(files_in(ring.path()).size(), 2) << "the first ring file ended, a second began";
    h.receive("B2 0A 40 07 B2 0B 50 16"); // 21 free (matches), 23 occupied (does not)
    h.clock->now += 1;
    h.app->show_health();
    ASSERT_EQ(window.savedList->count(), 1);
    EXPECT_TRUE(window.savedList->item(0)->text().startsWith(events.path()));
    EXPECT_EQ(files_in(events.path()).size(), 1);
    EXPECT_TRUE(h.w().StatusPanel->text().startsWith(QStringLiteral("Gespeicherte Ereignisse: 1")))
        << h.w().StatusPanel->text().toStdString();
    EXPECT_TRUE(window.stateLabel->text().contains(QStringLiteral("Auslöser: rm=21, Dateien in ")));

    // the events stay listed when the trigger is set again, and the count goes on
    window.afterSpin->setValue(0.5);
    QTest::mouseClick(window.applyButton, Qt::LeftButton);
    h.receive("B2 0A 50 17");
    h.clock->now += 1;
    h.app->show_health();
    EXPECT_EQ(window.savedList->count(), 2);
    EXPECT_EQ(h.app->saved_events().size(), 2);

    // emptied, nothing runs
    window.ringFolder->clear();
    window.triggerEdit->clear();
    QTest::mouseClick(window.applyButton, Qt::LeftButton);
    h.app->show_health();
    EXPECT_EQ(h.app->long_recordings().ring, nullptr);
    EXPECT_EQ(h.app->long_recordings().triggers, nullptr);
    EXPECT_TRUE(window.stateLabel->text().startsWith(
        QStringLiteral("Keine Langzeitaufzeichnung läuft.\nGespeicherte Ereignisse: 2")));
}

} // namespace
} // namespace bl
