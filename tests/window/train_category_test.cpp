// The train-category command and the send rows, clicked in the window.
#include "sending/train_category.h"
#include "support/app_harness.h"

#include <QTest>
#include <gtest/gtest.h>

namespace bl {
namespace {

using testing::AppHarness;

constexpr const char *kSlot7 = "E7 0E 07 03 7F 00 20 07 12 00 00 01 02 2F";

TEST(SendRows, EachButtonSendsItsOwnRow) {
    AppHarness h;
    const char *expected[4] = {"b000105f", "b000307f", "b000307f", "b000105f"};
    for (int i = 0; i < 4; ++i) {
        h.comm->written.clear();
        QTest::mouseClick(h.w().SendCmd[static_cast<std::size_t>(i)], Qt::LeftButton);
        EXPECT_EQ(h.comm->written.toHex(), QByteArray(expected[i])) << i;
    }
    // the third row on screen is index 3
    h.w().LNMsgTxt[3]->setText(QStringLiteral("83"));
    h.comm->written.clear();
    QTest::mouseClick(h.w().SendCmd[3], Qt::LeftButton);
    EXPECT_EQ(h.comm->written.toHex(), QByteArray("837c"));
    EXPECT_EQ(h.area(), "") << "sending writes no line";
}

TEST(TrainCategory, Address127Category15) {
    AppHarness h;
    h.answer("BF 00 7F 3F", kSlot7);
    h.w().LokAdrTxt->setText(QStringLiteral("127"));
    h.w().KatTxt->setText(QStringLiteral("15"));
    QTest::mouseClick(h.w().ZugkatBut, Qt::LeftButton);
    const QByteArray request = QByteArray::fromHex("bf007f3f");
    QByteArray write = QByteArray::fromHex("ef0e07037f0020077200000102");
    int x = 0xFF;
    for (char c : write)
        x ^= static_cast<unsigned char>(c);
    write.append(static_cast<char>(x));
    EXPECT_EQ(h.comm->written.toHex(), (request + write).toHex());
    EXPECT_TRUE(h.area().starts_with(" -- Setze Zugkategorie --\r\n"));
    EXPECT_EQ(h.app->vars().err_flag, 0);
    EXPECT_TRUE(h.w().ZugkatBut->isEnabled());
}

TEST(TrainCategory, FieldsAreReadAsNumbers) {
    const struct {
        const char *address;
        const char *category;
        const char *request; // "" = nothing happens
        int category_byte;
    } rows[] = {
        {"-", "-", "", 0},
        {"128", "3", "", 0},
        {"0", "3", "", 0},
        {"5", "16", "", 0},
        {"5", "-1", "", 0},
        {"12x", "-", "bf000c4c", 0x00},
        {"3", "5", "bf000343", 0x22},
        {" 1 2 ", "1", "bf000c4c", 0x02},
        {"&H7F", "2", "bf007f3f", 0x10},
        {"2.5", "14.5", "bf000242", 0x70},
    };
    for (const auto &row : rows) {
        AppHarness h;
        h.answer("", kSlot7);
        h.comm->on_output = [&h](const QByteArray &) {
            if (h.comm->written.size() == 4)
                h.comm->waiting += QByteArray::fromStdString(testing::bytes(kSlot7));
        };
        h.w().LokAdrTxt->setText(QString::fromLatin1(row.address));
        h.w().KatTxt->setText(QString::fromLatin1(row.category));
        QTest::mouseClick(h.w().ZugkatBut, Qt::LeftButton);
        if (std::string(row.request).empty()) {
            EXPECT_TRUE(h.comm->written.isEmpty()) << row.address << " " << row.category;
            EXPECT_EQ(h.area(), "");
            continue;
        }
        ASSERT_EQ(h.comm->written.size(), 18) << row.address << " " << row.category;
        EXPECT_EQ(h.comm->written.left(4).toHex(), QByteArray(row.request)) << row.address;
        EXPECT_EQ(static_cast<unsigned char>(h.comm->written.at(4 + 8)), row.category_byte)
            << row.category;
    }
}

TEST(TrainCategory, SlotDataOfAnotherSlotIsUsedAsItIs) {
    AppHarness h;
    h.answer("BF 00 03 43", kSlot7);
    h.w().LokAdrTxt->setText(QStringLiteral("3"));
    h.w().KatTxt->setText(QStringLiteral("5"));
    QTest::mouseClick(h.w().ZugkatBut, Qt::LeftButton);
    EXPECT_EQ(h.comm->written.mid(4, 13).toHex(), QByteArray("ef0e07037f0020072200000102"));
}

TEST(TrainCategory, NoAnswerWithinFiveSeconds) {
    AppHarness h;
    h.w().LokAdrTxt->setText(QStringLiteral("3"));
    h.w().KatTxt->setText(QStringLiteral("5"));
    bool disabled_while_waiting = false;
    int second_clicks = 0;
    h.pump->on_pass = [&] {
        disabled_while_waiting = !h.w().ZugkatBut->isEnabled();
        if (second_clicks++ == 3)
            QTest::mouseClick(h.w().ZugkatBut, Qt::LeftButton); // refused
    };
    const double start = h.clock->now;
    h.app->vars().monitor_on = 0; // the lines appear also while stopped
    QTest::mouseClick(h.w().ZugkatBut, Qt::LeftButton);
    EXPECT_GT(h.clock->now - start, 5.0);
    EXPECT_TRUE(disabled_while_waiting);
    EXPECT_TRUE(h.w().ZugkatBut->isEnabled());
    EXPECT_EQ(h.comm->written.toHex(), QByteArray("bf000343")) << "one request, no write";
    EXPECT_EQ(h.area(), " -- Setze Zugkategorie --\r\n -- Keine Antwort der Zentrale --\r\n");
}

TEST(TrainCategory, SlotWriteWaitsForClearToSendAndRowsQueueBehindIt) {
    AppHarness h;
    h.answer("BF 00 03 43", kSlot7);
    h.w().LokAdrTxt->setText(QStringLiteral("3"));
    h.w().KatTxt->setText(QStringLiteral("5"));
    int passes = 0;
    auto deliver = h.pump->on_pass;
    h.comm->cts_fn = [&] { return h.comm->written.size() < 8 || passes > 30; };
    h.pump->on_pass = [&] {
        deliver();
        if (++passes == 10) // a send row clicked while the write waits for CTS
            QTest::mouseClick(h.w().SendCmd[1], Qt::LeftButton);
    };
    QTest::mouseClick(h.w().ZugkatBut, Qt::LeftButton);
    const QByteArray sent = h.comm->written;
    ASSERT_EQ(sent.size(), 4 + 14 + 4);
    EXPECT_EQ(static_cast<unsigned char>(sent.at(4)), 0xEF);
    EXPECT_EQ(sent.right(4).toHex(), QByteArray("b000307f")) << "whole, after the slot write";
}

TEST(CategoryByte, CodesEveryCategory) {
    const int expected[16] = {0x00, 0x02, 0x10, 0x12, 0x20, 0x22, 0x30, 0x32,
                              0x40, 0x42, 0x50, 0x52, 0x60, 0x62, 0x70, 0x72};
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(category_byte(k), expected[k]);
    EXPECT_EQ(category_byte(4.5), 0x20);
    EXPECT_EQ(category_byte(5.5), 0x30);
}

} // namespace
} // namespace bl
