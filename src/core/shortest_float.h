#pragma once
// The shortest text that reads back as the same single-precision value, laid out as the C++
// library's plain std::to_chars(float) lays it out. The operation trace writes every float with
// it, so that both builds of the program write the same lines. It does not parse.

#include <string>

namespace kepler {

// Shortest round-trip text of `value`: the fewest significant digits that read back as `value`,
// in fixed or exponent form, whichever is shorter, fixed on a tie ("602.22", "15", "-0.5",
// "0.001", "1e-04", "1e+10"). A fixed-form integer is written exactly ("8589934592", not
// "8589935000"). "inf", "-inf", "nan", "-nan" for the values that are no number.
std::string ShortestFloat(float value);

}  // namespace kepler
