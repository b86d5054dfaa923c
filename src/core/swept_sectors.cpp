#include "core/swept_sectors.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/comet_pacing.h"
#include "core/legacy_number.h"

namespace kepler {
namespace {

constexpr double kFullTurn =
    2 * std::numbers::pi;  // a true turn; the program's 6.28 is short of it

// The area swept from perihelion to the true anomaly nu, continued over whole turns.
double AreaFromPerihelion(double a, double e, double nu) {
  const double turns = std::round(nu / kFullTurn);
  const double v = nu - turns * kFullTurn;  // within [-pi, pi]
  const double E =
      2 * std::atan2(std::sqrt(1 - e) * std::sin(v / 2), std::sqrt(1 + e) * std::cos(v / 2));
  const double b = a * std::sqrt(1 - e * e);
  return a * b / 2 * (E - e * std::sin(E)) + turns * EllipseArea(a, e);
}

}  // namespace

double TrueAngle(double degrees) {
  return degrees * (std::numbers::pi / 180);
}

double EllipseArea(double a, double e) {
  return std::numbers::pi * a * a * std::sqrt(1 - e * e);
}

double SweptArea(double a, double e, double theta1, double theta2) {
  return AreaFromPerihelion(a, e, theta2) - AreaFromPerihelion(a, e, theta1);
}

std::vector<PlotPoint> SectorOutline(double focusX, double focusY, double a, double e,
                                     double theta1, double theta2) {
  constexpr double kDegree = std::numbers::pi / 180;
  const int steps = std::max(1, static_cast<int>(std::ceil((theta2 - theta1) / kDegree)));
  std::vector<PlotPoint> outline{{focusX, focusY}};
  outline.reserve(static_cast<std::size_t>(steps) + 2);
  for (int i = 0; i <= steps; ++i) {
    const double theta = theta1 + (theta2 - theta1) * i / steps;
    const double r = FocalRadius(a, e, theta);
    outline.push_back({focusX - r * std::cos(theta), focusY + r * std::sin(theta)});
  }
  return outline;
}

double PlanetTurnTime(const std::array<double, 361>& stepTimes, int factor) {
  double total = 0;
  for (int k = 1; k <= 360; ++k) total += ToInt32(stepTimes[static_cast<std::size_t>(k)] * factor);
  return total;
}

double CometTurnTime(const std::array<double, 361>& stepTimes, int factor) {
  constexpr int kFirst = 160;
  double total = 0;
  // Each frame's wait and the degree it shows the comet at, counted on past 360.
  const auto frame = [&](CometRegime regime, double s, double shownAt) {
    if (shownAt > kFirst) total += FrameWait(regime, s, factor);
    return shownAt >= kFirst + 360;
  };
  for (int j = kFirst; j <= kFirst + 400; ++j) {
    const double s = stepTimes[static_cast<std::size_t>(j > 360 ? j - 360 : j)];
    const CometRegime regime = RegimeOf(s);
    if (regime == CometRegime::Slow) {
      const int count = SubFrameCount(s);
      for (int k = 1; k <= count; ++k) {
        if (frame(regime, s, j + k * (1.0 / count))) return total;
      }
    } else {
      if (frame(regime, s, j)) return total;
      if (regime == CometRegime::Fast) j += FastJump(s);
    }
  }
  return total;
}

std::string PercentText(double percent) {
  const long long hundredths = std::llround(percent * 100);
  const long long whole = hundredths / 100;
  const long long rest = std::llabs(hundredths % 100);
  return (hundredths < 0 && whole == 0 ? "-" : "") + std::to_string(whole) + '.' +
         (rest < 10 ? "0" : "") + std::to_string(rest);
}

SectorSweep::SectorSweep(double a, double e, double slice) : a_(a), e_(e), slice_(slice) {}

void SectorSweep::addPiece(Frame& frame, double from, double to) {
  if (to <= from) return;
  frame.pieces.push_back({sliceIndex_, from, to});
  sliceArea_ += SweptArea(a_, e_, from, to);
}

SectorSweep::Frame SectorSweep::advance(double elapsed, double angle) {
  Frame frame;
  if (!placed_) {
    placed_ = true;
    angle_ = turnStart_ = angle;
    return frame;
  }
  double ahead = std::fmod(angle - angle_, kFullTurn);
  if (ahead < 0) ahead += kFullTurn;
  // Where the body goes and how long it takes; after a turn ended within the last frame, what lay
  // beyond its end goes first.
  std::vector<Leg> legs{{angle_ + ahead, elapsed}};
  if (turnEnded_) {
    turnEnded_ = false;
    frame.freshTurn = true;
    turnStart_ = angle_;
    time_ = 0;
    sliceIndex_ = 0;
    sliceArea_ = 0;
    lastTurn_ = std::move(completed_);
    completed_.clear();
    if (carry_) {
      legs.insert(legs.begin(), *carry_);
      carry_.reset();
    }
  }
  for (const Leg& leg : legs) {
    double to = leg.to;
    double time = leg.time;
    const double turnEnd = turnStart_ + kFullTurn;
    if (to >= turnEnd - 1e-9) {
      // The turn ends within this frame: what lies beyond its end opens the next turn.
      const double share = to > angle_ ? (turnEnd - angle_) / (to - angle_) : 1;
      if (to > turnEnd + 1e-9) carry_ = Leg{to, time * (1 - share)};
      to = turnEnd;
      time *= share;
      turnEnded_ = true;
    }
    // The slices whose end falls within this leg; the angle at a slice's end is shared out in
    // proportion to time.
    const double from = angle_;
    const double start = time_;
    double at = from;
    for (double end = (sliceIndex_ + 1) * slice_; end <= start + time + 1e-9 * slice_;
         end = (sliceIndex_ + 1) * slice_) {
      const double cut =
          time > 0 ? from + (to - from) * std::clamp((end - start) / time, 0.0, 1.0) : to;
      addPiece(frame, at, cut);
      at = cut;
      completed_.push_back(sliceArea_);
      last_ = sliceArea_;
      ++sliceIndex_;
      sliceArea_ = 0;
    }
    addPiece(frame, at, to);
    angle_ = to;
    time_ = start + time;
    if (turnEnded_) break;
  }
  return frame;
}

double SectorSweep::currentPercent() const {
  return sliceArea_ / EllipseArea(a_, e_) * 100;
}

std::optional<double> SectorSweep::lastPercent() const {
  if (!last_) return std::nullopt;
  return *last_ / EllipseArea(a_, e_) * 100;
}

}  // namespace kepler
