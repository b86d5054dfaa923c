#pragma once
// The nine files the program reads, by the bare names it opens them with: six body pictures, the
// laws picture and the two data files of recorded positions. The one list of them.

#include <array>
#include <string_view>

namespace kepler {

inline constexpr std::array<std::string_view, 9> kProgramFiles = {
    "wakusei01.gif",
    "earth02.gif",
    "mars01.gif",
    "suisei02.gif",
    "harei01.gif",
    "Venus01.gif",
    "kepler.bmp",
    "kasei-kouten-Koukei.dat",
    "Suisei-kouten-Koukei.dat",
};

}  // namespace kepler
