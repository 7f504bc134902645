#ifndef SOAKSAMPLES_H
#define SOAKSAMPLES_H

#include <QString>

#include <string>
#include <vector>

// The soak's samples of the program, one per so many presses: printed as a
// table row (and a CSV line) as each comes, and judged at the end.
// Benchmark main thread.
class SoakSamples
{
public:
    struct Sample
    {
        int presses = 0;
        double seconds = 0;
        long long rssKb = 0;
        int files = 0, threads = 0, clients = 0;
        double p50Ms = 0, p99Ms = 0;
        long long lostPresses = 0, lostLamps = 0, lostByService = 0;
    };

    explicit SoakSamples(const QString &csvPath) : m_csvPath(csvPath) {}

    void add(const Sample &sample);
    // What the samples show against the limits; empty when within them.
    std::vector<std::string> failures() const;

private:
    void print(const Sample &sample) const;

    QString m_csvPath;
    std::vector<Sample> m_samples;
};

#endif
