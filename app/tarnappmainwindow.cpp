#include "tarnappmainwindow.h"

#include "controllerlink.h"
#include "hardsettingdialog.h"
#include "hardwarelink.h"
#include "portchoice.h"
#include "portfollower.h"
#include "portpair.h"
#include "presets.h"
#include "stagecontrol.h"
#include "stagelayout.h"
#include "stagestyle.h"
#include "statusdisplay.h"
#include "tarnappaboutdialog.h"
#include "windowfit.h"
#include "windowkeys.h"
#include "windowstate.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>

TarnAppMainWindow::TarnAppMainWindow(QWidget *parent, PortPair *hardPorts)
    : QMainWindow(parent),
      hardwareLink(new HardwareLink(hardPorts ? hardPorts : new PortPair("hardware"), this)),
      controllerLink(nullptr), statusDisplay(nullptr), pushSetting(nullptr),
      labelRemoteLamp(nullptr), labelRemoteConnection(nullptr), labelHardLamp(nullptr),
      labelHardConnection(nullptr), labelMessage(nullptr), hardSettingDialog(nullptr)
{
    hardwareLink->ports()->setParent(this);
    auto *actionAbout = new QAction(tr("&AboutTarnApp"), this);
    connect(actionAbout, SIGNAL(triggered()), this, SLOT(on_about()));
    menuBar()->addAction(actionAbout);

    for (int i = 0; i < PresetCount; ++i) {
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
    StageStyle::setButtonStyle(pushSetting, StageStyle::SettingColor);

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
    StageStyle::setTextColor(labelMessage, StageStyle::MessageColor);
    pushSetting->setText("SETTINGS\n");

    const StageWidgets widgets{
        labelHardLamp, labelHardConnection, labelRemoteLamp, labelRemoteConnection,
        labelMessage,  presetButtons,       pushSetting};
    // The pads first: their lamps go out before the window restyles.
    controllerLink = new ControllerLink(hardwareLink, this);
    statusDisplay = new StatusDisplay(hardwareLink, widgets, this);
    statusDisplay->followRemote(controllerLink);

    setCentralWidget(new QWidget(this));
    StageStyle::setWindowColor(this);
    stage = new StageLayout(centralWidget(), widgets);
    windowFit = new WindowFit(this, stage);
    new WindowKeys(this, hardwareLink, windowFit);
}

TarnAppMainWindow::~TarnAppMainWindow()
{
    WindowState::save(*stage, *windowFit);

    // Closed on the way out: nothing is shown or told of it any more.
    hardwareLink->blockSignals(true);
    hardwareLink->ports()->close();
    controllerLink->ports()->close();

    delete pushSetting;
    delete labelRemoteLamp;
    delete labelRemoteConnection;
    delete labelHardLamp;
    delete labelHardConnection;
    delete labelMessage;
    delete hardSettingDialog;
    delete stage;
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
    hardSettingDialog =
        new HardSettingDialog(&appSetting, hardwareLink, controllerLink->ports(), this);
    applyLayout();
    WindowState::restore(*stage, *windowFit);

    // The record takes what the dialog edited; the setting file keeps it.
    connect(hardSettingDialog, &HardSettingDialog::settingsChosen, this,
            [this](const AppSetting &chosen) {
                appSetting.takeChoices(chosen);
                appSetting.saveSettingFile(AppSetting::settingFilePath());
            });
    connect(hardSettingDialog, &HardSettingDialog::recordOpened, this,
            [this](const AppSetting &opened) { appSetting.takeOpened(opened); });
    connect(hardSettingDialog, &HardSettingDialog::settingsSavedAs, this,
            [this](const AppSetting &chosen, const QString &path) {
                appSetting.takeChoices(chosen);
                appSetting.saveSettingFile(path);
            });
    // The learnt serial number is the record's, kept at once; the dialog shows it.
    connect(hardwareLink, &HardwareLink::serialLearned, this, [this](const ByteVector &serial) {
        appSetting.keepSerialNumber(serial);
        hardSettingDialog->showSerialNumber();
    });
    // The foot switch follows the dialog's list as it stands, saved or not;
    // the bindings follow the record, and learning takes remote messages.
    controllerLink->setFootSwitchPreset(hardSettingDialog->footSwitchPreset());
    connect(hardSettingDialog, &HardSettingDialog::footSwitchPresetChanged, controllerLink,
            &ControllerLink::setFootSwitchPreset);
    connect(hardSettingDialog, &HardSettingDialog::learningChanged, controllerLink,
            &ControllerLink::setLearning);
    connect(controllerLink, &ControllerLink::learnt, hardSettingDialog,
            &HardSettingDialog::offerRemoteMessage);
    controllerLink->setBindings(appSetting.remoteBindings());
    new StageControl(this, &appSetting, hardwareLink, controllerLink, presetButtons,
                     hardSettingDialog);
    // The link's answer times follow the record: at start, OK and OPEN.
    const auto applyLinkTimes = [this] {
        hardwareLink->setConfirmTimeout(appSetting.confirmTimeout());
        hardwareLink->setLinkCheckSeconds(appSetting.linkCheckSeconds());
    };
    applyLinkTimes();
    connect(hardSettingDialog, &HardSettingDialog::settingsChanged, this, [this, applyLinkTimes] {
        updateCaptions();
        applyLayout();
        controllerLink->setBindings(appSetting.remoteBindings());
        applyLinkTimes();
    });
    connect(hardSettingDialog, &HardSettingDialog::presetNamesChanged, this,
            [this, applyLinkTimes] {
                updateCaptions();
                controllerLink->setBindings(appSetting.remoteBindings());
                applyLinkTimes();
            });
    // The dialog's choice of ports is opened here, its failure told in its box.
    portChoice = new PortChoice(hardwareLink, controllerLink->ports(), this);
    connect(hardSettingDialog, &HardSettingDialog::portsChosen, portChoice, &PortChoice::apply);
    connect(portChoice, &PortChoice::openFailed, hardSettingDialog,
            &HardSettingDialog::showConnectError, Qt::DirectConnection);
    connect(portChoice, &PortChoice::applied, this, &TarnAppMainWindow::updateStatusDisplay);

    // Devices that come and go later are followed from before the first look.
    const PortFollower::StoredNames hardwareNames = [this] {
        return QStringList{appSetting.hardwareMidiInPort(), appSetting.hardwareMidiOutPort()};
    };
    const PortFollower::StoredNames remoteNames = [this] {
        return QStringList{appSetting.remoteMidiInPort(), appSetting.remoteMidiOutPort()};
    };
    statusDisplay->setStoredNames(hardwareNames, remoteNames);
    portFollower = new PortFollower(hardwareLink, hardwareNames, controllerLink, remoteNames, this);
    portFollower->start();
    connect(portFollower, &PortFollower::pairsChanged, this,
            &TarnAppMainWindow::updateStatusDisplay);
    connect(portFollower, &PortFollower::rechecked, hardSettingDialog, [this] {
        if (hardSettingDialog->isVisible())
            hardSettingDialog->refreshPortLists(true);
    });
    connect(hardSettingDialog, &QDialog::finished, portFollower, &PortFollower::recheck);
    connect(portChoice, &PortChoice::applying, portFollower, &PortFollower::hold);
    connect(portChoice, &PortChoice::applied, portFollower, &PortFollower::release);

    // Start-up goes on whatever fails; the display shows the pairs as they are.
    if (hardwareLink->ports()->open(appSetting.hardwareMidiInPort(),
                                    appSetting.hardwareMidiOutPort()))
        hardwareLink->requestSerial();
    controllerLink->ports()->open(appSetting.remoteMidiInPort(), appSetting.remoteMidiOutPort());
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

// --- What the link and the pads report ---

void TarnAppMainWindow::updateStatusDisplay()
{
    statusDisplay->updateStatusDisplay();
}

// --- Arrangements and fonts ---

void TarnAppMainWindow::applyLayout()
{
    const int type = appSetting.dispType();
    if (stage->isInstalled(type))
        return;
    windowFit->place(stage->install(type, geometry().topLeft()));
}

void TarnAppMainWindow::setFonts(int pointSize)
{
    stage->setFonts(pointSize);
}

void TarnAppMainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (!event)
        return;
    windowFit->fitFonts(size());
}
