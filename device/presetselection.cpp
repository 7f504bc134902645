// The main window's preset selection: the six buttons, the remote controller's
// pads and foot switch, and the preset request they all end in. GUI thread.
#include "tarnappmainwindow.h"

#include "hardmessages.h"
#include "hardsettingdialog.h"
#include "qmidimessage.h"

#include <QPushButton>

namespace {

const int FirstPadNote = 54;
const int FootSwitchNote = 69;

} // namespace

void TarnAppMainWindow::on_pushPreset1_clicked()
{
    selectPreset(0);
}

void TarnAppMainWindow::on_pushPreset2_clicked()
{
    selectPreset(1);
}

void TarnAppMainWindow::on_pushPreset3_clicked()
{
    selectPreset(2);
}

void TarnAppMainWindow::on_pushPreset4_clicked()
{
    selectPreset(3);
}

void TarnAppMainWindow::on_pushPreset5_clicked()
{
    selectPreset(4);
}

void TarnAppMainWindow::on_pushPreset6_clicked()
{
    selectPreset(5);
}

void TarnAppMainWindow::onMidiRemoteReceive(QMidiMessage *message)
{
    if (!message || (message->status() != 0x90 && message->status() != 0x80))
        return;
    const int note = message->pitch();
    // A Note Off is MIDI's Note On at velocity 0; bridges (PipeWire,
    // a2jmidid) turn the foot switch's one into the other.
    const bool noteOff = message->status() == 0x80 || message->velocity() == 0;
    if (message->status() == 0x90 && message->velocity() == 127) {
        const int index = note - FirstPadNote;
        if (index < 0 || index >= presetButtons.size())
            return;
        // Pads act only while the buttons could be clicked, i.e. once the
        // unit's serial number is held.
        if (!presetButtons[index]->isEnabled())
            return;
        selectPreset(index);
    } else if (noteOff && note == FootSwitchNote) {
        // The foot switch follows the dialog's list as it stands now, saved or
        // not, and does not depend on the link state.
        const int preset = hardSettingDialog ? hardSettingDialog->footSwitchPreset() : -1;
        if (preset < 0)
            return;
        selectPreset(preset);
    }
}

void TarnAppMainWindow::selectPreset(int index)
{
    sendMidiHard(makePresetRequest(hardSerial, static_cast<unsigned char>(index)));
}
