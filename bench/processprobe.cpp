#include "processprobe.h"

#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

double ProcessProbe::cpuMsFromStat(const char *path)
{
    std::ifstream file(path);
    std::string text;
    if (!std::getline(file, text))
        return -1;
    // The command name in parentheses may hold spaces: fields count from the last ")".
    const size_t close = text.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(close + 1));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    // After ")" come field 3 (state) onwards; utime and stime are fields 14 and 15.
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number == 14)
            utime = std::stoull(field);
        else if (number == 15)
            stime = std::stoull(field);
    }
    return double(utime + stime) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

double ProcessProbe::cpuMs() const
{
    return cpuMsFromStat(("/proc/" + std::to_string(m_pid) + "/stat").c_str());
}

double ProcessProbe::mainThreadCpuMs() const
{
    const std::string pid = std::to_string(m_pid);
    return cpuMsFromStat(("/proc/" + pid + "/task/" + pid + "/stat").c_str());
}

long long ProcessProbe::statusValue(const char *key) const
{
    std::ifstream file("/proc/" + std::to_string(m_pid) + "/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(file, line)) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            return std::stoll(line.substr(prefix.size()));
    }
    return -1;
}

long long ProcessProbe::residentKb() const
{
    return statusValue("VmRSS");
}

long long ProcessProbe::peakResidentKb() const
{
    return statusValue("VmHWM");
}

long long ProcessProbe::anonymousKb() const
{
    return statusValue("RssAnon");
}

int ProcessProbe::threadCount() const
{
    return int(statusValue("Threads"));
}

int ProcessProbe::openFiles() const
{
    DIR *dir = opendir(("/proc/" + std::to_string(m_pid) + "/fd").c_str());
    if (!dir)
        return -1;
    int count = 0;
    while (const dirent *entry = readdir(dir)) {
        if (entry->d_name[0] != '.')
            ++count;
    }
    closedir(dir);
    return count;
}
