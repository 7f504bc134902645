#ifndef LINECOUNTER_H
#define LINECOUNTER_H

#include <fstream>
#include <string>

// Counts the lines starting with a prefix in a file that another process is
// still writing (the program's standard error), reading only what was added
// since the last call. Benchmark main thread.
class LineCounter
{
public:
    LineCounter(const std::string &path, const std::string &prefix);

    // Lines counted so far, after reading what is new.
    long long count();

private:
    std::string m_path;
    std::string m_prefix;
    std::ifstream m_file;
    std::string m_partial;
    long long m_count = 0;
};

#endif
