// "Bus-Lauscher – Langzeitaufzeichnung": the ring of pcapng files and the
// triggers set in the window as --ring and --trigger set them at the start,
// and the list of the events saved so far.
#pragma once

#include "app/options.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <optional>

class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace bl {

class LongRecordingWindow : public QDialog {
public:
    // apply starts the recordings the settings ask for (after ending the
    // ones running) and gives the reason where they cannot begin.
    using Apply = std::function<std::optional<QString>(const RunOptions &)>;
    LongRecordingWindow(const RunOptions &current, Apply apply, QWidget *parent = nullptr);

    // What is running and the events saved so far (told once a second).
    void show_state(const QString &running, const QStringList &saved);

    QLineEdit *ringFolder;
    QSpinBox *ringSize;
    QSpinBox *ringFiles;
    QLineEdit *triggerEdit;
    QDoubleSpinBox *beforeSpin;
    QDoubleSpinBox *afterSpin;
    QLineEdit *triggerFolder;
    QPushButton *applyButton;
    QLabel *stateLabel;
    QListWidget *savedList;

private:
    void apply_settings();
    QPushButton *chooser(QLineEdit *folder);

    RunOptions settings_;
    Apply apply_;
    QString failure_; // why the last settings could not begin, until the next
};

} // namespace bl
