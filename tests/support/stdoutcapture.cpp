#include "stdoutcapture.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

StdoutCapture::StdoutCapture()
{
    std::cout.flush();
    std::fflush(stdout);
    char path[] = "/tmp/tarn-stdout-XXXXXX";
    m_fileFd = mkstemp(path);
    if (m_fileFd < 0)
        return;
    unlink(path);
    m_savedFd = dup(STDOUT_FILENO);
    dup2(m_fileFd, STDOUT_FILENO);
}

StdoutCapture::~StdoutCapture()
{
    if (m_fileFd < 0)
        return;
    std::cout.flush();
    std::fflush(stdout);
    dup2(m_savedFd, STDOUT_FILENO);
    close(m_savedFd);
    const QByteArray captured = contents();
    if (!captured.isEmpty()) {
        std::fwrite(captured.constData(), 1, size_t(captured.size()), stdout);
        std::fflush(stdout);
    }
    close(m_fileFd);
}

QByteArray StdoutCapture::contents() const
{
    QByteArray data;
    if (m_fileFd < 0)
        return data;
    char buffer[4096];
    off_t offset = 0;
    for (;;) {
        const ssize_t n = pread(m_fileFd, buffer, sizeof buffer, offset);
        if (n <= 0)
            break;
        data.append(buffer, int(n));
        offset += n;
    }
    return data;
}

void StdoutCapture::clear()
{
    if (m_fileFd < 0)
        return;
    std::cout.flush();
    std::fflush(stdout);
    // Standard output shares this file's offset, so both start again at 0.
    if (ftruncate(m_fileFd, 0) == 0)
        lseek(m_fileFd, 0, SEEK_SET);
}

QStringList StdoutCapture::lines() const
{
    std::cout.flush();
    std::fflush(stdout);
    QByteArray data = contents();
    const int end = data.lastIndexOf('\n');
    data.truncate(end + 1);
    QStringList result = QString::fromLocal8Bit(data).split('\n');
    result.removeLast(); // what follows the last line end
    return result;
}
