#ifndef STDOUTCAPTURE_H
#define STDOUTCAPTURE_H

#include <QStringList>

// Redirects the process's standard output (file descriptor 1, so std::cout
// and printf from any thread) into a temporary file while it exists. On
// destruction the real standard output comes back and gets everything that
// was captured, so test failure messages written meanwhile are not lost.
// Made and read on the GUI thread.
class StdoutCapture
{
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture &) = delete;
    StdoutCapture &operator=(const StdoutCapture &) = delete;

    // Every complete line written so far (since the last clear).
    QStringList lines() const;
    // Forgets what was written so far.
    void clear();

private:
    QByteArray contents() const;

    int m_savedFd = -1;
    int m_fileFd = -1;
};

#endif
