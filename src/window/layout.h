#pragma once
// Where the window's controls stand [px, client area]: as the window is built, and as Form_Load
// places them again at start-up. One table, so that the two cannot part.

namespace layout {

struct Place {
  float left;
  float top;
  float width;
  float height;
};

inline constexpr Place kTitleBand{0, 0, 800, 10};   // Label2
inline constexpr Place kTitle{0, 11, 800, 30};      // Label1
inline constexpr Place kDrawing{0, 41, 800, 500};   // Picture1
inline constexpr Place kReadOuts{0, 541, 800, 30};  // Picture2
inline constexpr Place kHint{801, 0, 180, 40};      // Label9
// The read-outs on the drawing and below it size themselves: their left and top only.
inline constexpr Place kSpeedCaption{580, 5, 0, 0};  // Label7
inline constexpr Place kSpeedValue{700, 5, 0, 0};    // Label11
inline constexpr Place kRatioText{10, 0, 0, 0};      // Label4
inline constexpr Place kDaysText{400, 0, 0, 0};      // Label5

// The column of ten buttons right of the drawing: Command1(0) to (7), Command2, Command3.
constexpr Place ButtonPlace(int row) {
  return {801, static_cast<float>(41 + 50 * row), 180, 50};
}

}  // namespace layout
