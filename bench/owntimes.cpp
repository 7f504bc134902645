#include "owntimes.h"

#include <cstdio>
#include <fstream>

void OwnTimes::mark()
{
    std::ifstream file(m_path, std::ios::ate);
    m_offset = file ? static_cast<long long>(file.tellg()) : 0;
}

size_t OwnTimes::collect(int status, int send, LatencyStats &stats) const
{
    std::ifstream file(m_path);
    file.seekg(m_offset);
    size_t added = 0;
    std::string line;
    while (std::getline(file, line)) {
        unsigned int lineStatus = 0;
        int lineSend = 0;
        long long us = 0;
        if (std::sscanf(line.c_str(), "Timing : %x %d %lld us", &lineStatus, &lineSend, &us) == 3 &&
            int(lineStatus) == status && lineSend == send) {
            stats.add(double(us));
            ++added;
        }
    }
    return added;
}
