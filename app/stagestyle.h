#ifndef STAGESTYLE_H
#define STAGESTYLE_H

#include <QColor>
#include <QList>
#include <QString>

class QWidget;

// The main window's palette and the style sheets every colour change goes
// through: preset and settings buttons, lamps and captions. Text on each
// background is chosen for contrast, so that a stage light or a tired eye can
// still read it. Stateless; GUI thread for the widget helpers.
class StageStyle
{
public:
    // Button backgrounds.
    static const char *const ActiveColor;    // the preset the unit reports
    static const char *const ChoosableColor; // a preset that can be chosen
    static const char *const OffColor;       // disabled buttons, lamps of closed links
    static const char *const SettingColor;   // the SETTINGS button
    static const char *const HoverColor;
    static const char *const PressedColor;
    // Asked for, not yet confirmed by the unit: neither idle nor active.
    static const char *const PendingColor;
    // Lamps and captions.
    static const char *const OnLampColor;
    // The unit does not answer: neither connected yellow nor missing grey.
    static const char *const SilentLampColor;
    static const char *const OnCaptionColor;
    static const char *const OffCaptionColor;
    static const char *const MessageColor;
    static const char *const WindowColor;

    // The text colour (white or black) that reads best on a background.
    static QString textOn(const QString &background);
    // WCAG contrast ratio of two colours, 1 to 21.
    static double contrast(const QColor &a, const QColor &b);

    // One look of a styled button: its state, background and text colour.
    struct Look
    {
        QString state; // "normal", "hover", "pressed", "disabled"
        QString background;
        QString text;
    };
    // The looks a button with this base colour takes.
    static QList<Look> looks(const QString &base);
    // The whole style sheet of a button with this base colour; the button
    // with the keyboard focus gets a thick frame in its text's colour.
    static QString buttonSheet(const QString &base);

    static void setButtonStyle(QWidget *widget, const QString &color);
    static void setLampStyle(QWidget *widget, const QString &color);
    static void setTextColor(QWidget *widget, const QString &color);
    // The window's own background, which the captions are read on.
    static void setWindowColor(QWidget *window);
};

#endif
