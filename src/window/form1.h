#pragma once
// The program's one window, Form1: its controls, its handlers and the routines of every
// demonstration, which exchange their data through the scenario state it inherits. The
// routines live in the folders of their subsystems; the numbers they show come from the core.
// It owns no clock; the caller hands it one (steady in the program, virtual in tests). It uses the
// forms layer only, so it builds unchanged on every backend.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/orbit.h"
#include "core/swept_sectors.h"
#include "forms/clock.h"
#include "forms/command_button.h"
#include "forms/form_window.h"
#include "forms/image_control.h"
#include "forms/label.h"
#include "forms/lesson.h"
#include "forms/picture_box.h"
#include "forms/timer.h"
#include "window/scenario_state.h"

class Form1 : public kepler::ScenarioState {
 public:
  // Scenario clicks nested inside the waits of running demonstrations, at most. Each level holds
  // one demonstration and an event dispatch on the stack, measured at about 2 KiB (6 KiB with the
  // address sanitizer), so the cap stays far inside the 8 MiB stack; a click beyond it is ignored.
  static constexpr int kMaxScenarioNesting = 16;

  explicit Form1(forms::Clock& clock);
  ~Form1();
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  forms::FormWindow& window() { return window_; }
  void show();

  // Handlers.
  void Form_Load();
  void Command1_Click(std::int16_t Index);
  void Command2_Click();
  void Command3_Click();

  // The pacing wait: returns at the first clock reading at least Milliseconds after its start,
  // handling events meanwhile; a delay of 0 or less returns at once without handling any.
  void WaitMilliseconds(std::int32_t Milliseconds);

  // Scenario geometry.
  void ComputePerihelionSweep();
  void ComputeAphelionSweep();
  void ComputeSweepAtAngle(const int& k);
  void DrawPlanetOrbit();
  void DrawCometOrbit();
  void ComputeOrbitPoints();
  // Orbit animations.
  void AnimatePlanetOrbit();
  void AnimateCometOrbit();
  // Data-file animations.
  void LoadLongitudeTable(const std::string& fileName, int recordCount);
  void AnimateEarthAndMars();
  void AnimateInnerPlanets();

  // Set once the program is ending (はい pressed in the quit box, closed window, run-time error),
  // and never cleared: waits return at once, animations stop after their wait and no click handler
  // starts any more, not even one handled inside the box that reports the end.
  bool ending() const { return ending_; }
  int exitCode() const { return exitCode_; }
  // Whether the running demonstrations are to return at their next wait: the program is ending,
  // or the teacher stopped them.
  bool halted() const { return ending_ || stopping_; }

  // The lesson controls' stop: every running demonstration, nested ones too, returns at its next
  // wait and the window keeps the frame it shows. Cleared once no demonstration runs.
  void StopDemonstrations();
  // Stops, then plays the scenario button started last once nothing runs any more.
  void ReplayDemonstration();
  int scenarioDepth() const { return scenarioDepth_; }

  forms::CommandButton& Command1(int Index);

  // The lesson's equal-time sectors (sectors.cpp): whether they are shown, and into how many a
  // single orbit's turn is cut. Applies at once: the running demonstration's sectors are cut
  // anew from its first frame, drawn or removed.
  void SetSectors(bool shown, int count);
  // Hands the lesson controls their stop, replay and sectors, and the sectors' read-out back to
  // the lesson. Both live as long as the program.
  void UseLesson(forms::Lesson& lesson);
  // Receives the read-out of the areas, "面積 8.33 % ／ 前 8.33 %" (empty while none is shown).
  std::function<void(const std::string&)> showAreas;
  // The latest demonstration's bodies, in the order it began them: the areas of each one's
  // completed slices in the present turn (the last turn's, until its next frame), or in its last
  // whole turn [px^2].
  std::vector<std::vector<double>> sectorAreas(bool lastWholeTurn = false) const;

 private:
  // A body whose sectors are followed: the orbit the areas are measured on, its focus, and the
  // time of a slice, either a fixed time or a turn's time cut into the chosen count.
  struct SectorOrbit {
    std::string name;  // in the read-out: "火星", or none
    double focusX;
    double focusY;
    double a;
    double e;
    double turnTime;   // [ms] a single orbit's turn, cut into the count; 0: sliceTime holds
    double sliceTime;  // [frames] for the data demonstrations
    int shades;        // 0 the single body or recorded planet, 1 Venus, 2 the Earth
  };
  struct SectorBody {
    SectorOrbit orbit;
    kepler::SectorSweep sweep;
    std::vector<std::pair<double, double>> frames;  // elapsed and angle of every frame so far
    std::vector<kepler::SectorSweep::Piece> turn;   // what the present turn has drawn
  };
  struct SectorRun {
    int id;
    std::vector<SectorBody> bodies;
  };
  // A demonstration begins following its bodies; the number it returns names it to SweepSector,
  // which ignores the frames of a demonstration a later one has interrupted.
  int BeginSectors(std::vector<SectorOrbit> bodies);
  // Body `body` of run `run` reached `angle` [rad] after `elapsed` more time.
  void SweepSector(int run, int body, double elapsed, double angle);
  void DrawSectors(std::size_t body, const std::vector<kepler::SectorSweep::Piece>& pieces);
  void ShowSectorAreas();

