#ifndef LATENCYSTATS_H
#define LATENCYSTATS_H

#include <cstddef>
#include <initializer_list>
#include <utility>
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

    using Row = std::pair<const char *, const LatencyStats *>;
    // A titled table of rows in milliseconds: n, p50, p99, max.
    static void printMilliseconds(const char *title, std::initializer_list<Row> rows);

private:
    std::vector<double> sorted() const;

    std::vector<double> m_values;
};

#endif
