#include "statusdisplay.h"

#include "hardwarelink.h"
#include "portpair.h"
#include "remotepads.h"
#include "stagestyle.h"
#include "tarnappmainwindow.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {

const char *const ActiveColor = StageStyle::ActiveColor;
const char *const ChoosableColor = StageStyle::ChoosableColor;
const char *const OffColor = StageStyle::OffColor;
const char *const OnLampColor = StageStyle::OnLampColor;
const char *const OnCaptionColor = StageStyle::OnCaptionColor;
const char *const OffCaptionColor = StageStyle::OffCaptionColor;

} // namespace

StatusDisplay::StatusDisplay(HardwareLink *link, const Widgets &widgets, QWidget *window)
    : QObject(window), link(link), widgets(widgets), window(window)
{
    connect(link, &HardwareLink::presetReported, this, &StatusDisplay::showReportedPreset);
    connect(link, &HardwareLink::stateChanged, this, &StatusDisplay::updateStatusDisplay);
    // A MIDI service that stops takes the ports with it; show that at once.
    connect(link->ports(), &PortPair::serviceLost, this, &StatusDisplay::updateStatusDisplay);
    // Direct: the box's loop runs inside the failed send.
    connect(
        link, &HardwareLink::sendFailed, this,
        [this](const QString &text) { showSendError(QT_TR_NOOP("Midi Hard Send Error"), text); },
        Qt::DirectConnection);
}

void StatusDisplay::followRemote(RemotePads *pads)
{
    remotePorts = pads->ports();
    connect(remotePorts, &PortPair::serviceLost, this, &StatusDisplay::updateStatusDisplay);
    connect(
        pads, &RemotePads::sendFailed, this,
        [this](const QString &text) { showSendError(QT_TR_NOOP("Midi Remote Send Error"), text); },
        Qt::DirectConnection);
}

void StatusDisplay::updateStatusDisplay()
{
    const bool remoteOpen = remotePorts && remotePorts->isOpen();
    TarnAppMainWindow::setLampStyle(widgets.remoteLamp, remoteOpen ? OnLampColor : OffColor);
    TarnAppMainWindow::setTextColor(widgets.remoteCaption,
                                    remoteOpen ? OnCaptionColor : OffCaptionColor);

    const auto styleButtons = [this](bool enabled, const char *color) {
        for (QPushButton *button : widgets.presetButtons) {
            button->setEnabled(enabled);
            TarnAppMainWindow::setButtonStyle(button, color);
        }
    };

    using Status = HardwareLink::HardStatus;
    link->checkPorts();
    if (!link->ports()->isOpen()) {
        TarnAppMainWindow::setLampStyle(widgets.hardLamp, OffColor);
        TarnAppMainWindow::setTextColor(widgets.hardCaption, OffCaptionColor);
        widgets.message->setText(tr("Please set midi port to the setting."));
        styleButtons(false, OffColor);
        return;
    }
    if (link->hardStatus() == Status::NoPort)
        return;

    TarnAppMainWindow::setLampStyle(widgets.hardLamp, OnLampColor);
    TarnAppMainWindow::setTextColor(widgets.hardCaption, OnCaptionColor);
    switch (link->hardStatus()) {
    case Status::WaitSerial:
        widgets.message->setText(tr("Serial number isn't being received."));
        styleButtons(false, OffColor);
        break;
    case Status::WaitInitStatus:
        widgets.message->setText(tr("Init Status isn't being received"));
        styleButtons(true, ChoosableColor);
        break;
    case Status::Complete:
        widgets.message->setText(tr("Complete : [") +
                                 toHexString(link->hardSerial(), QLatin1Char(' ')) + "]");
        break;
    default:
        break;
    }
}

void StatusDisplay::showReportedPreset(int preset)
{
    for (int i = 0; i < widgets.presetButtons.size(); ++i)
        TarnAppMainWindow::setButtonStyle(widgets.presetButtons[i],
                                          i == preset ? ActiveColor : ChoosableColor);
}

void StatusDisplay::showSendError(const char *title, const QString &text)
{
    // MIDI keeps arriving inside the box's event loop; a failure there must not
    // open box upon box, so while one is open the others go to the debug output.
    if (errorBoxes.contains(title)) {
        qDebug("%s: %s", title, text.toUtf8().constData());
        return;
    }
    errorBoxes << title;
    QMessageBox box(QMessageBox::Critical, tr(title), text, QMessageBox::Ok, window);
    box.exec();
    errorBoxes.removeOne(title);
}
