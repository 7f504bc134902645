// The About dialog: where it opens, what it shows, and where it finds the
// logo when the program is started from some other folder.
#include "configsandbox.h"
#include "modalanswerer.h"
#include "tarnappaboutdialog.h"
#include "tarnappmainwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString logoName = "TarnApp_LogoAbout_128x128.png";

QPixmap pixmapOf(const QLabel *label)
{
#if QT_VERSION >= QT_VERSION_CHECK(5, 15, 0)
    return label->pixmap(Qt::ReturnByValue);
#else
    return label->pixmap() ? *label->pixmap() : QPixmap();
#endif
}

// What the test saw of a modal About window before closing it.
struct Seen
{
    QString className;
    QString title;
    QRect geometry;
    Qt::WindowModality modality = Qt::NonModal;
};

} // namespace

class TestAboutDialog : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        sandbox.reset(new ConfigSandbox);
        QVERIFY(sandbox->isValid());
        startDir = QDir::currentPath();
        QVERIFY(workDir.isValid());
        QVERIFY(QDir::setCurrent(workDir.path()));
    }
    void cleanup()
    {
        QDir::setCurrent(startDir);
        QFile::remove(workDir.filePath(logoName));
        if (!placedBesideExecutable.isEmpty())
            QFile::remove(placedBesideExecutable);
        placedBesideExecutable.clear();
        sandbox.reset();
    }

    void opensBesideTheMainWindow_data()
    {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QPoint>("about");
        QTest::newRow("default place") << QRect(200, 200, 1100, 400) << QPoint(350, 250);
        QTest::newRow("elsewhere") << QRect(-40, 77, 900, 300) << QPoint(110, 127);
    }
    void opensBesideTheMainWindow()
    {
        QFETCH(QRect, window);
        QFETCH(QPoint, about);
        TarnAppMainWindow mainWindow;
        mainWindow.initialize();
        mainWindow.setGeometry(window);
        QList<Seen> seen;
        ModalAnswerer closer;
        closer.answerNext([&](QWidget *modal) {
            seen << Seen{modal->metaObject()->className(), modal->windowTitle(), modal->geometry(),
                         modal->windowModality()};
            ModalAnswerer::close(modal);
        });
        mainWindow.on_about();
        QCOMPARE(closer.titles(), QStringList{"About Tarn App"});
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].className, QString("TarnAppAboutDialog"));
        QCOMPARE(seen[0].title, QString("About Tarn App"));
        QCOMPARE(seen[0].geometry, QRect(about, QSize(323, 404)));
        QCOMPARE(seen[0].modality, Qt::ApplicationModal);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void reachableWithAltA()
    {
        TarnAppMainWindow mainWindow;
        mainWindow.initialize();
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowActive(&mainWindow));
        ModalAnswerer closer;
        QTest::keyClick(&mainWindow, Qt::Key_A, Qt::AltModifier);
        QTRY_COMPARE_WITH_TIMEOUT(closer.titles(), QStringList{"About Tarn App"}, 5000);
    }

    void contents()
    {
        TarnAppAboutDialog dialog(10, 20);
        QCOMPARE(dialog.objectName(), QString("TarnAppAboutDialog"));
        QCOMPARE(dialog.geometry(), QRect(10, 20, 323, 404));
        // A plain window with a close button, not the dialog's own flags.
        QCOMPARE(dialog.windowType(), Qt::Window);
        QVERIFY(dialog.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
        QCOMPARE(dialog.styleSheet(), QString("background-color: rgb(255, 255, 255);"));
        auto *logo = dialog.findChild<QLabel *>("label");
        auto *product = dialog.findChild<QLabel *>("label_2");
        auto *notice = dialog.findChild<QLabel *>("label_3");
        QVERIFY(logo && product && notice);
        QCOMPARE(logo->geometry(), QRect(0, 30, 321, 131));
        QCOMPARE(product->geometry(), QRect(0, 200, 321, 41));
        QCOMPARE(notice->geometry(), QRect(0, 240, 321, 101));
        for (QLabel *label : {logo, product, notice})
            QCOMPARE(label->alignment(), Qt::Alignment(Qt::AlignCenter));
        QCOMPARE(product->text(), QString("Tarn App"));
        QCOMPARE(product->font().pointSize(), 18);
        QCOMPARE(notice->font().pointSize(), 11);
        QVERIFY2(notice->text().contains("<p>Version 1.0</p>"), qPrintable(notice->text()));
        QVERIFY(!logo->text().contains("TextLabel"));
    }

    // The current directory first, then the executable's folder; with
    // neither, the logo area stays empty and the dialog opens as usual.
    void logoLookup_data()
    {
        QTest::addColumn<QSize>("inWorkDir");
        QTest::addColumn<bool>("besideExecutable");
        QTest::addColumn<QSize>("shown");
        QTest::newRow("nowhere") << QSize() << false << QSize();
        QTest::newRow("current directory") << QSize(128, 128) << false << QSize(128, 128);
        QTest::newRow("executable's folder") << QSize() << true << QSize(128, 128);
        QTest::newRow("current directory first") << QSize(16, 24) << true << QSize(16, 24);
    }
    void logoLookup()
    {
        QFETCH(QSize, inWorkDir);
        QFETCH(bool, besideExecutable);
        QFETCH(QSize, shown);
        const QString besideName = QDir(QCoreApplication::applicationDirPath()).filePath(logoName);
        QVERIFY2(!QFile::exists(besideName), "a logo lies beside the test executable already");
        if (!shown.isValid() && QFile::exists(QDir(TARNAPP_DATADIR).filePath(logoName)))
            QSKIP("the program is installed: its data folder holds the logo");
        if (inWorkDir.isValid()) {
            QImage image(inWorkDir, QImage::Format_ARGB32);
            image.fill(Qt::red);
            QVERIFY(image.save(workDir.filePath(logoName), "PNG"));
        }
        if (besideExecutable) {
            QVERIFY(QFile::copy(TARNAPP_SOURCE_LOGO, besideName));
            placedBesideExecutable = besideName;
        }
        TarnAppAboutDialog dialog(0, 0);
        auto *logo = dialog.findChild<QLabel *>("label");
        QVERIFY(logo);
        QVERIFY(logo->text().isEmpty());
        const QPixmap pixmap = pixmapOf(logo);
        QCOMPARE(pixmap.isNull(), !shown.isValid());
        if (shown.isValid())
            QCOMPARE(pixmap.size(), shown);
        QCOMPARE(dialog.findChild<QLabel *>("label_2")->text(), QString("Tarn App"));
    }

private:
    std::unique_ptr<ConfigSandbox> sandbox;
    QTemporaryDir workDir;
    QString startDir;
    QString placedBesideExecutable;
};

QTEST_MAIN(TestAboutDialog)
#include "tst_aboutdialog.moc"
