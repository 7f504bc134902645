#include "linecounter.h"

LineCounter::LineCounter(const std::string &path, const std::string &prefix)
    : m_path(path), m_prefix(prefix)
{
}

long long LineCounter::count()
{
    if (!m_file.is_open()) {
        m_file.open(m_path, std::ios::binary);
        if (!m_file.is_open())
            return m_count;
    }
    char buffer[65536];
    for (;;) {
        m_file.read(buffer, sizeof buffer);
        const std::streamsize got = m_file.gcount();
        if (got <= 0)
            break;
        m_partial.append(buffer, size_t(got));
    }
    // At the end of what is written so far: clear EOF to read more next time.
    m_file.clear();
    size_t start = 0, end;
    while ((end = m_partial.find('\n', start)) != std::string::npos) {
        if (m_partial.compare(start, m_prefix.size(), m_prefix) == 0)
            ++m_count;
        start = end + 1;
    }
    m_partial.erase(0, start);
    return m_count;
}
