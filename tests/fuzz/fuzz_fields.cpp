// The settings fields through a pass, tracking steps of every unit and play
// ticks in both directions, on arbitrary field texts and clock modes.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "catalogue/number_text.h"
#include "interact/time_steps.h"
#include "sky/sky_pass.h"

namespace {

using skyvane::SettingsFields;

// After a pass every date and time field is in its canonical form.
void CheckCanonical(const SettingsFields& f, const skyvane::SkyState& sky) {
  if (sky.Hour < 0 || sky.Hour > 23 || sky.Minute < 0 || sky.Minute > 59 || sky.Second < 0 ||
      sky.Second > 59 || sky.Month < 1 || sky.Month > 12 || sky.Day < 1 || sky.Day > 31) {
    std::abort();
  }
  if (f.Text3[1].size() != 2 || f.Text3[2].size() != 2) std::abort();
  if (!(sky.LocalSidereal >= 0 && sky.LocalSidereal < 360) && std::isfinite(sky.Longitude) &&
      std::isfinite(sky.Latitude)) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  SettingsFields f;
  f.Option1Index = data[0] % 4 - 1;
  f.Combo1Index = data[1] % 27 - 1;
  // The rest is cut at NUL bytes into the eight texts.
  std::string texts[8];
  int t = 0;
  for (size_t i = 2; i < size && t < 8; ++i) {
    if (data[i] == 0) {
      ++t;
    } else {
      texts[t].push_back(static_cast<char>(data[i]));
    }
  }
  f.Text2 = {texts[0], texts[1]};
  f.Text4 = {texts[2], texts[3], texts[4]};
  f.Text3 = {texts[5], texts[6], texts[7]};

  skyvane::SourceTable table;
  table.AddRow();
  table.AddRow();
  table.LastRow = table.SunRow = 1;
  skyvane::SkyState sky;

  for (int unit = -1; unit <= 5; ++unit) {
    for (int index = 0; index < 2; ++index) {
      SettingsFields step = f;
      skyvane::TrackStep(step, unit, index, ".");
      skyvane::ComputeSky(step, sky, table);
      CheckCanonical(step, sky);
    }
  }
  for (int direction : {-1, 0, 1}) {
    for (int rate : {1, 30}) {
      SettingsFields tick = f;
      skyvane::PlayTick(tick, direction, rate, ",");
      skyvane::ComputeSky(tick, sky, table);
      CheckCanonical(tick, sky);
    }
  }
  skyvane::ComputeSky(f, sky, table);
  CheckCanonical(f, sky);
  return 0;
}
