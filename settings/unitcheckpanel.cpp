#include "unitcheckpanel.h"

#include "hardsettingdialog.h"
#include "hardwarelink.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

UnitCheckPanel::UnitCheckPanel(HardwareLink *link, HardSettingDialog *dialog)
    : QWidget(dialog), link(link), checkSeconds(new QSpinBox(this)),
      testButton(new QPushButton(tr("Test the unit"), this)), results(new QLabel(this))
{
    setObjectName("unitCheckPanel");
    checkSeconds->setObjectName("spinLinkCheckSeconds");
    checkSeconds->setRange(0, 3600);
    checkSeconds->setSuffix(tr(" s"));
    checkSeconds->setSpecialValueText(tr("off"));
    testButton->setObjectName("pushTestUnit");
    results->setObjectName("labelUnitTest");
    results->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *label = new QLabel(tr("Check the unit while idle every"), this);
    label->setBuddy(checkSeconds);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(label, 0, 0);
    grid->addWidget(checkSeconds, 0, 1);
    grid->addWidget(testButton, 0, 2);
    grid->addWidget(results, 1, 0, 1, 3);
    grid->setColumnStretch(3, 1);

    connect(testButton, &QPushButton::clicked, this, &UnitCheckPanel::startTest);
    connect(link, &HardwareLink::presetConfirmed, this, &UnitCheckPanel::confirmed);
    connect(link, &HardwareLink::stateChanged, this, &UnitCheckPanel::linkMoved);
    placeIn(dialog);
}

void UnitCheckPanel::placeIn(HardSettingDialog *dialog)
{
    // Beside "Reconnect hardware", where the form keeps a place for it; at
    // the end of the dialog's layout, or below its fixed geometry, otherwise.
    if (auto *place = dialog->findChild<QBoxLayout *>("unitCheckLayout")) {
        place->addWidget(this);
        if (QWidget *reconnect = dialog->findChild<QWidget *>("pushGetSerial")) {
            setTabOrder(reconnect, checkSeconds);
            setTabOrder(checkSeconds, testButton);
        }
    } else if (auto *box = qobject_cast<QBoxLayout *>(dialog->layout())) {
        box->addWidget(this);
    } else if (auto *grid = qobject_cast<QGridLayout *>(dialog->layout())) {
        grid->addWidget(this, grid->rowCount(), 0, 1, grid->columnCount());
    } else {
        // The form sets its fonts widget by widget; the panel takes its buttons'.
        if (const QWidget *ok = dialog->findChild<QWidget *>("pushOK"))
            setFont(ok->font());
        const int top = dialog->height();
        const int height = sizeHint().height() + 6 * fontMetrics().lineSpacing();
        setGeometry(10, top, dialog->width() - 20, height);
        dialog->resize(dialog->width(), top + height + 10);
    }
}

void UnitCheckPanel::showSeconds(int seconds)
{
    checkSeconds->setValue(seconds);
}

int UnitCheckPanel::seconds() const
{
    return checkSeconds->value();
}

void UnitCheckPanel::startTest()
{
    if (testing)
        return;
    lines.clear();
    if (link->hardStatus() != HardwareLink::HardStatus::Complete) {
        finish(tr("The test needs a unit that answers: connect it first (the status line "
                  "shows \"Complete\")."));
        return;
    }
    if (link->confirmTimeout() <= 0) {
        finish(tr("The test needs answers confirmed: ConfirmTimeout is 0 in the setting file."));
        return;
    }
    steps = {0, 1, 2, 3, 4, 5};
    if (link->currentPreset() >= 0)
        steps << link->currentPreset();
    testing = true;
    testButton->setEnabled(false);
    nextStep();
}

void UnitCheckPanel::nextStep()
{
    if (steps.isEmpty()) {
        finish(tr("The unit answered every request."));
        return;
    }
    results->setText(lines.join('\n'));
    link->selectPreset(steps.first());
}

void UnitCheckPanel::confirmed(int preset, qint64 ms)
{
    if (!testing || steps.isEmpty() || preset != steps.first())
        return;
    steps.removeFirst();
    lines << tr("Preset %1: confirmed in %2 ms").arg(preset + 1).arg(ms);
    // After the link has finished with this answer.
    QTimer::singleShot(0, this, &UnitCheckPanel::nextStep);
}

void UnitCheckPanel::linkMoved()
{
    if (testing && link->hardStatus() != HardwareLink::HardStatus::Complete)
        finish(tr("Preset %1: no answer; the test stopped").arg(steps.value(0) + 1));
}

void UnitCheckPanel::finish(const QString &line)
{
    lines << line;
    results->setText(lines.join('\n'));
    for (const QString &each : qAsConst(lines))
        qDebug("Test   : %s", each.toUtf8().constData());
    testing = false;
    steps.clear();
    testButton->setEnabled(true);
    emit testFinished();
}
