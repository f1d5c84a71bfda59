#pragma once

#include <QString>
#include <optional>

// Numbers typed into text boxes. A text that is not a number is a failure, never zero.

// Plain decimal: optional blanks around, optional sign, digits with an optional fraction and
// exponent ("12", "-1", "12.5", " 7 ", "1e3"). Empty text, letters or a second number fail.
std::optional<double> readNumber(const QString& text);

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double value);

// The text read as a number and taken to a whole number, either rounded (halves to even) or
// the largest whole number not above it; fails when it is not a number or lies outside
// [min, max].
std::optional<long long> readRounded(const QString& text, long long min, long long max);
std::optional<long long> readFloor(const QString& text, long long min, long long max);
