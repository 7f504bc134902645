#include "windowstate.h"

#include "appsetting.h"
#include "stagelayout.h"
#include "windowfit.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSettings>

#include <algorithm>

void WindowState::restore(StageLayout &stage, WindowFit &fit)
{
    QSettings file(AppSetting::windowStateFilePath(), QSettings::IniFormat);
    int width = file.value("Width").toInt();
    int height = file.value("Height").toInt();
    int x = file.value("X").toInt();
    int y = file.value("Y").toInt();
    int fontSize = file.value("FontSize").toInt();
    if (width == 0) {
        x = 200;
        y = 200;
        width = 1100;
    }
    if (height == 0)
        height = 400;
    if (fontSize == 0)
        fontSize = 18;
    // Stored numbers are taken as they are, but within Qt's widget size limit,
    // so that a position plus a size cannot overflow; Qt clamps larger sizes
    // anyway, and a position that far out is on no screen.
    const auto bounded = [](int value) { return qBound(-QWIDGETSIZE_MAX, value, QWIDGETSIZE_MAX); };
    x = bounded(x);
    y = bounded(y);
    width = bounded(width);
    height = bounded(height);

    // A window stored wholly off every screen (a monitor since unplugged)
    // would be unreachable; it opens at the default position instead.
    const QRect stored(x, y, width, height);
    const QList<QScreen *> screens = QGuiApplication::screens();
    const bool visible =
        screens.isEmpty() || std::any_of(screens.begin(), screens.end(), [&](QScreen *screen) {
            return screen->geometry().intersects(stored);
        });
    if (!visible) {
        x = 200;
        y = 200;
    }

    // A place or size the screen cannot hold (a bigger screen's) is brought inside.
    stage.setFonts(fontSize);
    fit.place(QRect(x, y, width, height));
}

void WindowState::save(StageLayout &stage, WindowFit &fit)
{
    // Full screen lasts one run: the file keeps the window, and its fonts, as
    // the next start opens it (only the destructor writes, so fonts may change).
    const QRect rect = fit.normalGeometry();
    if (fit.mainWindow()->isFullScreen())
        fit.fitFonts(rect.size());
    const int fontSize = stage.fontPointSize();
    QSettings file(AppSetting::windowStateFilePath(), QSettings::IniFormat);
    file.setValue("FontSize", fontSize);
    file.setValue("Width", rect.width());
    file.setValue("Height", rect.height());
    file.setValue("X", rect.x());
    file.setValue("Y", rect.y());
    file.sync();
}
