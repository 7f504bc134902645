#ifndef SETLISTMARK_H
#define SETLISTMARK_H

#include <QWidget>

// A frame drawn over the preset button the setlist chooses for the current
// part, apart from the button's own colour, which shows the preset the unit
// confirmed: the two can differ until the unit answers. Follows the button's
// size and lets every click through. GUI thread.
class SetlistMark : public QWidget
{
    Q_OBJECT
public:
    explicit SetlistMark(QWidget *parent = nullptr);

    // On that button, or hidden for none.
    void markButton(QWidget *button);

    static constexpr const char *color = "#00E5FF";

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *marked = nullptr;
};

#endif
