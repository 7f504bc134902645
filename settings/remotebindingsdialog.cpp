#include "remotebindingsdialog.h"
#include "ui_remotebindingsdialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

const char *const RowNames[RemoteBindings::actionCount] = {
    "Preset1", "Preset2",    "Preset3",  "Preset4",      "Preset5",  "Preset6",     "Previous",
    "Next",    "FootSwitch", "NextPart", "PreviousPart", "NextSong", "PreviousSong"};
const char *const ActionTexts[RemoteBindings::actionCount] = {"PRESET1",
                                                              "PRESET2",
                                                              "PRESET3",
                                                              "PRESET4",
                                                              "PRESET5",
                                                              "PRESET6",
                                                              "Previous",
                                                              "Next",
                                                              "Foot switch",
                                                              "Setlist: next part",
                                                              "Setlist: previous part",
                                                              "Setlist: next song",
                                                              "Setlist: previous song"};

const char *const IdleHint = "Learn, then press the pad, key, switch or pedal that should do it. "
                             "A control already bound elsewhere moves here.";

} // namespace

RemoteBindingsDialog::RemoteBindingsDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui::RemoteBindingsDialog)
{
    ui->setupUi(this);
    for (int i = 0; i < RemoteBindings::actionCount; ++i)
        addRow(i);
    stopLearning();
    showBindings();
}

RemoteBindingsDialog::~RemoteBindingsDialog()
{
    delete ui;
}

QString RemoteBindingsDialog::rowName(RemoteAction action)
{
    return QLatin1String(RowNames[RemoteBindings::index(action)]);
}

void RemoteBindingsDialog::addRow(int index)
{
    const QString name = QLatin1String(RowNames[index]);
    auto *action = new QLabel(tr(ActionTexts[index]), this);
    auto *binding = new QLabel(this);
    auto *learnButton = new QPushButton(tr("Learn"), this);
    auto *clearButton = new QPushButton(tr("Clear"), this);
    action->setObjectName("labelAction" + name);
    binding->setObjectName("labelBinding" + name);
    learnButton->setObjectName("pushLearn" + name);
    clearButton->setObjectName("pushClear" + name);
    learnButton->setCheckable(true);
    learnButton->setAutoDefault(false);
    clearButton->setAutoDefault(false);
    ui->gridBindings->addWidget(action, index, 0);
    ui->gridBindings->addWidget(binding, index, 1);
    ui->gridBindings->addWidget(learnButton, index, 2);
    ui->gridBindings->addWidget(clearButton, index, 3);
    bindingLabels << binding;
    learnButtons << learnButton;
    connect(learnButton, &QPushButton::clicked, this, [this, index](bool on) { learn(index, on); });
    connect(clearButton, &QPushButton::clicked, this, [this, index] {
        stopLearning();
        edited.set(RemoteBindings::action(index), RemoteBinding());
        showBindings();
    });
}

void RemoteBindingsDialog::setBindings(const RemoteBindings &bindings)
{
    stopLearning();
    edited = bindings;
    showBindings();
}

bool RemoteBindingsDialog::isLearning() const
{
    return learning >= 0 || ui->pushProgramLayout->isChecked();
}

void RemoteBindingsDialog::offer(const ByteVector &message)
{
    const RemoteBinding binding = RemoteBinding::learnt(message);
    if (ui->pushProgramLayout->isChecked()) {
        if (binding.kind() != RemoteBinding::Kind::Program)
            return;
        for (int i = 0; i < PresetCount; ++i)
            edited.bind(RemoteBindings::action(i), RemoteBinding::program(binding.channel(), i));
    } else if (learning >= 0 && binding.kind() != RemoteBinding::Kind::None) {
        edited.bind(RemoteBindings::action(learning), binding);
    } else {
        return;
    }
    stopLearning();
    showBindings();
}

void RemoteBindingsDialog::done(int result)
{
    // However the window goes, nothing waits for a message behind it.
    stopLearning();
    showBindings();
    QDialog::done(result);
}

void RemoteBindingsDialog::keyPressEvent(QKeyEvent *event)
{
    // Escape first cancels learning, and only then the dialog.
    if (event->key() == Qt::Key_Escape && isLearning()) {
        stopLearning();
        showBindings();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void RemoteBindingsDialog::on_pushProgramLayout_clicked(bool checked)
{
    stopLearning();
    ui->pushProgramLayout->setChecked(checked);
    if (checked)
        ui->labelHint->setText(tr("Send a Program Change from the controller: PRESET1 … PRESET6 "
                                  "get programs 0 … 5 on its channel. Escape cancels."));
    showBindings();
}

void RemoteBindingsDialog::on_pushDefaults_clicked()
{
    setBindings(RemoteBindings::defaults());
}

void RemoteBindingsDialog::on_pushOK_clicked()
{
    accept();
}

void RemoteBindingsDialog::on_pushCancel_clicked()
{
    reject();
}

void RemoteBindingsDialog::learn(int index, bool on)
{
    stopLearning();
    if (on) {
        learning = index;
        learnButtons[index]->setChecked(true);
        ui->labelHint->setText(tr("Press the control for %1 now. Escape or Learn again cancels.")
                                   .arg(tr(ActionTexts[index])));
    }
    showBindings();
}

void RemoteBindingsDialog::stopLearning()
{
    learning = -1;
    for (QPushButton *button : learnButtons)
        button->setChecked(false);
    ui->pushProgramLayout->setChecked(false);
    ui->labelHint->setText(tr(IdleHint));
}

void RemoteBindingsDialog::showBindings()
{
    // Every change of what waits for a message ends here.
    if (isLearning() != toldLearning)
        emit learningChanged(toldLearning = isLearning());
    for (int i = 0; i < RemoteBindings::actionCount; ++i)
        bindingLabels[i]->setText(i == learning ? tr("waiting for a control …")
                                                : edited.at(RemoteBindings::action(i)).words());
}
