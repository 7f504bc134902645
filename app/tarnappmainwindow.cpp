#include "tarnappmainwindow.h"

#include "hardsettingdialog.h"
#include "midiportsupport.h"
#include "portfollower.h"
#include "qmidiin.h"
#include "qmidiout.h"
#include "tarnappaboutdialog.h"
#include "windowkeys.h"

#include <QAction>
#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QStandardPaths>
#include <RtMidi.h>

namespace {

enum DispType
{
    Grid = 0,
    Horizontal = 1,
    Vertical = 2
};

QString configFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

} // namespace

TarnAppMainWindow::TarnAppMainWindow(QWidget *parent)
    : QMainWindow(parent), midiHardIn(new QMidiIn(this)), midiHardOut(new QMidiOut(this)),
      midiRemoteIn(new QMidiIn(this)), midiRemoteOut(new QMidiOut(this)), mainLayout(nullptr),
      statusLayout(nullptr), pushSetting(nullptr), labelRemoteLamp(nullptr),
      labelRemoteConnection(nullptr), labelHardLamp(nullptr), labelHardConnection(nullptr),
      labelMessage(nullptr), hardSettingDialog(nullptr), currentPreset(-2), hardStatus(NoPort),
      appliedDispType(-1)
{
    auto *actionAbout = new QAction(tr("&AboutTarnApp"), this);
    connect(actionAbout, SIGNAL(triggered()), this, SLOT(on_about()));
    menuBar()->addAction(actionAbout);

    for (int i = 0; i < AppSetting::presetCount; ++i)
        presetButtons.append(new QPushButton);
    pushSetting = new QPushButton;
    for (QPushButton *button : presetButtons + QList<QPushButton *>{pushSetting})
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    connect(presetButtons[0], SIGNAL(clicked()), this, SLOT(on_pushPreset1_clicked()));
    connect(presetButtons[1], SIGNAL(clicked()), this, SLOT(on_pushPreset2_clicked()));
    connect(presetButtons[2], SIGNAL(clicked()), this, SLOT(on_pushPreset3_clicked()));
    connect(presetButtons[3], SIGNAL(clicked()), this, SLOT(on_pushPreset4_clicked()));
    connect(presetButtons[4], SIGNAL(clicked()), this, SLOT(on_pushPreset5_clicked()));
    connect(presetButtons[5], SIGNAL(clicked()), this, SLOT(on_pushPreset6_clicked()));
    connect(pushSetting, SIGNAL(clicked()), this, SLOT(on_pushSetting_clicked()));
    setButtonStyle(pushSetting, "#333366");

    labelHardLamp = new QLabel;
    labelHardConnection = new QLabel;
    labelRemoteLamp = new QLabel;
    labelRemoteConnection = new QLabel;
    labelMessage = new QLabel;
    labelHardLamp->setText("   ");
    labelRemoteLamp->setText("   ");
    labelMessage->setStyleSheet("color:#FF0000;");
    pushSetting->setText("SETTINGS\n");
    labelHardConnection->setText("Hard Midi Connection");
    labelRemoteConnection->setText("Remote Midi Connection");

    setCentralWidget(new QWidget(this));
    new WindowKeys(this);
}

TarnAppMainWindow::~TarnAppMainWindow()
{
    writeWindowState();

    if (midiHardIn->isPortOpen())
        midiHardIn->closePort();
    if (midiHardOut->isPortOpen())
        midiHardOut->closePort();
    if (midiRemoteIn->isPortOpen())
        midiRemoteIn->closePort();
    if (midiRemoteOut->isPortOpen())
        midiRemoteOut->closePort();

    delete pushSetting;
    delete labelRemoteLamp;
    delete labelRemoteConnection;
    delete labelHardLamp;
    delete labelHardConnection;
    delete labelMessage;
    delete hardSettingDialog;
    // Preset buttons belong to the central widget once a layout is installed;
    // a window never initialised still owns them here.
    for (QPushButton *button : presetButtons) {
        if (!button->parent())
            delete button;
    }
}

QString TarnAppMainWindow::settingFilePath()
{
    return configFolder() + "/TarnAppSetting.ini";
}

QString TarnAppMainWindow::windowStateFilePath()
{
    return configFolder() + "/DispStatus.ini";
}

