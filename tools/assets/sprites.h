// Draws the program's six 30x30 body pictures: five shaded planets and a comet. Each pixel's alpha
// is its coverage, from 4x4 supersampling; ToIndexed later flattens the edges against the drawing
// surface. Pure computation on a QImage: needs no display and writes no files.
#pragma once

#include <QImage>

#include <array>
#include <string_view>

#include "core/program_files.h"

namespace kepler::assets {

enum class Body { Planet, Earth, Mars, Mercury, Comet, Venus };

struct BodyPicture {
  Body body;
  std::string_view fileName;  // the name the program loads from its working directory
};

inline constexpr std::array<BodyPicture, 6> kBodyPictures{{
    {Body::Planet, kPlanetPicture},
    {Body::Earth, kEarthPicture},
    {Body::Mars, kMarsPicture},
    {Body::Mercury, kMercuryPicture},
    {Body::Comet, kCometPicture},
    {Body::Venus, kVenusPicture},
}};

inline constexpr int kBodySize = 30;  // width and height of every body picture [px]

// Returns a kBodySize x kBodySize Format_ARGB32 image (alpha = coverage, not premultiplied).
// The body is centred on the picture; the comet's nucleus too, with its tail toward the upper
// right corner. Same output on every call.
QImage DrawBody(Body body);

}  // namespace kepler::assets
