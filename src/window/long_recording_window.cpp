#include "window/long_recording_window.h"

#include "shared/texts.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QUrl>
#include <QVBoxLayout>

namespace bl {

namespace tx = texts::long_recording;

namespace {

QWidget *row(QLineEdit *edit, QPushButton *button) {
    auto *w = new QWidget;
    auto *layout = new QHBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit, 1);
    layout->addWidget(button);
    return w;
}

QDoubleSpinBox *seconds(double value) {
    auto *spin = new QDoubleSpinBox;
    spin->setRange(0, 3600);
    spin->setDecimals(1);
    spin->setValue(value);
    return spin;
}

} // namespace

LongRecordingWindow::LongRecordingWindow(const RunOptions &current, Apply apply, QWidget *parent)
    : QDialog(parent), settings_(current), apply_(std::move(apply)) {
    setObjectName(QStringLiteral("LongRecordingWindow"));
    setWindowTitle(tx::kTitle);

    ringFolder = new QLineEdit(current.ring);
    ringSize = new QSpinBox;
    ringSize->setRange(1, 2'000'000'000);
    ringSize->setValue(static_cast<int>(std::min<std::uint64_t>(current.ring_kb, 2'000'000'000)));
    ringFiles = new QSpinBox;
    ringFiles->setRange(1, 1'000'000);
    ringFiles->setValue(current.ring_files);
    auto *ring_box = new QGroupBox(tx::kRingGroup);
    auto *ring_form = new QFormLayout(ring_box);
    ring_form->addRow(tx::kRingFolder, row(ringFolder, chooser(ringFolder)));
    ring_form->addRow(tx::kRingSize, ringSize);
    ring_form->addRow(tx::kRingFiles, ringFiles);

    triggerEdit = new QLineEdit(current.trigger);
    triggerEdit->setPlaceholderText(tx::kTriggerPlaceholder);
    beforeSpin = seconds(current.trigger_before);
    afterSpin = seconds(current.trigger_after);
    triggerFolder = new QLineEdit(current.trigger_dir);
    auto *trigger_box = new QGroupBox(tx::kTriggerGroup);
    auto *trigger_form = new QFormLayout(trigger_box);
    trigger_form->addRow(tx::kTrigger, triggerEdit);
    trigger_form->addRow(tx::kBefore, beforeSpin);
    trigger_form->addRow(tx::kAfter, afterSpin);
    trigger_form->addRow(tx::kTriggerFolder, row(triggerFolder, chooser(triggerFolder)));

    stateLabel = new QLabel(tx::kNothingRunning);
    stateLabel->setWordWrap(true);
    stateLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    savedList = new QListWidget;
    savedList->setToolTip(tx::kSavedTip);
    connect(savedList, &QListWidget::itemDoubleClicked, this, [](QListWidgetItem *item) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(item->text()));
    });

    auto *buttons = new QDialogButtonBox;
    applyButton = buttons->addButton(tx::kApply, QDialogButtonBox::ApplyRole);
    buttons->addButton(tx::kClose, QDialogButtonBox::RejectRole);
    connect(applyButton, &QPushButton::clicked, this, [this] { apply_settings(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ring_box);
    layout->addWidget(trigger_box);
    layout->addWidget(stateLabel);
    layout->addWidget(new QLabel(tx::kSaved));
    layout->addWidget(savedList, 1);
    layout->addWidget(buttons);
    resize(560, 520);
}

QPushButton *LongRecordingWindow::chooser(QLineEdit *folder) {
    auto *button = new QPushButton(tx::kChoose);
    connect(button, &QPushButton::clicked, this, [this, folder] {
        const QString chosen =
            QFileDialog::getExistingDirectory(this, tx::kChooseTitle, folder->text());
        if (!chosen.isEmpty())
            folder->setText(chosen);
    });
    return button;
}

void LongRecordingWindow::apply_settings() {
    RunOptions wanted = settings_;
    wanted.ring = ringFolder->text().trimmed();
    wanted.ring_kb = static_cast<std::uint64_t>(ringSize->value());
    wanted.ring_files = ringFiles->value();
    wanted.trigger = triggerEdit->text().trimmed();
    wanted.trigger_before = beforeSpin->value();
    wanted.trigger_after = afterSpin->value();
    wanted.trigger_dir = triggerFolder->text().trimmed();
    const auto reason = apply_(wanted);
    failure_ = reason.value_or(QString());
    if (reason)
        stateLabel->setText(*reason); // at once; what runs follows with the next second
    else
        settings_ = wanted;
}

void LongRecordingWindow::show_state(const QString &running, const QStringList &saved) {
    // why the settings could not begin stands above what runs, until the next try
    const QString text = failure_.isEmpty() ? running : failure_ + QLatin1Char('\n') + running;
    if (stateLabel->text() != text)
        stateLabel->setText(text);
    for (auto i = static_cast<qsizetype>(savedList->count()); i < saved.size(); ++i)
        savedList->addItem(saved[i]);
}

} // namespace bl
