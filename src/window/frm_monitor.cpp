#include "window/frm_monitor.h"

#include "shared/texts.h"
#include "window/twips.h"

#include <QStyle>

#include <QAbstractButton>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QIcon>
#include <QResizeEvent>
#include <algorithm>
#include <vector>

// The window's resources (its icon) live in a static library; without this
// call the linker leaves them out of the program.
static void link_window_resources() { Q_INIT_RESOURCE(window); }

namespace bl {

namespace {

// name, index, left, top, width, height (twips), tab order
constexpr ControlPlace kToolbar1{"Toolbar1", -1, 0, 0, 10290, 630, 0};
constexpr ControlPlace kOutFrame{"OutFrame", -1, 30, 720, 9555, 1995, 9};
constexpr ControlPlace kRtbMoni{"rtbMoni", -1, 0, 2760, 10275, 6735, 5};
constexpr ControlPlace kStatusBar1{"StatusBar1", -1, 0, 9570, 10290, 375, 8};

// on Toolbar1
constexpr ControlPlace kBtnClear{"btnClear", -1, 0, 0, 1695, 375, 2};
constexpr ControlPlace kBtnTraceOnOff{"btnTraceOnOff", -1, 1680, 0, 1695, 375, 3};
constexpr ControlPlace kCmdStartStop{"cmdStartStop", -1, 3360, 0, 1695, 375, 4};
constexpr ControlPlace kBtnCancel{"btnCancel", -1, 5040, 0, 1695, 375, 1};
// in the free space after it: a pcapng recording for Wireshark
constexpr ControlPlace kBtnPcapOnOff{"btnPcapOnOff", -1, 6765, 0, 645, 375, 25};
constexpr ControlPlace kHexChk{"LNM_hex_chk", -1, 7440, 0, 1335, 255, 7};
constexpr ControlPlace kAsciiHexChk{"LNM_ascii_hex_chk", -1, 7440, 240, 1215, 255, 6};
// beside the two output modes, in the toolbar's free right part
constexpr ControlPlace kDetailChk{"LNM_detail_chk", -1, 8820, 0, 1275, 255, 23};
// below it: the history window
constexpr ControlPlace kBtnHistory{"btnHistory", -1, 8820, 270, 1275, 330, 24};

// in OutFrame; the rows stand on screen as indices 0, 1, 3, 2
constexpr ControlPlace kMsgTxt[4] = {{"LNMsgTxt", 0, 120, 240, 5475, 315, 10},
                                     {"LNMsgTxt", 1, 120, 660, 5475, 315, 13},
                                     {"LNMsgTxt", 2, 120, 1500, 5475, 315, 14},
                                     {"LNMsgTxt", 3, 120, 1080, 5475, 315, 17}};
constexpr ControlPlace kSendCmd[4] = {{"SendCmd", 0, 5640, 240, 1215, 315, 11},
                                      {"SendCmd", 1, 5640, 660, 1215, 315, 12},
                                      {"SendCmd", 2, 5640, 1500, 1215, 315, 15},
                                      {"SendCmd", 3, 5640, 1080, 1215, 315, 16}};
constexpr ControlPlace kLabel1{"Label1", -1, 8070, 720, 375, 195, 20};
constexpr ControlPlace kLabel2{"Label2", -1, 8760, 720, 375, 195, 21};
constexpr ControlPlace kLokAdrTxt{"LokAdrTxt", -1, 8010, 1020, 585, 285, 18};
constexpr ControlPlace kKatTxt{"KatTxt", -1, 8730, 1020, 585, 285, 19};
constexpr ControlPlace kZugkatBut{"ZugkatBut", -1, 8010, 1410, 1335, 345, 22};
// in the frame's free middle: the layout's state
constexpr ControlPlace kBtnLayout{"btnLayout", -1, 6960, 240, 975, 315, 26};
// below it: the ring of files and the triggers
constexpr ControlPlace kBtnLongRecording{"btnLongRecording", -1, 6960, 660, 975, 315, 27};

// room for a few lines of the monitor below the frame, in the smallest window
constexpr int kMinimumAreaBelowFrame = 900;

const char *const kMsgDefaults[4] = {"B0 00 10", "B0 00 30", "B0 00 30", "B0 00 10"};

// The named family, or the nearest one the system has: first the families
// made to stand in for it, then the system's own fixed or general font.
QFont font_like(QStringList families, QFont::StyleHint hint, double points, bool bold) {
    const QStringList installed = QFontDatabase::families();
    QString chosen;
    for (const QString &family : families)
        if (installed.contains(family, Qt::CaseInsensitive)) {
            chosen = family;
            break;
        }
    if (chosen.isEmpty())
        chosen = QFontDatabase::systemFont(hint == QFont::Monospace ? QFontDatabase::FixedFont
                                                                    : QFontDatabase::GeneralFont)
                     .family();
    QFont f(chosen);
    f.setStyleHint(hint);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

const QStringList kSansFamilies = {QStringLiteral("MS Sans Serif"),
                                   QStringLiteral("Microsoft Sans Serif"),
                                   QStringLiteral("Liberation Sans"), QStringLiteral("Arial")};
const QStringList kCourierFamilies = {QStringLiteral("Courier New"),
                                      QStringLiteral("Liberation Mono"),
                                      QStringLiteral("DejaVu Sans Mono")};

} // namespace

FrmMonitor::FrmMonitor(QWidget *parent) : QWidget(parent) {
    link_window_resources();
    setObjectName(QStringLiteral("frmMonitor"));
    setWindowTitle(texts::window::kWindowCaption);
    setWindowIcon(QIcon(QStringLiteral(":/bus-lauscher.png")));
    // the dialog font of the system the window was drawn for
    setFont(font_like(kSansFamilies, QFont::SansSerif, 8.25, false));

    // created first, so that it lies beneath every other control
    rtbMoni = new RtbMoni(this);
    place(rtbMoni, kRtbMoni);
    area_ = {kRtbMoni.left, kRtbMoni.top, kRtbMoni.width, kRtbMoni.height};

    Toolbar1 = new QToolBar(this);
    Toolbar1->setMovable(false);
    Toolbar1->setAutoFillBackground(true); // covers the monitor area beneath
    place(Toolbar1, kToolbar1);
    btnClear = add<QPushButton>(texts::window::kClear, Toolbar1, kBtnClear);
    btnTraceOnOff = add<QPushButton>(texts::trace::kTraceStart, Toolbar1, kBtnTraceOnOff);
    cmdStartStop = add<QPushButton>(texts::window::kStop, Toolbar1, kCmdStartStop);
    btnCancel = add<QPushButton>(texts::window::kCancel, Toolbar1, kBtnCancel);
    LNM_hex_chk = add<QCheckBox>(texts::window::kHexOutput, Toolbar1, kHexChk);
    LNM_ascii_hex_chk = add<QCheckBox>(texts::window::kAsciiHex, Toolbar1, kAsciiHexChk);
    LNM_ascii_hex_chk->setChecked(true);
    LNM_detail_chk = add<QCheckBox>(texts::window::kDetail, Toolbar1, kDetailChk);
    btnHistory = add<QPushButton>(texts::window::kHistory, Toolbar1, kBtnHistory);
    btnPcapOnOff = add<QPushButton>(texts::capture::kButton, Toolbar1, kBtnPcapOnOff);
    btnPcapOnOff->setCheckable(true);
    btnPcapOnOff->setToolTip(texts::capture::kButtonTip);
    btnHistory->setToolTip(texts::window::kHistoryTip);
    cmdStartStop->setToolTip(texts::window::kStopTip);

    OutFrame = new QGroupBox(this);
    OutFrame->setAutoFillBackground(true); // covers the monitor area beneath
    place(OutFrame, kOutFrame);
    const QFont courier = font_like(kCourierFamilies, QFont::Monospace, 9.75, false);
    for (std::size_t i = 0; i < 4; ++i) {
        LNMsgTxt[i] = add<QLineEdit>(QString::fromLatin1(kMsgDefaults[i]), OutFrame, kMsgTxt[i]);
        LNMsgTxt[i]->setFont(courier);
        SendCmd[i] = add<QPushButton>(texts::sending::kSendMsg, OutFrame, kSendCmd[i]);
    }
    const QFont sans_bold = font_like(kSansFamilies, QFont::SansSerif, 8.25, true);
    Label1 = add<QLabel>(texts::window::kAddressLabel, OutFrame, kLabel1);
    Label1->setFont(sans_bold);
    Label2 = add<QLabel>(texts::window::kCategoryLabel, OutFrame, kLabel2);
    Label2->setFont(sans_bold);
    LokAdrTxt = add<QLineEdit>(QStringLiteral("-"), OutFrame, kLokAdrTxt);
    LokAdrTxt->setAlignment(Qt::AlignCenter);
    KatTxt = add<QLineEdit>(QStringLiteral("-"), OutFrame, kKatTxt);
    KatTxt->setAlignment(Qt::AlignCenter);
    ZugkatBut = add<QPushButton>(texts::window::kSetCategory, OutFrame, kZugkatBut);
    btnLayout = add<QPushButton>(texts::layout::kButton, OutFrame, kBtnLayout);
    btnLayout->setToolTip(texts::layout::kButtonTip);
    btnLongRecording =
        add<QPushButton>(texts::long_recording::kButton, OutFrame, kBtnLongRecording);
    btnLongRecording->setToolTip(texts::long_recording::kButtonTip);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setAutoFillBackground(true);
    // the bus's counts at the left, always whole; the last bad message
    // beside them; what the connection is at the right, yielding first
    HealthPanel = new ShapedLabel(StatusBar1);
    HealthPanel->setObjectName(QStringLiteral("HealthPanel"));
    StatusBar1->addWidget(HealthPanel);
    FindingsPanel = new QPushButton(StatusBar1);
    FindingsPanel->setFlat(true);
    // cut at its end where the bar is narrow, its start still read
    FindingsPanel->setStyleSheet(QStringLiteral("text-align: left; padding: 0 4px;"));
    FindingsPanel->setObjectName(QStringLiteral("FindingsPanel"));
    FindingsPanel->setToolTip(texts::findings_list::kStatusTip);
    FindingsPanel->hide(); // until there is a finding
    StatusBar1->addWidget(FindingsPanel);
    BadPanel = new ElidedLabel(StatusBar1);
    BadPanel->setObjectName(QStringLiteral("BadPanel"));
    StatusBar1->addWidget(BadPanel, 1);
    StatusPanel = new ElidedLabel(StatusBar1);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    StatusBar1->addPermanentWidget(StatusPanel);
    StatusBar1->installEventFilter(this);
    place(StatusBar1, kStatusBar1);

    set_tab_order();
    // A click leaves the keyboard focus where it was: a button taking it
    // would leave it on "Abbruch" as the next in the chain when disabled,
    // and one Space would then end the program. Tab still reaches them.
    for (QAbstractButton *b : findChildren<QAbstractButton *>())
        b->setFocusPolicy(Qt::TabFocus);
    // the keyboard starts in the first send row, not on "Abbruch"
    LNMsgTxt[0]->setFocus();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimerMs);
    Timer1->start();

