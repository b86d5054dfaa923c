#pragma once
// The number functions of the old forms runtime that the program's texts and waits depend on:
// Str, Format with the pattern "###0.#", Int and the conversion to a 32-bit integer.
// Pure functions; they know nothing of controls or of how a text is shown.

#include <cstdint>
#include <string>

namespace kepler {

// Str: a leading blank for a non-negative number, "-" otherwise; at most 15 significant digits;
// no decimal point for an integral value; like the runtime, no zero before the point
// (Str(0.5) is " .5") and exponent form from 1E+15 and below 1E-4.
std::string Str(double x);

// Format(x, "###0.#"): at least one integer digit, no grouping, at most one decimal, rounded half
// away from zero on the 15-digit decimal value; the point is always written ("10000.").
std::string FormatOneDecimal(double x);

// Int: the largest integer not greater than x.
double Int(double x);

// Conversion to a 32-bit integer: nearest, ties to even (50.5 -> 50, 51.5 -> 52).
// Throws RuntimeError (overflow) outside the 32-bit range or for a non-finite value.
std::int32_t ToInt32(double x);

// Conversion to single precision, as the runtime stored every place and size of a control: the
// nearest single. Throws RuntimeError (overflow) for a value beyond the single range, an infinity
// or NaN, so that a position the window cannot hold stops the program where it is computed.
float ToSingle(double x);

// A value cut down to n decimals: Int(x * 10^n) / 10^n, multiplied and divided in that order.
double CutDecimals(double x, int decimals);

}  // namespace kepler
