#pragma once
// Wall and processor time of this process over a stretch of work, its peak memory, and the two
// statistics the benchmark quotes (median, maximum). Measures and summarises; never waits or
// prints.

#include <chrono>
#include <vector>

namespace bench {

using SteadyTime = std::chrono::steady_clock::time_point;

// Milliseconds from `from` to `to`, to the nanosecond [ms].
double MillisecondsBetween(SteadyTime from, SteadyTime to);

// Processor time this process has used so far, user plus system, from getrusage [ms].
double ProcessCpuMilliseconds();

struct Span {
  double wallMs = 0;  // [ms]
  double cpuMs = 0;   // [ms]
  // Processor time as a share of wall time [%]; 100 means one core busy all along.
  double cpuPercent() const { return wallMs > 0 ? 100.0 * cpuMs / wallMs : 0.0; }
};

// Starts at construction; stop() gives the wall and processor time since then.
class SpanTimer {
 public:
  SpanTimer();
  Span stop() const;

 private:
  SteadyTime wallStart_;
  double cpuStartMs_;
};

// The middle value, or the mean of the two middle ones for an even count; 0 for none.
double Median(std::vector<double> values);
// The largest value; 0 for none.
double Maximum(const std::vector<double>& values);

// ru_maxrss counts KiB on Linux; the targets are in decimal megabytes [MB].
double KibToMegabytes(long kib);
// Peak resident set of this process so far [KiB].
long PeakRssKib();

}  // namespace bench
