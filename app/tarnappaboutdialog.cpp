#include "tarnappaboutdialog.h"
#include "ui_tarnappaboutdialog.h"

#include <QDir>
#include <QFileInfo>
#include <QPixmap>

// The resources of a static library are registered by hand, outside any
// namespace.
static void initAboutResources()
{
    Q_INIT_RESOURCE(about);
}

namespace {

// On a dense screen the double-size twin beside the logo ("...@2x.png"), so
// that it stays sharp; else, or without a twin, the logo itself.
QPixmap loadLogo(const QString &path, qreal ratio)
{
    QPixmap logo;
    if (ratio > 1.0) {
        const QFileInfo info(path);
        if (logo.load(info.dir().filePath(info.completeBaseName() + "@2x." + info.suffix()))) {
            logo.setDevicePixelRatio(2.0);
            return logo;
        }
    }
    logo.load(path);
    return logo;
}

} // namespace

TarnAppAboutDialog::TarnAppAboutDialog(int x, int y, QWidget *parent)
    : QDialog(parent), ui(new Ui::TarnAppAboutDialog)
{
    initAboutResources();
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowCloseButtonHint);
    setGeometry(x, y, width(), height());

    ui->label->setPixmap(loadLogo(logoPath(), devicePixelRatioF()));
}

TarnAppAboutDialog::~TarnAppAboutDialog()
{
    delete ui;
}

QString TarnAppAboutDialog::logoPath()
{
    return QStringLiteral(":/tarnapp/TarnApp_LogoAbout_128x128.png");
}