void TarnAppMainWindow::initialize()
{
    appSetting.loadSettingFile(settingFilePath());
    updateCaptions();
    hardSettingDialog = new HardSettingDialog(&appSetting, midiHardIn, midiHardOut, midiRemoteIn,
                                              midiRemoteOut, this);
    applyLayout();
    readWindowState();

    connect(midiHardIn, SIGNAL(midiMessageReceived(QMidiMessage *)), this,
            SLOT(onMidiHardReceive(QMidiMessage *)));
    midiHardIn->ignoreTypes(false, true, true);
    connect(midiRemoteIn, SIGNAL(midiMessageReceived(QMidiMessage *)), this,
            SLOT(onMidiRemoteReceive(QMidiMessage *)));

    // A MIDI service that stops takes the ports with it; show that at once.
    connect(midiHardIn, &QMidiIn::serviceLost, this, &TarnAppMainWindow::updateStatusDisplay);
    connect(midiHardOut, &QMidiOut::serviceLost, this, &TarnAppMainWindow::updateStatusDisplay);
    connect(midiRemoteIn, &QMidiIn::serviceLost, this, &TarnAppMainWindow::updateStatusDisplay);
    connect(midiRemoteOut, &QMidiOut::serviceLost, this, &TarnAppMainWindow::updateStatusDisplay);

    // Devices that come and go later are followed from before the first look.
    portFollower = new PortFollower(this);
    portFollower->start();
    connect(hardSettingDialog, &QDialog::finished, portFollower, &PortFollower::recheck);
    // Queued: OK stores the lists' choices only after applying them.
    connect(hardSettingDialog, &HardSettingDialog::portsApplied, portFollower,
            &PortFollower::recheck, Qt::QueuedConnection);

    openPortPair(midiHardIn, midiHardOut, appSetting.hardwareMidiInPort(),
                 appSetting.hardwareMidiOutPort(), true);
    openPortPair(midiRemoteIn, midiRemoteOut, appSetting.remoteMidiInPort(),
                 appSetting.remoteMidiOutPort(), false);
    updateStatusDisplay();
}

void TarnAppMainWindow::openPortPair(QMidiIn *in, QMidiOut *out, const QString &inName,
                                     const QString &outName, bool requestSerialAfter)
{
    if (inName.isEmpty() || outName.isEmpty())
        return;
    // The first port of a name wins when several share it.
    const QStringList inNames = in->portNames();
    const QString inPresent = MidiPortSupport::presentName(inNames, inName);
    const int inIndex = inPresent.isEmpty() ? -1 : inNames.indexOf(inPresent);
    if (inIndex < 0 || MidiPortSupport::presentName(out->portNames(), outName).isEmpty())
        return;
    try {
        in->openPort(static_cast<unsigned int>(inIndex));
        // Opening the input adds a port that may shift the output list, so the
        // output's position is looked up only now.
        const QStringList outNames = out->portNames();
        const QString outPresent = MidiPortSupport::presentName(outNames, outName);
        const int outIndex = outPresent.isEmpty() ? -1 : outNames.indexOf(outPresent);
        if (outIndex < 0)
            return;
        out->openPort(static_cast<unsigned int>(outIndex));
        if (requestSerialAfter)
            requestSerial();
    } catch (const RtMidiError &) {
        // Start-up goes on; the status display shows the pair as not connected.
    }
}

void TarnAppMainWindow::on_pushSetting_clicked()
{
    hardSettingDialog->showRecord();
    hardSettingDialog->exec();
}

void TarnAppMainWindow::on_about()
{
    TarnAppAboutDialog about(geometry().x() + 150, geometry().y() + 50);
    about.exec();
}

// --- Captions and styles ---

void TarnAppMainWindow::updateCaptions()
{
    for (int i = 0; i < presetButtons.size(); ++i) {
        const QString name = appSetting.presetName(i);
        presetButtons[i]->setText(QString("PRESET%1\r\n").arg(i + 1) +
                                  (name.isEmpty() ? QString("#NAME") : name));
    }
}

void TarnAppMainWindow::setButtonStyle(QWidget *widget, const QString &color)
{
    widget->setStyleSheet(QString(" QPushButton:hover {"
                                  "background-color:#ADD8E6;"
                                  "} "
                                  " QPushButton:pressed {"
                                  "background-color:#1E90ff;"
                                  "} "
                                  " QPushButton {"
                                  "background-color:") +
                          color +
                          ";"
                          "border-style: solid;"
                          "border-radius: 10;"
                          "color: #ffffff;"
                          "} ");
}

void TarnAppMainWindow::setLampStyle(QWidget *widget, const QString &color)
{
    widget->setStyleSheet("background-color:" + color + ";" + "border-style: solid;" +
                          "border-radius: 10;");
}

void TarnAppMainWindow::setTextColor(QWidget *widget, const QString &color)
{
    widget->setStyleSheet("color:" + color + ";");
}

// --- Arrangements and fonts ---

