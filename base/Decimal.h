// Decimal numbers as text and back, exact and the same on both builds: the C libraries differ in
// their float formatting (exponent digits, rounding of ties), and a static Windows build would
// carry a second float formatter and parser of about 30 KB for these few fields.
#pragma once
#include <string>

// "%.2f": two digits after the point, the exact value rounded half to even.
std::string FormatFixed2(double value);
// "%.15g": at most 15 significant digits, trailing zeros dropped, an exponent of at least two
// digits when it is below -4 or at least 15.
std::string FormatSignificant15(double value);
// The value of a checked decimal text: an optional sign, digits with an optional point and
// fraction, and an optional exponent ("e", optional sign, digits). Rounded to the nearest double,
// ties to even, as strtod does; too large gives infinity, too small zero.
double ParseCheckedDecimal(const std::string& text);
