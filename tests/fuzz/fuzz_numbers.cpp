// The number and angle readers and the name writer on arbitrary text: never
// a failure, and a written number reads back the same to 15 digits.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/number_text.h"
#include "catalogue/catalogue_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const double value = skyvane::ParseLeadingNumber(text);
  double strict = 0;
  skyvane::ParseStrictNumber(text, ",", strict);
  if (std::isnan(value) || std::isnan(strict) || skyvane::FormatName(text).size() != size)
    std::abort();
  const double again = skyvane::ParseLeadingNumber(skyvane::FormatShortest(value));
  if (std::isfinite(value) && std::fabs(again - value) > std::fabs(value) * 1e-14 + 1e-300)
    std::abort();
  (void)skyvane::ParseAngle(text);
  (void)skyvane::FormatWithSignPosition(value);
  return 0;
}
