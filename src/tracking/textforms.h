#pragma once

#include "windowhandle.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace dwellmark {

// The text forms that the tables keep their numbers in, and the one way they
// are read back. All of them use "." and plain ASCII digits whatever the locale.

/// A window handle as plain decimal digits ("656", "-12").
std::string handleText(WindowHandle handle);

/// A time-of-day reading rounded to 7 significant digits, without trailing
/// zeros and without a decimal point for a whole value ("612.5", "600").
std::string timeOfDayText(float secondsSinceMidnight);

/// A signed whole number of seconds as plain decimal digits ("312", "-5").
std::string wholeSecondsText(std::int64_t seconds);

/// The number a text begins with: optional blanks, an optional sign, digits
/// with an optional "." fraction and an optional exponent. 0 when the text
/// does not begin with a number.
double leadingNumber(std::string_view text);

/// Rounds to the nearest whole number, ties to even (12.5 -> 12, 13.5 -> 14).
double roundHalfEven(double value);

/// The handle a "Handle" cell names: its leading number rounded to a whole
/// number; 0 when that is not a 32-bit value.
WindowHandle handleFromText(std::string_view text);

} // namespace dwellmark
