// Where there are no Unix signals (Windows), the program ends through its
// window alone.
#include "unixsignalquitter.h"

UnixSignalQuitter::UnixSignalQuitter(QObject *parent) : QObject(parent) {}

UnixSignalQuitter::~UnixSignalQuitter() = default;

void UnixSignalQuitter::handleSignal(int) {}

void UnixSignalQuitter::quitOnSignal() {}
