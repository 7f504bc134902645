#include "windowkeys.h"

#include "hardwarelink.h"
#include "presets.h"
#include "windowfit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>

namespace {

// With NumLock off a keypad sends the cursor keys printed beneath its digits
// (a common state at boot); to the player it is still a row of digits. The
// main keyboard's cursor keys come without the keypad modifier.
int printedDigit(int key)
{
#ifdef Q_OS_MACOS
    return key; // there the arrow keys carry the keypad modifier, and keypads have no NumLock
#endif
    static const int keys[10] = {Qt::Key_Insert, Qt::Key_End,   Qt::Key_Down,  Qt::Key_PageDown,
                                 Qt::Key_Left,   Qt::Key_Clear, Qt::Key_Right, Qt::Key_Home,
                                 Qt::Key_Up,     Qt::Key_PageUp};
    for (int digit = 0; digit < 10; ++digit) {
        if (keys[digit] == key)
            return Qt::Key_0 + digit;
    }
    return key;
}

} // namespace

WindowKeys::WindowKeys(QWidget *window, HardwareLink *link, WindowFit *fit)
    : QObject(window), window(window), link(link), fit(fit)
{
    // The buttons take arrow keys for focus moves before the window sees
    // them, so the keys are caught on their way to any widget.
    qApp->installEventFilter(this);
}

bool WindowKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto *receiver = static_cast<QWidget *>(watched);
    // Keys of other windows (the settings dialog, the About window) and of the
    // menu bar while it is being worked with the keyboard go their own way.
    if (receiver->window() != window || qobject_cast<QMenuBar *>(receiver) ||
        QApplication::activeModalWidget())
        return false;
    return handleKey(*static_cast<QKeyEvent *>(event), receiver);
}

bool WindowKeys::handleKey(const QKeyEvent &key, QWidget *receiver)
{
    // Shift is allowed: some layouts (AZERTY) need it for the digits. Alt+A
    // and the like belong to others.
    if (key.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier))
        return false;
    const int code = key.modifiers() & Qt::KeypadModifier ? printedDigit(key.key()) : key.key();
    if (code >= Qt::Key_0 && code <= Qt::Key_9) {
        // A held key repeats; one press is one request, as for a pad. The
        // other digits are taken too: as cursor keys they would move the focus.
        if (code >= Qt::Key_1 && code < Qt::Key_1 + PresetCount && !key.isAutoRepeat())
            choosePreset(code - Qt::Key_1);
        return true;
    }
    switch (code) {
    case Qt::Key_PageDown:
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_Left:
    case Qt::Key_Up: {
        const bool forward =
            code == Qt::Key_PageDown || code == Qt::Key_Right || code == Qt::Key_Down;
        if (!key.isAutoRepeat())
            choosePreset(steppedPreset(link->currentPreset(), forward ? 1 : -1));
        return true;
    }
    case Qt::Key_F11:
        if (!key.isAutoRepeat())
            setFullScreen(!window->isFullScreen());
        return true;
    case Qt::Key_Escape:
        if (!window->isFullScreen())
            return false;
        setFullScreen(false);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Push buttons outside dialogs ignore Return; here it clicks like Space.
        if (auto *button = qobject_cast<QAbstractButton *>(receiver)) {
            if (button->isEnabled() && !key.isAutoRepeat())
                button->click();
            return true;
        }
        return false;
    default:
        return false;
    }
}

void WindowKeys::setFullScreen(bool on)
{
    fit->setFullScreen(on);
}

void WindowKeys::choosePreset(int index)
{
    // The pads' rule: a preset acts only while the link takes presets.
    if (index >= 0 && index < PresetCount && link->takesPresets())
        link->selectPreset(index);
}
