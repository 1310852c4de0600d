#include "window/frm_monitor.h"
#include "window/resize_rule.h"
#include "window/twips.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace bl {
namespace {

TEST(ResizeRule, FollowsTheInnerArea) {
    const AreaGeometry before{0, 2760, 10275, 6735};
    const struct {
        int w, h;
        AreaGeometry expected;
    } rows[] = {
        {10290, 9945, {0, 480, 10270, 9195}}, // design size
        {1, 9945, before},                    // minimised: nothing changes
        {10290, 1, before},
        {10290, 750, {0, 480, 10270, 6735}}, // too low: height kept
        {10290, 751, {0, 480, 10270, 1}},
        {20, 9945, {0, 480, 10275, 9195}}, // too narrow: width kept
        {21, 9945, {0, 480, 1, 9195}},
    };
    for (const auto &row : rows) {
        const AreaGeometry got = apply_resize_rule(row.w, row.h, before);
        EXPECT_EQ(got.left, row.expected.left);
        EXPECT_EQ(got.top, row.expected.top) << row.w << "x" << row.h;
        EXPECT_EQ(got.width, row.expected.width) << row.w << "x" << row.h;
        EXPECT_EQ(got.height, row.expected.height) << row.w << "x" << row.h;
    }
}

TEST(Twips, FifteenTwipsAPixelAt96Dpi) {
    EXPECT_EQ(twips_to_px(1440, 96), 96);
    EXPECT_EQ(twips_to_px(1695, 96), 113);
    EXPECT_EQ(twips_to_px(1695, 144), 170);
    EXPECT_EQ(px_to_twips(686, 96), 10290);
}

QWidget *control(FrmMonitor &w, const char *name, int index = -1) {
    for (QWidget *c : w.findChildren<QWidget *>(QString::fromLatin1(name)))
        if (index < 0 || c->property("index").toInt() == index)
            return c;
    return nullptr;
}

TEST(FrmMonitor, ControlsStandWhereTheyBelongAt96Dpi) {
    FrmMonitor w;
    ASSERT_EQ(w.dpi(), 96.0) << "the offscreen screen has 96 DPI";
    w.show();
    EXPECT_EQ(w.size(), QSize(686, 663));
    const struct {
        const char *name;
        int index;
        QRect px;
    } rows[] = {
        {"Toolbar1", -1, {0, 0, 686, 42}},
        {"btnClear", -1, {0, 0, 113, 25}},
        {"btnTraceOnOff", -1, {112, 0, 113, 25}},
        {"cmdStartStop", -1, {224, 0, 113, 25}},
        {"btnCancel", -1, {336, 0, 113, 25}},
        {"LNM_hex_chk", -1, {496, 0, 89, 17}},
        {"LNM_ascii_hex_chk", -1, {496, 16, 81, 17}},
        {"OutFrame", -1, {2, 48, 637, 133}},
        {"LNMsgTxt", 0, {8, 16, 365, 21}},
        {"SendCmd", 0, {376, 16, 81, 21}},
        {"LNMsgTxt", 1, {8, 44, 365, 21}},
        {"LNMsgTxt", 3, {8, 72, 365, 21}},
        {"SendCmd", 3, {376, 72, 81, 21}},
        {"LNMsgTxt", 2, {8, 100, 365, 21}},
        {"SendCmd", 2, {376, 100, 81, 21}},
        {"Label1", -1, {538, 48, 25, 13}},
        {"Label2", -1, {584, 48, 25, 13}},
        {"LokAdrTxt", -1, {534, 68, 39, 19}},
        {"KatTxt", -1, {582, 68, 39, 19}},
        {"ZugkatBut", -1, {534, 94, 89, 23}},
        {"StatusBar1", -1, {0, 638, 686, 25}},
        // after the resize rule: top 480, width 10270, height 9195 twips
        {"rtbMoni", -1, {0, 32, 685, 613}},
    };
    for (const auto &row : rows) {
        QWidget *c = control(w, row.name, row.index);
        ASSERT_NE(c, nullptr) << row.name;
        EXPECT_EQ(c->geometry(), row.px) << row.name << " " << row.index;
    }
}

TEST(FrmMonitor, InitialCaptionsTicksAndTexts) {
    FrmMonitor w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral(" Bus-Lauscher"));
    EXPECT_EQ(w.cmdStartStop->text(), QStringLiteral("Stop"));
    EXPECT_EQ(w.btnClear->text(), QStringLiteral("Monitor Löschen?"));
    EXPECT_EQ(w.btnTraceOnOff->text(), QStringLiteral("Verlauf speichern"));
    EXPECT_EQ(w.btnCancel->text(), QStringLiteral("Abbruch"));
    EXPECT_FALSE(w.LNM_hex_chk->isChecked());
    EXPECT_TRUE(w.LNM_ascii_hex_chk->isChecked());
    const char *texts[4] = {"B0 00 10", "B0 00 30", "B0 00 30", "B0 00 10"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(w.LNMsgTxt[i]->text(), QString::fromLatin1(texts[i]));
        EXPECT_EQ(w.SendCmd[i]->text(), QStringLiteral("Sende Msg"));
        EXPECT_EQ(w.LNMsgTxt[i]->font().pointSizeF(), 9.75);
        EXPECT_TRUE(QFontInfo(w.LNMsgTxt[i]->font()).fixedPitch());
    }
    EXPECT_EQ(w.LokAdrTxt->text(), QStringLiteral("-"));
    EXPECT_EQ(w.KatTxt->text(), QStringLiteral("-"));
    EXPECT_EQ(w.LokAdrTxt->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    EXPECT_TRUE(w.Label1->font().bold());
    EXPECT_EQ(w.Label1->text(), QStringLiteral("Adr.:"));
    EXPECT_EQ(w.Label2->text(), QStringLiteral("Kat:"));
    EXPECT_EQ(w.ZugkatBut->text(), QStringLiteral("Zugkat. setzen"));
    EXPECT_TRUE(w.rtbMoni->isReadOnly());
    EXPECT_TRUE(w.rtbMoni->text().empty());
    EXPECT_EQ(w.Timer1->interval(), 100);
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_FALSE(w.windowIcon().isNull());
    // the monitor area lies beneath every other control
    EXPECT_EQ(w.children().indexOf(w.rtbMoni), 0);
}

TEST(FrmMonitor, TabOrderFollowsTheTabIndices) {
    FrmMonitor w;
    w.show();
    QStringList chain;
    QWidget *first = w.btnCancel;
    QWidget *current = first;
    do {
        chain << current->objectName() + (current->property("index").isValid()
                                              ? current->property("index").toString()
                                              : QString());
        current = current->nextInFocusChain();
        while (!current->property("tabIndex").isValid() || !(current->focusPolicy() & Qt::TabFocus))
            current = current->nextInFocusChain();
    } while (current != first && chain.size() < 40);
    EXPECT_EQ(chain.join(QLatin1Char(' ')),
              QStringLiteral("btnCancel btnClear btnTraceOnOff cmdStartStop rtbMoni "
                             "LNM_ascii_hex_chk LNM_hex_chk LNMsgTxt0 SendCmd0 SendCmd1 LNMsgTxt1 "
                             "LNMsgTxt2 SendCmd2 SendCmd3 LNMsgTxt3 LokAdrTxt KatTxt ZugkatBut"));
}

} // namespace
} // namespace bl
