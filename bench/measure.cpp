#include "measure.h"

#include <sys/resource.h>

#include <algorithm>

namespace bench {
namespace {

double toMilliseconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
}

}  // namespace

double MillisecondsBetween(SteadyTime from, SteadyTime to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

double ProcessCpuMilliseconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return toMilliseconds(usage.ru_utime) + toMilliseconds(usage.ru_stime);
}

SpanTimer::SpanTimer()
    : wallStart_(std::chrono::steady_clock::now()), cpuStartMs_(ProcessCpuMilliseconds()) {}

Span SpanTimer::stop() const {
  const SteadyTime wallEnd = std::chrono::steady_clock::now();
  const double cpuEndMs = ProcessCpuMilliseconds();
  return Span{MillisecondsBetween(wallStart_, wallEnd), cpuEndMs - cpuStartMs_};
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  if (values.size() % 2 == 1) return values[middle];
  return (values[middle - 1] + values[middle]) / 2;
}

double Maximum(const std::vector<double>& values) {
  if (values.empty()) return 0;
  return *std::max_element(values.begin(), values.end());
}

double KibToMegabytes(long kib) {
  return static_cast<double>(kib) * 1024.0 / 1e6;
}

long PeakRssKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace bench
