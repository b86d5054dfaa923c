#pragma once
// The scenario state: the window-level variables and three fixed tables through which the
// handlers and routines exchange their data. Empty reads as 0, so plain numbers starting at 0
// stand for it; integers stay exact. A table index outside its bounds is a run-time error that
// touches nothing. The state knows nothing of controls.

#include <array>
#include <cstdint>
#include <string>

#include "core/runtime_error.h"
#include "core/value.h"

namespace kepler {

// A fixed table indexed from 0, one or two dimensional, whose every access is bounds-checked.
template <typename Cell, int Rows, int Columns = 1>
class FixedTable {
 public:
  Cell& operator()(int row, int column = 0) { return cells_[index(row, column)]; }
  const Cell& operator()(int row, int column = 0) const { return cells_[index(row, column)]; }
  static constexpr bool contains(int row, int column = 0) {
    return row >= 0 && row < Rows && column >= 0 && column < Columns;
  }

 private:
  static std::size_t index(int row, int column) {
    if (!contains(row, column)) throw RuntimeError("インデックスが有効範囲にありません。");
    // The first index runs fastest in storage, as the runtime laid two-index tables out.
    return static_cast<std::size_t>(row) + static_cast<std::size_t>(Rows) * column;
  }
  std::array<Cell, static_cast<std::size_t>(Rows) * Columns> cells_{};
};

struct ScenarioState {
  int ScenarioKind = 0;            // 1 one body, 2 comet, 3 Earth and Mars, 4 inner planets
  double SemiMajorAxis = 0;        // a [px of Picture1]
  double Eccentricity = 0;         // e
  double FocusX = 0;               // [px]
  double FocusY = 0;               // [px]
  double OrbitRadius = 0;          // r of the angle last computed [px]
  int OrbitAngle = 0;              // current whole degree, 1 to 360; 361 after the orbit-point fill
  int StepDelayFactor = 0;         // [ms per unit of step time]
  double PerihelionSweep = 0;      // [px^2]
  double AphelionSweep = 0;        // [px^2]
  double AngleSweep = 0;           // [px^2]
  double DistanceRatio = 0;        // aphelion / perihelion distance, as shown
  int FrameCounter = 0;            // frame of the data-file animations
  Value InputLead;                 // the record being read from a data file
  Value InputLongitude;            // [deg]
  Value InputDistance;             // [the file's unit]
  std::int32_t WaitStartTime = 0;  // clock reading at the start of the latest wait [ms]

  FixedTable<double, 361> StepTimeTable;      // relative step time per degree 1..360
  FixedTable<double, 361, 3> OrbitTable;      // x (column 1), y (column 2) per degree [px]
  FixedTable<Value, 1001, 3> LongitudeTable;  // longitude [deg], distance per record
};

}  // namespace kepler
