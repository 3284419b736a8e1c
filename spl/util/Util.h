#pragma once

// Small numeric helpers shared across the library: level conversions, the
// mapping between a host's normalized 0..1 value and a step index, and rounding
// for display texts.

namespace spl {

// 10^(decibel / 20): a level in dB as an amplitude factor.
double decibelToLinear(double decibel);

// 20 log10(linear): an amplitude factor as a level in dB. 0 is read as 1e-10
// (-200 dB) so that silence has a finite level; a negative factor fails with
// "value must be positive.".
double linearToDecibel(double linear);

// True for 2, 4, 8, ...; false for 0 and 1 and every other number.
bool isPowerOfTwo(unsigned value);

// The step that a normalized value in 0..1 selects among `count` equal shares
// (lower bound included, 1 selects the last step). Fails ("assertion error")
// for a value below 0 or not a number, above 1, or no steps.
unsigned normalizedToIndex(double normalized, unsigned count);

// The centre of step `index`'s share of 0..1, so that normalizedToIndex gives
// `index` back. Fails ("assertion error") for no steps or index >= count.
double indexToNormalized(unsigned index, unsigned count);

// x rounded to `digits` significant decimal digits (half away from zero).
// Infinities and NaN come back unchanged.
double roundToSignificant(double x, unsigned digits);

}  // namespace spl
