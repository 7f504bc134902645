#include "stagestyle.h"

#include <QPalette>
#include <QWidget>

#include <cmath>

const char *const StageStyle::ActiveColor = "#FF570D";
const char *const StageStyle::ChoosableColor = "#3B3B3B";
const char *const StageStyle::OffColor = "#888888";
const char *const StageStyle::SettingColor = "#333366";
const char *const StageStyle::HoverColor = "#ADD8E6";
const char *const StageStyle::PressedColor = "#1E90ff";
const char *const StageStyle::PendingColor = "#8A5A00";
const char *const StageStyle::OnLampColor = "#FFFF33";
const char *const StageStyle::SilentLampColor = "#D32F2F";
const char *const StageStyle::OnCaptionColor = "#000000";
// Darker than the lamp's grey: a caption must still be read when its link is off.
const char *const StageStyle::OffCaptionColor = "#595959";
const char *const StageStyle::MessageColor = "#C00000";
const char *const StageStyle::WindowColor = "#EFEFEF";

namespace {

double luminance(const QColor &color)
{
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
           0.0722 * channel(color.blueF());
}

} // namespace

double StageStyle::contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

QString StageStyle::textOn(const QString &background)
{
    const QColor color(background);
    return contrast(color, Qt::white) >= contrast(color, Qt::black) ? "#ffffff" : "#000000";
}

QList<StageStyle::Look> StageStyle::looks(const QString &base)
{
    // A disabled button shows the off grey whatever its base colour.
    return {{"normal", base, textOn(base)},
            {"hover", HoverColor, textOn(HoverColor)},
            {"pressed", PressedColor, textOn(PressedColor)},
            {"disabled", OffColor, textOn(OffColor)}};
}

QString StageStyle::buttonSheet(const QString &base)
{
    QString sheet;
    for (const Look &look : looks(base)) {
        const QString selector =
            look.state == "normal" ? QString(" QPushButton") : " QPushButton:" + look.state;
        sheet += selector + " {background-color:" + look.background + ";color:" + look.text;
        if (look.state == "normal")
            sheet += ";border-style: solid;border-radius: 10";
        sheet += ";} ";
    }
    // A thick frame in the text's colour: it stands out on the button's own fill.
    return sheet + " QPushButton:focus {border: 4px solid " + textOn(base) + ";} ";
}

void StageStyle::setButtonStyle(QWidget *widget, const QString &color)
{
    // Setting a sheet polishes the widget again, even the same sheet: costly
    // while MIDI waits.
    const QString sheet = buttonSheet(color);
    if (widget->styleSheet() != sheet)
        widget->setStyleSheet(sheet);
}

void StageStyle::setLampStyle(QWidget *widget, const QString &color)
{
    widget->setStyleSheet("background-color:" + color + ";" + "border-style: solid;" +
                          "border-radius: 10;");
}

void StageStyle::setTextColor(QWidget *widget, const QString &color)
{
    widget->setStyleSheet("color:" + color + ";");
}

void StageStyle::setWindowColor(QWidget *window)
{
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, QColor(WindowColor));
    window->setPalette(palette);
}
