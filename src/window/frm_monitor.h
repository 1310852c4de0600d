#pragma once

#include "window/elided_label.h"
#include "window/resize_rule.h"
#include "window/rtb_moni.h"
#include "window/shaped_label.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QWidget>
#include <array>
#include <functional>

namespace bl {

// Where a control stands, in twips from its container's inner area.
struct ControlPlace {
    const char *name;
    int index; // control-array index, -1 for single controls
    int left, top, width, height;
    int tab;
};

// The monitor window: toolbar, the frame with the send rows and the
// train-category controls, the monitor area and the status bar. It only
// lays out and shows; what the controls do is wired from outside.
class FrmMonitor : public QWidget {
public:
    static constexpr int kInnerWidth = 10290; // twips
    static constexpr int kInnerHeight = 9945;
    static constexpr int kTimerMs = 100;

    explicit FrmMonitor(QWidget *parent = nullptr);

    // Called when the window is closed; ends the program.
    void set_on_close(std::function<void()> handler) { on_close_ = std::move(handler); }
    double dpi() const;

    QToolBar *Toolbar1;
    QPushButton *btnClear;
    QPushButton *btnTraceOnOff;
    QPushButton *cmdStartStop;
    QPushButton *btnCancel;
    QCheckBox *LNM_hex_chk;
    QCheckBox *LNM_ascii_hex_chk;
    QCheckBox *LNM_detail_chk;
    QPushButton *btnHistory;
    QPushButton *btnPcapOnOff;
    QGroupBox *OutFrame;
    std::array<QLineEdit *, 4> LNMsgTxt;
    std::array<QPushButton *, 4> SendCmd;
    QLabel *Label1;
    QLabel *Label2;
    QLineEdit *LokAdrTxt;
    QLineEdit *KatTxt;
    QPushButton *ZugkatBut;
    QPushButton *btnLayout;        // "Anlage…"
    QPushButton *btnLongRecording; // "Langzeit…"
    RtbMoni *rtbMoni;
    QStatusBar *StatusBar1;
    ShapedLabel *HealthPanel;   // the bus's counts, new every second
    QPushButton *FindingsPanel; // "2 Warnungen": a click opens the list
    // The status bar's parts take their room again (after a text changed).
    void arrange_status();
    ElidedLabel *BadPanel;    // the last message that went wrong
    ElidedLabel *StatusPanel; // the connection, the simulated bus, a recording
    QTimer *Timer1;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void place(QWidget *w, const ControlPlace &p);
    // A control with its caption, placed in its container.
    template <typename Control>
    Control *add(const QString &caption, QWidget *container, const ControlPlace &p) {
        auto *control = new Control(caption, container);
        place(control, p);
        return control;
    }
    void set_tab_order();

    AreaGeometry area_;
    std::function<void()> on_close_;
};

} // namespace bl