    // small, but never so small that a control of the toolbar or the frame
    // is cut off: the frame's width, and its height with a few lines below
    const double d = dpi();
    setMinimumSize(
        twips_to_px(
            std::max(2 * kOutFrame.left + kOutFrame.width, kDetailChk.left + kDetailChk.width), d),
        twips_to_px(kOutFrame.top + kOutFrame.height + kMinimumAreaBelowFrame + kStatusBar1.height,
                    d));
    resize(twips_to_px(kInnerWidth, d), twips_to_px(kInnerHeight, d));
}

double FrmMonitor::dpi() const { return logicalDpiY(); }

bool FrmMonitor::eventFilter(QObject *watched, QEvent *event) {
    if (watched == StatusBar1 &&
        (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Resize))
        arrange_status();
    return QWidget::eventFilter(watched, event);
}

// The counts take the room their text needs; the bad message what is left,
// the connection note what is left after it.
void FrmMonitor::arrange_status() {
    const int gaps = 3 * StatusBar1->style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing) + 16;
    const int counts = HealthPanel->natural_width();
    // the findings' count after them, cut where the bar is too narrow (its
    // tooltip and the list it opens say it whole)
    const int findings = FindingsPanel->isHidden()
                             ? 0
                             : std::min(FindingsPanel->sizeHint().width() + 4,
                                        std::max(0, StatusBar1->width() - counts - gaps));
    const int left = std::max(0, StatusBar1->width() - counts - findings - gaps);
    const int bad = std::min(BadPanel->natural_width(), left);
    const int note = std::min(StatusPanel->natural_width(), left - bad);
    const auto fix = [](QWidget *w, int width) {
        if (w->minimumWidth() != width || w->maximumWidth() != width)
            w->setFixedWidth(width);
    };
    fix(HealthPanel, counts);
    if (!FindingsPanel->isHidden())
        fix(FindingsPanel, findings);
    fix(StatusPanel, note);
    BadPanel->setMinimumWidth(0);
    BadPanel->setMaximumWidth(std::max(bad, 0));
}

