#pragma once
// The lesson strip's symbols. They are drawn from whichever installed font has them: the
// program's own two faces hold its Japanese texts only, so this file is left out of the
// characters they are cut down to.

namespace forms {

inline constexpr const char* kPlaySymbol = "▶";
inline constexpr const char* kPauseSymbol = "❚❚";
inline constexpr const char* kStepSymbol = "▶❚";
inline constexpr const char* kStopSymbol = "■";
inline constexpr const char* kReplaySymbol = "↻";
inline constexpr const char* kHideSymbol = "▾";

}  // namespace forms
