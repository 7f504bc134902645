#ifndef PORTCHOICE_H
#define PORTCHOICE_H

#include "portpair.h"

#include <QObject>
#include <QString>

class HardwareLink;

// The four ports the user chose (OK, Reconnect hardware) brought to the
// link's and the pads' pairs, the unit's ends first; a unit reopened is asked
// for its serial number once the failure, if any, has been told. GUI thread.
class PortChoice : public QObject
{
    Q_OBJECT
public:
    // One list's choice: a port name (empty for none), and whether it is a
    // stored port that is not present now.
    struct List
    {
        QString name;
        bool absent = false;
    };
    struct Lists
    {
        List hardIn, hardOut, remoteIn, remoteOut;
    };

    PortChoice(HardwareLink *link, PortPair *remotePorts, QObject *parent = nullptr);

public slots:
    // force reopens ends whose port is open already.
    void apply(const PortChoice::Lists &chosen, bool force);

signals:
    // From here until applied (the failure's box included) the ports are the choice's.
    void applying();
    void applied();
    // A port could not be opened; connected directly: its box runs inside apply.
    void openFailed(const QString &text);

private:
    static bool applyEnd(PortPair &pair, PortPair::End end, const List &chosen,
                         const QString &hardwareName, bool force);

    HardwareLink *link;
    PortPair *remotePorts;
};

#endif