void FrmMonitor::place(QWidget *w, const ControlPlace &p) {
    w->setObjectName(QString::fromLatin1(p.name));
    if (p.index >= 0)
        w->setProperty("index", p.index);
    w->setProperty("tabIndex", p.tab);
    const double d = dpi();
    w->setGeometry(twips_to_px(p.left, d), twips_to_px(p.top, d), twips_to_px(p.width, d),
                   twips_to_px(p.height, d));
}

// One Tab sequence through the whole window, in the order of the tab indices.
void FrmMonitor::set_tab_order() {
    std::vector<QWidget *> focusable;
    for (QWidget *w : findChildren<QWidget *>())
        if (w->property("tabIndex").isValid() && w->focusPolicy() & Qt::TabFocus)
            focusable.push_back(w);
    std::sort(focusable.begin(), focusable.end(), [](QWidget *a, QWidget *b) {
        return a->property("tabIndex").toInt() < b->property("tabIndex").toInt();
    });
    for (std::size_t i = 1; i < focusable.size(); ++i)
        setTabOrder(focusable[i - 1], focusable[i]);
}

void FrmMonitor::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    const double d = dpi();
    const int w = width();
    const int h = height();
    // docked strips follow the inner width
    Toolbar1->setGeometry(0, 0, w, Toolbar1->height());
    StatusBar1->setGeometry(0, h - StatusBar1->height(), w, StatusBar1->height());
    area_ = apply_resize_rule(px_to_twips(w, d), px_to_twips(h, d), area_);
    rtbMoni->setGeometry(twips_to_px(area_.left, d), twips_to_px(area_.top, d),
                         twips_to_px(area_.width, d), twips_to_px(area_.height, d));
    // the text stands between the frame and the status bar, which cover the
    // area's top and bottom
    const QRect area = rtbMoni->geometry();
    rtbMoni->set_covered(OutFrame->geometry().bottom() + 1 - area.top(),
                         area.bottom() + 1 - StatusBar1->geometry().top());
}

void FrmMonitor::closeEvent(QCloseEvent *event) {
    event->accept();
    if (on_close_)
        on_close_();
}

} // namespace bl
