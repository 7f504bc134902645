#include "tarnappmainwindow.h"

#include "hardsettingdialog.h"
#include "hardwarelink.h"
#include "portfollower.h"
#include "portpair.h"
#include "remotepads.h"
#include "stagecontrol.h"
#include "statusdisplay.h"
#include "tarnappaboutdialog.h"
#include "windowkeys.h"
#include "windowstate.h"

#include <QAction>
#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>

namespace {

enum DispType
{
    Grid = 0,
    Horizontal = 1,
    Vertical = 2
};

} // namespace

TarnAppMainWindow::TarnAppMainWindow(QWidget *parent)
    : QMainWindow(parent), hardwareLink(new HardwareLink(this)), remotePads(nullptr),
      statusDisplay(nullptr), mainLayout(nullptr), statusLayout(nullptr), pushSetting(nullptr),
      labelRemoteLamp(nullptr), labelRemoteConnection(nullptr), labelHardLamp(nullptr),
      labelHardConnection(nullptr), labelMessage(nullptr), hardSettingDialog(nullptr),
      appliedDispType(-1)
{
    auto *actionAbout = new QAction(tr("&AboutTarnApp"), this);
    connect(actionAbout, SIGNAL(triggered()), this, SLOT(on_about()));
    menuBar()->addAction(actionAbout);

    for (int i = 0; i < AppSetting::presetCount; ++i) {
        presetButtons.append(new QPushButton);
        presetButtons[i]->setObjectName(QString("pushPreset%1").arg(i + 1));
    }
    pushSetting = new QPushButton;
    pushSetting->setObjectName("pushSetting");
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

    const auto label = [](const char *name, const QString &text) {
        auto *made = new QLabel(text);
        made->setObjectName(name);
        return made;
    };
    labelHardLamp = label("labelHardLamp", "   ");
    labelHardConnection = label("labelHardConnection", "Hard Midi Connection");
    labelRemoteLamp = label("labelRemoteLamp", "   ");
    labelRemoteConnection = label("labelRemoteConnection", "Remote Midi Connection");
    labelMessage = label("labelMessage", QString());
    labelMessage->setStyleSheet("color:#FF0000;");
    pushSetting->setText("SETTINGS\n");

    statusDisplay = new StatusDisplay(hardwareLink,
                                      {labelHardLamp, labelHardConnection, labelRemoteLamp,
                                       labelRemoteConnection, labelMessage, presetButtons},
                                      this);
    remotePads = new RemotePads(hardwareLink, this);
    statusDisplay->followRemote(remotePads);

    setCentralWidget(new QWidget(this));
    new WindowKeys(this, presetButtons);
}

TarnAppMainWindow::~TarnAppMainWindow()
{
    WindowState::save(*this);

    hardwareLink->ports()->close();
    remotePads->ports()->close();

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

void TarnAppMainWindow::initialize()
{
    appSetting.loadSettingFile(AppSetting::settingFilePath());
    updateCaptions();
    hardSettingDialog = new HardSettingDialog(&appSetting, hardwareLink, remotePads->ports(), this);
    applyLayout();
    WindowState::restore(*this);

    // The foot switch follows the dialog's list as it stands, saved or not;
    // the bindings follow the record, and learning takes remote messages.
    remotePads->setFootSwitchPreset([this] { return hardSettingDialog->footSwitchPreset(); });
    remotePads->setLearner(
        [this](const ByteVector &m) { return hardSettingDialog->takeRemoteMessage(m); });
    remotePads->setBindings(appSetting.remoteBindings());
    new StageControl(this, &appSetting, presetButtons, hardSettingDialog);
    connect(hardSettingDialog, &HardSettingDialog::settingsChanged, this, [this] {
        updateCaptions();
        applyLayout();
        remotePads->setBindings(appSetting.remoteBindings());
    });
    connect(hardSettingDialog, &HardSettingDialog::presetNamesChanged, this, [this] {
        updateCaptions();
        remotePads->setBindings(appSetting.remoteBindings());
    });
    connect(hardSettingDialog, &HardSettingDialog::portsApplied, this,
            &TarnAppMainWindow::updateStatusDisplay);

    // Devices that come and go later are followed from before the first look.
    const PortFollower::StoredNames hardwareNames = [this] {
        return QStringList{appSetting.hardwareMidiInPort(), appSetting.hardwareMidiOutPort()};
    };
    const PortFollower::StoredNames remoteNames = [this] {
        return QStringList{appSetting.remoteMidiInPort(), appSetting.remoteMidiOutPort()};
    };
    statusDisplay->setStoredNames(hardwareNames, remoteNames);
    portFollower = new PortFollower(hardwareLink, hardwareNames, remotePads, remoteNames, this);
    portFollower->start();
    connect(portFollower, &PortFollower::pairsChanged, this,
            &TarnAppMainWindow::updateStatusDisplay);
    connect(portFollower, &PortFollower::rechecked, hardSettingDialog, [this] {
        if (hardSettingDialog->isVisible())
            hardSettingDialog->refreshPortLists(true);
    });
    connect(hardSettingDialog, &QDialog::finished, portFollower, &PortFollower::recheck);
    connect(hardSettingDialog, &HardSettingDialog::applyingPorts, portFollower,
            &PortFollower::hold);
    connect(hardSettingDialog, &HardSettingDialog::portsApplied, portFollower,
            &PortFollower::release);

    // Start-up goes on whatever fails; the display shows the pairs as they are.
    if (hardwareLink->ports()->open(appSetting.hardwareMidiInPort(),
                                    appSetting.hardwareMidiOutPort()))
        hardwareLink->requestSerial();
    remotePads->ports()->open(appSetting.remoteMidiInPort(), appSetting.remoteMidiOutPort());
    updateStatusDisplay();
}

void TarnAppMainWindow::on_pushPreset1_clicked()
{
    hardwareLink->selectPreset(0);
}

void TarnAppMainWindow::on_pushPreset2_clicked()
{
    hardwareLink->selectPreset(1);
}

void TarnAppMainWindow::on_pushPreset3_clicked()
{
    hardwareLink->selectPreset(2);
}

void TarnAppMainWindow::on_pushPreset4_clicked()
{
    hardwareLink->selectPreset(3);
}

void TarnAppMainWindow::on_pushPreset5_clicked()
{
    hardwareLink->selectPreset(4);
}

void TarnAppMainWindow::on_pushPreset6_clicked()
{
    hardwareLink->selectPreset(5);
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

// --- What the link and the pads report ---

void TarnAppMainWindow::updateStatusDisplay()
{
    statusDisplay->updateStatusDisplay();
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

int TarnAppMainWindow::fontPointSize() const
{
    return labelHardConnection->font().pointSize();
}

void TarnAppMainWindow::fitFonts(const QSize &windowSize)
{
    const int pointSize =
        pointSizeFor(installedArrangement(), windowSize.width(), windowSize.height());
    if (pointSize > 0)
        setFonts(pointSize);
}
