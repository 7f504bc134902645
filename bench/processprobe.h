#ifndef PROCESSPROBE_H
#define PROCESSPROBE_H

// Reads another process's resource use from /proc: CPU time of the whole
// process and of its main thread, and resident memory. Benchmark main thread.
class ProcessProbe
{
public:
    explicit ProcessProbe(long long pid) : m_pid(pid) {}

    // User plus system time in milliseconds (clock-tick resolution); -1 when
    // the process cannot be read.
    double cpuMs() const;
    // The same for the main thread alone (the GUI thread of a Qt program).
    double mainThreadCpuMs() const;
    // VmRSS and VmHWM (peak) in kB; -1 when unreadable.
    long long residentKb() const;
    long long peakResidentKb() const;
    // RssAnon: the private heap and stacks, without mapped files and the
    // JACK server's shared memory, in kB.
    long long anonymousKb() const;
    int threadCount() const;
    // Entries of /proc/PID/fd; -1 when unreadable.
    int openFiles() const;

private:
    static double cpuMsFromStat(const char *path);
    long long statusValue(const char *key) const;

    long long m_pid;
};

#endif