  // Live reads of the scenario state. A click handled inside a wait runs another demonstration to
  // its end, which rewrites OrbitAngle, the tables, StepDelayFactor and the orbit (SemiMajorAxis,
  // Eccentricity, FocusX, FocusY). After every wait an animation reads these afresh, through the
  // functions below or straight from the state, never from a copy taken before the wait.
  // The degree a frame indexes the tables with: OrbitAngle as it stands, or the loop's own degree
  // when a scenario run inside the wait left OrbitAngle outside the tables (361 after a data
  // scenario's orbit-point fill).
  int TableDegree(int loopDegree) const;
  // StepTimeTable at TableDegree(loopDegree).
  double LiveStepTime(int loopDegree) const;

  // Frame helpers (animation_frame.cpp).
  // Concentric outlines of radius radiusStep, 2 radiusStep, ... rings radiusStep [px].
  void DrawSunDisc(double centreX, double centreY, int rings, float radiusStep, forms::Color color);
  void ShowSpeed(double speed);
  void DrawSpeedGauge(double speed);
  // Centres the body's 30 x 30 picture on the point (x, y) [px].
  void PlaceBody(forms::ImageControl& body, double x, double y);
  // Puts the image's top-left corner at the point [px].
  void MoveImage(forms::ImageControl& image, kepler::PlotPoint topLeft);
  // A frame at a table degree: the speed read-out, the gauge and the body at the table point.
  void ShowTableFrame(int degree);

  // The black orbit ellipse of SemiMajorAxis and Eccentricity centred at (centreX, FocusY).
  void DrawOrbitEllipse(double centreX);
  // The orbit ellipse centred at (centreX, 250) with the Sun at its left focus.
  void DrawOrbitOutline(double semiMajorAxis, double centreX);
  // The data demonstrations' orbits: the recorded planet's ellipse, the uniform circles, the Sun.
  void DrawDataOrbits(double semiMajorAxis, double eccentricity,
                      std::initializer_list<double> circles);
  // A data-file cell as a number; a text that is no number is a type mismatch naming its file.
  double LongitudeNumber(int row, int column) const;

  // Runs a click handler between its Click and Return trace lines; a run-time error inside goes
  // through the error path instead of escaping into the event loop.
  void runHandler(const std::string& button, const std::function<void()>& handler);
  void runtimeError(const std::string& message);
  void End(int exitCode);
  // A scenario button's click: the nesting cap, the handler, and what waits for the last return.
  void ClickScenario(std::int16_t index);

  forms::Clock& clock_;
  bool ending_ = false;
  int exitCode_ = 0;
  int scenarioDepth_ = 0;
  bool stopping_ = false;
  bool replayPending_ = false;
  int lastScenario_ = -1;  // the Command1 index started last
  bool sectorsShown_ = false;
  int sectorCount_ = 12;
  int sectorRuns_ = 0;
  std::optional<SectorRun> sectors_;
  // The data file each LongitudeTable row was read from, for error messages.
  std::vector<std::string> longitudeSource_ = std::vector<std::string>(1001);

  // The top-level window: a client area of 989 x 577 pixels; closing it ends the program.
  forms::FormWindow window_;

 public:
  // Controls, in their containers' stacking order.
  forms::PictureBox Picture1;
  forms::PictureBox Picture2;
  forms::ImageControl Image1;
  forms::ImageControl Image2;
  // The laws picture, Image3, lies above the bodies: made last, it is stacked last.
  forms::ImageControl Image4;
  forms::ImageControl Image3;
  forms::Label Label6;
  forms::Label Label7;
  forms::Label Label11;
  forms::Label Label4;
  forms::Label Label5;
  forms::Label Label2;
  forms::Label Label1;
  forms::Label Label9;
  forms::Label Label8;
  forms::Label Label3;

 private:
  std::vector<std::unique_ptr<forms::CommandButton>> command1_;

 public:
  forms::CommandButton Command2;
  forms::CommandButton Command3;
  forms::Timer Timer1;
  forms::Timer Timer2;
};
