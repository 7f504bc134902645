#include "statusdisplay.h"

#include "controllerlink.h"
#include "hardwarelink.h"
#include "midiportsupport.h"
#include "portpair.h"
#include "stagestyle.h"

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
const char *const PendingColor = StageStyle::PendingColor;
const char *const SilentLampColor = StageStyle::SilentLampColor;

} // namespace

StatusDisplay::StatusDisplay(HardwareLink *link, const Widgets &widgets, QWidget *window)
    : QObject(window), link(link), widgets(widgets), window(window)
{
    // A long reason (a port's name) must not widen the window past the
    // screen: it wraps in a narrow column, and is told whole in its tooltip
    // where even that is cut.
    QSizePolicy policy = widgets.message->sizePolicy();
    policy.setHorizontalPolicy(QSizePolicy::Ignored);
    widgets.message->setSizePolicy(policy);
    widgets.message->setWordWrap(true);
    connect(link, &HardwareLink::presetReported, this, &StatusDisplay::showReportedPreset);
    connect(link, &HardwareLink::stateChanged, this, &StatusDisplay::updateStatusDisplay);
    connect(link, &HardwareLink::pendingChanged, this, &StatusDisplay::showPending);
    // A MIDI service that stops takes the ports with it; show that at once
    // (the link shows itself when its state changes with it).
    connect(link->ports(), &PortPair::serviceLost, this, &StatusDisplay::updateStatusDisplay);
    // Direct: the box's loop runs inside the failed send.
    connect(
        link, &HardwareLink::sendFailed, this,
        [this](const QString &text) { showSendError(QT_TR_NOOP("Midi Hard Send Error"), text); },
        Qt::DirectConnection);
}

void StatusDisplay::followRemote(ControllerLink *pads)
{
    remotePorts = pads->ports();
    connect(remotePorts, &PortPair::serviceLost, this, &StatusDisplay::updateStatusDisplay);
    connect(
        pads, &ControllerLink::sendFailed, this,
        [this](const QString &text) { showSendError(QT_TR_NOOP("Midi Remote Send Error"), text); },
        Qt::DirectConnection);
}

void StatusDisplay::setStoredNames(const StoredNames &hardware, const StoredNames &remote)
{
    hardwareNames = hardware;
    remoteNames = remote;
}

QString StatusDisplay::closedReason(PortPair *pair, const StoredNames &stored,
                                    const QString &device) const
{
    const QStringList names = stored ? stored() : QStringList();
    if (names.value(0).isEmpty() || names.value(1).isEmpty())
        return tr("Please set midi port to the setting.");
    const QStringList ins = pair->portNames(PortPair::End::In);
    const QStringList outs = pair->portNames(PortPair::End::Out);
    // Nothing listed at all: no service answers (a running service lists
    // the devices, and ALSA its own through port).
    if (ins.isEmpty() && outs.isEmpty()) {
        const RtMidi::Api api = MidiPortSupport::service();
        const QString service = api == RtMidi::UNSPECIFIED
                                    ? tr("ALSA or JACK")
                                    : QString::fromStdString(RtMidi::getApiDisplayName(api));
        return tr("No MIDI service answers (%1): start it, then the %2 connects by itself.")
            .arg(service, device);
    }
    for (int end = 0; end < 2; ++end) {
        const auto which = end == 0 ? PortPair::End::In : PortPair::End::Out;
        if (pair->presentName(which, names[end]).isEmpty())
            return tr("The %1 is not connected (port \"%2\").").arg(device, names[end]);
    }
    // Present and not open: said of the unit only, since at start-up the
    // remote pair opens after the link has shown itself.
    if (pair != link->ports())
        return QString();
    return tr("The %1's ports are there but could not be opened (\"%2\").").arg(device, names[0]);
}

void StatusDisplay::tell(QString &told, const QString &text)
{
    if (text == told)
        return;
    told = text;
    if (!text.isEmpty())
        qDebug("Status : %s", text.toUtf8().constData());
}

void StatusDisplay::updateStatusDisplay()
{
    const bool remoteOpen = remotePorts && remotePorts->isOpen();
    StageStyle::setLampStyle(widgets.remoteLamp, remoteOpen ? OnLampColor : OffColor);
    StageStyle::setTextColor(widgets.remoteCaption, remoteOpen ? OnCaptionColor : OffCaptionColor);
    const bool remoteSet = remoteNames && !remoteNames().join(QString()).isEmpty();
    const QString remoteReason = remoteOpen || !remoteSet || !remotePorts
                                     ? QString()
                                     : closedReason(remotePorts, remoteNames, tr("controller"));
    widgets.remoteCaption->setToolTip(remoteReason);
    tell(toldRemote, remoteReason);

    const auto styleButtons = [this](bool enabled, const char *color) {
        for (QPushButton *button : widgets.presetButtons) {
            button->setEnabled(enabled);
            StageStyle::setButtonStyle(button, color);
        }
    };

    using Status = HardwareLink::HardStatus;
    if (!link->ports()->isOpen()) {
        StageStyle::setLampStyle(widgets.hardLamp, OffColor);
        StageStyle::setTextColor(widgets.hardCaption, OffCaptionColor);
        const QString reason = closedReason(link->ports(), hardwareNames, tr("unit"));
        widgets.message->setText(reason);
        widgets.message->setToolTip(reason);
        tell(toldHardware, reason);
        styleButtons(false, OffColor);
        return;
    }
    tell(toldHardware, QString());
    widgets.message->setToolTip(QString());
    if (link->hardStatus() == Status::NoPort)
        return;

    const bool silent = link->hardStatus() == Status::NotAnswering;
    StageStyle::setLampStyle(widgets.hardLamp, silent ? SilentLampColor : OnLampColor);
    StageStyle::setTextColor(widgets.hardCaption, OnCaptionColor);
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
    case Status::NotAnswering:
        // The buttons stay as the unit last confirmed them, and usable.
        widgets.message->setText(tr("The unit is not answering: is it on and connected?"));
        for (QPushButton *button : widgets.presetButtons)
            button->setEnabled(true);
        break;
    default:
        break;
    }
}

void StatusDisplay::showPending(int preset)
{
    if (!link->takesPresets())
        return;
    for (int i = 0; i < widgets.presetButtons.size(); ++i)
        StageStyle::setButtonStyle(widgets.presetButtons[i], i == preset ? PendingColor
                                                             : i == link->currentPreset()
                                                                 ? ActiveColor
                                                                 : ChoosableColor);
}

void StatusDisplay::showReportedPreset(int)
{
    // The link's latest: a newer report may have come in a box's loop opened
    // by a failed lamp before this one was shown.
    const int preset = link->currentPreset();
    for (int i = 0; i < widgets.presetButtons.size(); ++i)
        StageStyle::setButtonStyle(widgets.presetButtons[i],
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
