#ifndef REMOTEBINDINGSDIALOG_H
#define REMOTEBINDINGSDIALOG_H

#include "remotebindings.h"

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;

namespace Ui {
class RemoteBindingsDialog;
}

// The modal window that binds the remote controller's actions by learning:
// lists the actions (presets, steps, foot switch, setlist steps) with their
// bindings in words, binds a row to the next message offered, clears rows,
// restores the defaults and lays presets out on Program Changes. Edits a copy; the caller stores it
// after OK. GUI thread.
class RemoteBindingsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit RemoteBindingsDialog(QWidget *parent = nullptr);
    ~RemoteBindingsDialog() override;

    // Starts editing from these bindings, learning nothing.
    void setBindings(const RemoteBindings &bindings);
    // The bindings as edited so far.
    const RemoteBindings &bindings() const { return edited; }
    // True while a row or the Program Change layout waits for a message.
    bool isLearning() const;

    // The object names of an action's row end in these: "pushLearnPreset1".
    static QString rowName(RemoteAction action);

public slots:
    // A message from the remote input: bound when a row or the layout waits
    // for one of its kind, ignored otherwise.
    void offer(const ByteVector &message);

    void done(int result) override;

signals:
    // isLearning() changed.
    void learningChanged(bool on);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void on_pushProgramLayout_clicked(bool checked);
    void on_pushDefaults_clicked();
    void on_pushOK_clicked();
    void on_pushCancel_clicked();

private:
    void addRow(int index);
    void learn(int index, bool on);
    void stopLearning();
    void showBindings();

    Ui::RemoteBindingsDialog *ui;
    RemoteBindings edited = RemoteBindings::defaults();
    int learning = -1; // the row waiting for a message
    bool toldLearning = false;
    QList<QLabel *> bindingLabels;
    QList<QPushButton *> learnButtons;
};

#endif
