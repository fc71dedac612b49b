#pragma once

#include <QVector>
#include <algorithm>

// The summary figures the benchmarks print for a series of timings.
namespace Figures {
inline double median(QVector<double> v) {
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}
inline double worst(const QVector<double>& v) {
    return v.isEmpty() ? 0 : *std::max_element(v.begin(), v.end());
}
} // namespace Figures
