#include "analysis/ThirdOctaveBands.h"

#include <cmath>

namespace brisendel {

double ThirdOctaveBands::centre(int band) { return 1000.0 * std::pow(2.0, (band - 17) / 3.0); }
double ThirdOctaveBands::low(int band) { return centre(band) * std::pow(2.0, -1.0 / 6.0); }
double ThirdOctaveBands::high(int band) { return centre(band) * std::pow(2.0, 1.0 / 6.0); }

ThirdOctaveBands::ThirdOctaveBands(int sampleRate, unsigned transformLength) {
  const double binWidth = static_cast<double>(sampleRate) / transformLength;
  const unsigned bins = transformLength / 2;
  for (int b = 0; b < NUM_BANDS; ++b) {
    // The same comparison of each bin's frequency with the edges as a search over
    // every bin would make: the bins of a band follow each other.
    const double lowHz = low(b);
    const double highHz = high(b);
    unsigned k = 1;
    while (k < bins && k * binWidth < lowHz) ++k;
    _first[std::size_t(b)] = k;
    while (k < bins && k * binWidth < highHz) ++k;
    _end[std::size_t(b)] = k;
  }
}

}  // namespace brisendel
