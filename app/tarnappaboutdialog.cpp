#include "tarnappaboutdialog.h"
#include "ui_tarnappaboutdialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QStringList>

namespace {

const char logoFileName[] = "TarnApp_LogoAbout_128x128.png";

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
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowCloseButtonHint);
    setGeometry(x, y, width(), height());

    // A missing logo leaves the area empty: setPixmap with a null pixmap still
    // clears the form's placeholder text.
    const QString path = logoPath();
    ui->label->setPixmap(path.isEmpty() ? QPixmap() : loadLogo(path, devicePixelRatioF()));
}

TarnAppAboutDialog::~TarnAppAboutDialog()
{
    delete ui;
}

QString TarnAppAboutDialog::logoPath()
{
    // The current directory alone would lose the logo whenever the program is
    // started from elsewhere, e.g. from a desktop menu.
    const QString name = QString::fromLatin1(logoFileName);
    QStringList candidates;
    const QDir programDir(QCoreApplication::applicationDirPath());
    candidates << name << programDir.filePath(name);
    // An install moved to another prefix keeps its data beside the program.
    candidates << programDir.filePath(QStringLiteral("../share/tarnapp/") + name);
#ifdef TARNAPP_DATADIR
    candidates << QDir(QString::fromUtf8(TARNAPP_DATADIR)).filePath(name);
#endif
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return QString();
}
