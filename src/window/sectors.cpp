// The second law drawn: while a demonstration plays, each body's motion is cut into slices of
// equal time, and the sector its line to the Sun sweeps in each slice is shaded under the
// drawing, in two alternating colours. The slices are timed by the demonstration's own waits (the
// single orbits) or by its days (the data demonstrations), so they follow its pacing as it
// plays, at any lesson speed. Every frame is followed, shown or not, so that turning the sectors
// on, or choosing another count, cuts them anew from the first frame at once.
#include <cmath>

#include "core/swept_sectors.h"
#include "window/colors.h"
#include "window/form1.h"

namespace {

// Translucent, so that the drawing's blue shows through and a body's neighbouring slices are told
// apart on a projector as light and dark: the single body and the recorded planet strongest, the
// planets on circles beside it fainter and in their own hues.
struct SectorShades {
  forms::Color light;
  forms::Color dark;
  int alpha;
};
constexpr SectorShades kSectorShades[] = {
    {forms::RGB(255, 255, 255), forms::RGB(0, 0, 112), 130},  // the single body, Mars, Mercury
    {forms::RGB(255, 255, 150), forms::RGB(110, 70, 0), 90},  // Venus
    {forms::RGB(170, 255, 170), forms::RGB(0, 90, 40), 90},   // the Earth
};

}  // namespace

void Form1::UseLesson(forms::Lesson& lesson) {
  lesson.stopDemonstrations = [this] { StopDemonstrations(); };
  lesson.replayDemonstration = [this] { ReplayDemonstration(); };
  lesson.sectorsChanged = [this, &lesson] {
    SetSectors(lesson.sectorsShown(), lesson.sectorCount());
  };
  showAreas = [&lesson](const std::string& text) { lesson.setAreaText(text); };
}

int Form1::BeginSectors(std::vector<SectorOrbit> bodies) {
  SectorRun run{++sectorRuns_, {}};
  for (SectorOrbit& orbit : bodies) {
    const double slice = orbit.turnTime > 0 ? orbit.turnTime / sectorCount_ : orbit.sliceTime;
    run.bodies.push_back({orbit, kepler::SectorSweep(orbit.a, orbit.e, slice), {}, {}});
  }
  sectors_ = std::move(run);
  ShowSectorAreas();
  return sectors_->id;
}

void Form1::DrawSectors(std::size_t body, const std::vector<kepler::SectorSweep::Piece>& pieces) {
  const SectorOrbit& orbit = sectors_->bodies[body].orbit;
  const SectorShades& shades = kSectorShades[static_cast<std::size_t>(orbit.shades)];
  // Piece by piece, as each frame drew them, so that drawing a turn again gives the same pixels.
  for (const kepler::SectorSweep::Piece& piece : pieces) {
    Picture1.Shade(
        kepler::SectorOutline(orbit.focusX, orbit.focusY, orbit.a, orbit.e, piece.from, piece.to),
        piece.slice % 2 ? shades.dark : shades.light, shades.alpha);
  }
}

void Form1::SweepSector(int run, int body, double elapsed, double angle) {
  if (!sectors_ || sectors_->id != run) return;
  SectorBody& b = sectors_->bodies[static_cast<std::size_t>(body)];
  b.frames.emplace_back(elapsed, angle);
  const kepler::SectorSweep::Frame frame = b.sweep.advance(elapsed, angle);
  if (frame.freshTurn) {
    b.turn.clear();
    if (sectorsShown_) {
      Picture1.Unshade();
      for (std::size_t other = 0; other < sectors_->bodies.size(); ++other) {
        DrawSectors(other, sectors_->bodies[other].turn);
      }
    }
  }
  b.turn.insert(b.turn.end(), frame.pieces.begin(), frame.pieces.end());
  if (sectorsShown_) DrawSectors(static_cast<std::size_t>(body), frame.pieces);
  if (body == 0) ShowSectorAreas();
}

void Form1::SetSectors(bool shown, int count) {
  const bool wasShown = sectorsShown_;
  sectorsShown_ = shown;
  sectorCount_ = count;
  if (!sectors_) return;
  // Cut anew from the first frame: the count may have changed.
  for (SectorBody& b : sectors_->bodies) {
    const double slice = b.orbit.turnTime > 0 ? b.orbit.turnTime / count : b.orbit.sliceTime;
    b.sweep = kepler::SectorSweep(b.orbit.a, b.orbit.e, slice);
    b.turn.clear();
    for (const auto& [elapsed, angle] : b.frames) {
      const kepler::SectorSweep::Frame frame = b.sweep.advance(elapsed, angle);
      if (frame.freshTurn) b.turn.clear();
      b.turn.insert(b.turn.end(), frame.pieces.begin(), frame.pieces.end());
    }
  }
  if (wasShown) Picture1.Unshade();
  if (shown) {
    for (std::size_t body = 0; body < sectors_->bodies.size(); ++body) {
      DrawSectors(body, sectors_->bodies[body].turn);
    }
  }
  ShowSectorAreas();
}

void Form1::ShowSectorAreas() {
  if (!showAreas) return;
  if (!sectorsShown_ || !sectors_ || sectors_->bodies.empty()) {
    showAreas("");
    return;
  }
  const SectorBody& b = sectors_->bodies.front();
  const std::optional<double> last = b.sweep.lastPercent();
  showAreas((b.orbit.name.empty() ? "" : b.orbit.name + " ") + "面積 " +
            kepler::PercentText(b.sweep.currentPercent()) + " % ／ 前 " +
            (last ? kepler::PercentText(*last) + " %" : std::string("－")));
}

std::vector<std::vector<double>> Form1::sectorAreas(bool lastWholeTurn) const {
  std::vector<std::vector<double>> areas;
  if (sectors_) {
    for (const SectorBody& b : sectors_->bodies) {
      areas.push_back(lastWholeTurn ? b.sweep.lastTurnAreas() : b.sweep.completedAreas());
    }
  }
  return areas;
}