void TarnAppMainWindow::applyLayout()
{
    const int type = appSetting.dispType();
    if (mainLayout && type == appliedDispType)
        return;
    appliedDispType = type;

    // Deleting the layouts leaves their widgets with the central widget.
    delete statusLayout;
    statusLayout = nullptr;
    delete mainLayout;
    mainLayout = nullptr;
    statusLayout = new QGridLayout;

    labelHardLamp->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    labelRemoteLamp->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    if (type == Horizontal || type == Vertical) {
        statusLayout->setHorizontalSpacing(5);
        statusLayout->setVerticalSpacing(10);
        statusLayout->addWidget(labelMessage, 0, 0, 1, type == Horizontal ? 4 : 2);
        statusLayout->addWidget(labelHardLamp, 1, 0);
        statusLayout->addWidget(labelHardConnection, 1, 1);
        statusLayout->addWidget(labelRemoteLamp, 2, 0);
        statusLayout->addWidget(labelRemoteConnection, 2, 1);

        QBoxLayout *box = type == Horizontal ? static_cast<QBoxLayout *>(new QHBoxLayout)
                                             : static_cast<QBoxLayout *>(new QVBoxLayout);
        box->addLayout(statusLayout, 0);
        for (QPushButton *button : presetButtons)
            box->addWidget(button, 0);
        box->addWidget(pushSetting, 0);
        mainLayout = box;
        if (type == Horizontal)
            setGeometry(100, 100, 1500, 140);
        else
            setGeometry(100, 100, 300, 800);
    } else {
        // Any other value gets the grid too: an empty window would lock the
        // user out of the settings.
        statusLayout->setHorizontalSpacing(30);
        statusLayout->setVerticalSpacing(10);
        statusLayout->addWidget(labelMessage, 0, 0, 1, 4);
        statusLayout->addWidget(labelHardLamp, 1, 0);
        statusLayout->addWidget(labelHardConnection, 1, 1);
        statusLayout->addWidget(labelRemoteLamp, 1, 2);
        statusLayout->addWidget(labelRemoteConnection, 1, 3);

        auto *grid = new QGridLayout;
        grid->setHorizontalSpacing(30);
        grid->setVerticalSpacing(30);
        grid->addLayout(statusLayout, 0, 0, 1, 4, Qt::AlignLeft);
        for (int i = 0; i < 4; ++i)
            grid->addWidget(presetButtons[i], 1, i);
        grid->addWidget(presetButtons[4], 2, 0);
        grid->addWidget(presetButtons[5], 2, 1);
        grid->addWidget(pushSetting, 2, 3);
        mainLayout = grid;
        setGeometry(geometry().x(), geometry().y(), 1100, 400);
    }
    centralWidget()->setLayout(mainLayout);
}

int TarnAppMainWindow::installedArrangement() const
{
    // The record may hold a value not yet applied (OPEN then CANCEL), or one
    // that installs the grid.
    return appliedDispType == Horizontal || appliedDispType == Vertical ? appliedDispType : Grid;
}

void TarnAppMainWindow::setFonts(int pointSize)
{
    const int type = installedArrangement();
    const double factor = type == Horizontal ? 0.8 : type == Vertical ? 0.7 : 0.9;
    // Qt rejects sizes below 1; a stored size of 1 or less must still give a font.
    QFont primary;
    primary.setPointSize(qMax(1, pointSize));
    primary.setWeight(QFont::Bold);
    QFont secondary;
    secondary.setPointSize(qMax(1, static_cast<int>(pointSize * factor)));
    secondary.setWeight(QFont::Bold);

    labelRemoteLamp->setFont(primary);
    labelRemoteConnection->setFont(secondary);
    labelHardLamp->setFont(primary);
    labelHardConnection->setFont(secondary);
    labelMessage->setFont(secondary);
    for (QPushButton *button : presetButtons)
        button->setFont(primary);
    pushSetting->setFont(primary);
}

int TarnAppMainWindow::pointSizeFor(int dispType, int width, int height)
{
    // Heights and widths fall into 100-pixel bands; each table lists a band's size.
    switch (dispType) {
    case Grid:
        if (width <= 799) {
            static const int sizes[] = {11, 13, 14, 16, 18};
            return sizes[qBound(0, height < 200 ? 0 : height / 100 - 1, 4)];
        }
        if (width <= 1199) {
            static const int sizes[] = {13, 15, 18, 21, 25, 30};
            return sizes[qBound(0, height < 300 ? 0 : height / 100 - 2, 5)];
        } else {
            static const int sizes[] = {14, 16, 19, 22, 26, 31, 36, 41};
            return sizes[qBound(0, height < 300 ? 0 : height / 100 - 2, 7)];
        }
    case Horizontal:
        return width <= 1099   ? 11
               : width <= 1299 ? 12
               : width <= 1399 ? 13
               : width <= 1499 ? 15
               : width <= 1599 ? 17
               : width <= 1699 ? 19
               : width <= 1799 ? 21
                               : 23;
    case Vertical:
        return height <= 499 ? 14 : height <= 699 ? 16 : 18;
    default:
        return 0;
    }
}

void TarnAppMainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (!event)
        return;
    fitFonts(size());
}

void TarnAppMainWindow::fitFonts(const QSize &windowSize)
{
    const int pointSize =
        pointSizeFor(installedArrangement(), windowSize.width(), windowSize.height());
    if (pointSize > 0)
        setFonts(pointSize);
}
