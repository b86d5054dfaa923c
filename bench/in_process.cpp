#include "in_process.h"

#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

#include <chrono>

#include "forms/qt/access.h"

namespace bench {

std::vector<Nominal> NominalWaits(const std::vector<int>& indices) {
  JumpClock clock;
  // Never shown: nothing is painted, only the demonstrations' own work is done.
  Form1 form(clock);
  form.Form_Load();
  std::vector<Nominal> result;
  for (const int index : indices) {
    const std::int64_t before = clock.elapsedMs();
    const int waitsBefore = clock.waits();
    forms::qt::ButtonOf(form.Command1(index))->click();
    result.push_back(Nominal{clock.elapsedMs() - before, clock.waits() - waitsBefore});
  }
  return result;
}

DemonstrationRun PlayDemonstration(Form1& form, const PumpTimingClock& clock, int index) {
  QPushButton* button = forms::qt::ButtonOf(form.Command1(index));
  const double insideBefore = clock.insideMs();
  const SpanTimer timer;
  button->click();
  DemonstrationRun run;
  run.span = timer.stop();
  run.insideWaitsMs = clock.insideMs() - insideBefore;
  run.completed = !form.ending();
  return run;
}

WaitRun MeasureWaits(Form1& form, int askedMs, int repeats) {
  form.WaitMilliseconds(askedMs);
  std::vector<double> overshoots;
  overshoots.reserve(static_cast<std::size_t>(repeats));
  const SpanTimer series;
  for (int i = 0; i < repeats; ++i) {
    const SteadyTime start = std::chrono::steady_clock::now();
    form.WaitMilliseconds(askedMs);
    const SteadyTime end = std::chrono::steady_clock::now();
    overshoots.push_back(MillisecondsBetween(start, end) - askedMs);
  }
  const Span span = series.stop();
  return WaitRun{askedMs, repeats, Median(overshoots), Maximum(overshoots), span.cpuPercent()};
}

void Settle(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace bench
