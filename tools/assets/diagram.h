// Draws kepler.bmp, the 800x500 explanation of Kepler's three laws that the program shows over its
// drawing surface: the ellipse with both foci, the equal-area sectors and the third law in one
// line. Needs a QGuiApplication for the fonts; writes no files.
#pragma once

#include <QImage>

#include <numbers>

namespace kepler::assets {

inline constexpr int kDiagramWidth = 800;   // [px]
inline constexpr int kDiagramHeight = 500;  // [px]

// The orbit the diagram shows: exaggerated so the ellipse and the speed change are plain to see.
inline constexpr double kDiagramEccentricity = 0.5;
// Time span of each second-law sector, as mean anomaly [rad]: one sixteenth of the period.
inline constexpr double kDiagramSectorSpan = 2.0 * std::numbers::pi / 16.0;

// Returns a Format_RGB32 image. Throws std::runtime_error when neither "Noto Sans CJK JP" nor
// "IPAPGothic" is installed, when a label's characters are missing from the font, or when a label
// does not fit its box.
QImage DrawLawsDiagram();

}  // namespace kepler::assets
