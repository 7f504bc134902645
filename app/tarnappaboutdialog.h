#ifndef TARNAPPABOUTDIALOG_H
#define TARNAPPABOUTDIALOG_H

#include <QDialog>
#include <QString>

namespace Ui {
class TarnAppAboutDialog;
}

// The About window: logo, product name, version and notice, shown modally
// once and then destroyed. GUI thread.
class TarnAppAboutDialog : public QDialog
{
    Q_OBJECT
public:
    // Places the window with its top-left client corner at (x, y).
    TarnAppAboutDialog(int x, int y, QWidget *parent = nullptr);
    ~TarnAppAboutDialog() override;

    // The logo to show, from the program's own resources.
    static QString logoPath();

private:
    Ui::TarnAppAboutDialog *ui;
};

#endif
