#include "latencystats.h"

#include <cstdio>

#include <algorithm>
#include <cmath>

std::vector<double> LatencyStats::sorted() const
{
    std::vector<double> values = m_values;
    std::sort(values.begin(), values.end());
    return values;
}

double LatencyStats::percentile(double p) const
{
    if (m_values.empty())
        return 0;
    const std::vector<double> values = sorted();
    const size_t rank = size_t(std::ceil(p / 100.0 * double(values.size())));
    return values[std::min(values.size(), std::max<size_t>(rank, 1)) - 1];
}

double LatencyStats::max() const
{
    return m_values.empty() ? 0 : *std::max_element(m_values.begin(), m_values.end());
}

double LatencyStats::min() const
{
    return m_values.empty() ? 0 : *std::min_element(m_values.begin(), m_values.end());
}

void LatencyStats::printMilliseconds(const char *title, std::initializer_list<Row> rows)
{
    std::printf("\n%-44s %6s %9s %9s %9s\n", title, "n", "p50", "p99", "max");
    for (const Row &row : rows)
        std::printf("%-44s %6zu %9.2f %9.2f %9.2f\n", row.first, row.second->count(),
                    row.second->percentile(50) / 1000.0, row.second->percentile(99) / 1000.0,
                    row.second->max() / 1000.0);
}
