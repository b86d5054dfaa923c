#pragma once
// Kepler's second law drawn: the sectors the line from the Sun to a body sweeps in equal times.
// The areas come from the orbit itself, half the integral of r^2 over the angle, never from
// counted pixels; SectorSweep cuts a body's motion, frame by frame as it plays, into slices of
// equal time and reports which angles each frame adds to which slice. Angles are in radians from
// perihelion as the program plots them (the body at x = fx - r cos theta, y = fy + r sin theta).

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/orbit.h"

namespace kepler {

// An angle in degrees as a true angle, a whole turn 2 pi [rad]. The program plots its bodies with
// 6.28 for the turn; the recorded planets' sectors use their true longitude, which puts a sector's
// edge within a pixel of the body and leaves no gap in the angle at perihelion.
double TrueAngle(double degrees);

// The whole area of the ellipse a, e [px^2]: pi a b.
double EllipseArea(double a, double e);

// The area the line from the focus sweeps while the body on the ellipse a, e goes from angle
// theta1 to theta2 (theta2 >= theta1, any number of turns) [px^2]. From perihelion to the true
// anomaly nu it is (a b / 2)(E - e sin E), E the eccentric anomaly; each whole turn adds pi a b.
double SweptArea(double a, double e, double theta1, double theta2);

// The outline of that region on the drawing: the focus, then points on the orbit from theta1 to
// theta2 at most a degree apart [px].
std::vector<PlotPoint> SectorOutline(double focusX, double focusY, double a, double e,
                                     double theta1, double theta2);

// The time of one turn as a single orbit's animation plays it [ms]: for the planets a degree a
// frame, each waiting its step time x factor, rounded; for the comet its frames by their regimes,
// from degree 160, where it first stands, until it stands there again. stepTimes[k] is degree k's.
double PlanetTurnTime(const std::array<double, 361>& stepTimes, int factor);
double CometTurnTime(const std::array<double, 361>& stepTimes, int factor);

// A percentage with two decimals, "8.33", whatever the locale.
std::string PercentText(double percent);

// One body's sectors. Time starts when the body first stands on its orbit (the first frame);
// slice k holds the angles it passes between k and k + 1 slice times, a frame's angles shared out
// between slices in proportion to its time. A turn ends when the body is a full 2 pi past its
// first angle; the next frame then starts the next turn afresh from there.
class SectorSweep {
 public:
  // a, e: the orbit the areas are measured on; slice: the time of one slice, in the unit of the
  // times given to advance().
  SectorSweep(double a, double e, double slice);

  // The angles a frame adds to one slice of the turn (slices counted from 0).
  struct Piece {
    int slice;
    double from;
    double to;
  };
  struct Frame {
    bool freshTurn = false;  // the previous frame ended a turn: what it drew goes first
    std::vector<Piece> pieces;
  };
  // The body reached `angle` (the plotted angle, any turn: it is taken as the nearest one ahead)
  // after `elapsed` more time. The first call only places it.
  Frame advance(double elapsed, double angle);

  // Areas of the slice being filled and of the last one completed, in percent of the orbit's
  // area; none before the first frame or the first completed slice.
  double currentPercent() const;
  std::optional<double> lastPercent() const;
  // The areas of this turn's completed slices [px^2] (the last turn's until the next frame), and
  // of the last whole turn's.
  const std::vector<double>& completedAreas() const { return completed_; }
  const std::vector<double>& lastTurnAreas() const { return lastTurn_; }

 private:
  // A stretch of motion: to an angle, taking a time.
  struct Leg {
    double to;
    double time;
  };
  void addPiece(Frame& frame, double from, double to);

  double a_;
  double e_;
  double slice_;
  bool placed_ = false;
  bool turnEnded_ = false;
  double angle_ = 0;      // unwrapped, where the body stands
  double turnStart_ = 0;  // unwrapped angle the turn began at
  double time_ = 0;       // since the turn began
  int sliceIndex_ = 0;
  double sliceArea_ = 0;
  std::vector<double> completed_;
  std::vector<double> lastTurn_;
  std::optional<double> last_;
  std::optional<Leg> carry_;  // the motion past a turn's end, drawn when the next turn begins
};

}  // namespace kepler
