#ifndef LATENCYSTATS_H
#define LATENCYSTATS_H

#include <cstddef>
#include <vector>

// A set of measured durations in microseconds and their order statistics.
// Benchmark main thread.
class LatencyStats
{
public:
    void add(double microseconds) { m_values.push_back(microseconds); }
    size_t count() const { return m_values.size(); }
    // Nearest-rank percentile, p in 0..100; 0 when empty.
    double percentile(double p) const;
    double max() const;
    double min() const;

private:
    std::vector<double> sorted() const;

    std::vector<double> m_values;
};

#endif
