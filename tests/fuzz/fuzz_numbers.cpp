// The numeric parse, the strict conversion, ParseAngle and FormatName on
// arbitrary text: never a failure, and written numbers read back the same.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/number_text.h"
#include "catalogue/catalogue_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const double value = skyvane::ParseLeadingNumber(text);
  if (std::isnan(value)) std::abort();
  if (std::isfinite(value)) {
    // The written-back form reads as the same number to 15 digits.
    const double again = skyvane::ParseLeadingNumber(skyvane::FormatShortest(value));
    if (std::fabs(again - value) > std::fabs(value) * 1e-14 + 1e-300) std::abort();
  }
  double strict = 0;
  if (skyvane::ParseStrictNumber(text, ",", strict) && std::isnan(strict)) std::abort();
  const double angle = skyvane::ParseAngle(text);
  (void)angle;
  if (skyvane::FormatName(text).size() != text.size()) std::abort();
  (void)skyvane::FormatWithSignPosition(value);
  return 0;
}
