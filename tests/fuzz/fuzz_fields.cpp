// The settings fields through a pass, tracking steps of every unit and play
// ticks in both directions, on arbitrary field texts and clock modes.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/number_text.h"
#include "sky/sky_pass.h"
#include "time/moment.h"
#include "time/time_steps.h"

namespace {

using skyvane::SettingsFields;

// After a pass every date and time field is in its canonical form.
void CheckCanonical(const SettingsFields& f, const skyvane::SkyState& sky) {
  const skyvane::Moment& m = sky.At;
  if (m.Hour < 0 || m.Hour > 23 || m.Minute < 0 || m.Minute > 59 || m.Second < 0 || m.Second > 59 ||
      m.Month < 1 || m.Month > 12 || m.Day < 1 || m.Day > 31)
    std::abort();
  if (f.Time[1].size() != 2 || f.Time[2].size() != 2) std::abort();
  if (!(sky.LocalSidereal >= 0 && sky.LocalSidereal < 360) && std::isfinite(sky.Longitude) &&
      std::isfinite(sky.Latitude)) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  SettingsFields f;
  f.ClockMode = data[0] % 4 - 1;
  f.ZoneIndex = data[1] % 27 - 1;
  // The rest is cut at NUL bytes into the eight texts.
  std::string texts[8];
  int t = 0;
  for (size_t i = 2; i < size && t < 8; ++i) {
    if (data[i] == 0) ++t;
    else texts[t].push_back(static_cast<char>(data[i]));
  }
  f.Latitude = texts[0];
  f.Longitude = texts[1];
  f.Date = {texts[2], texts[3], texts[4]};
  f.Time = {texts[5], texts[6], texts[7]};

  skyvane::SourceTable table;
  table.AddRow();
  table.LastRow = table.SunRow = table.AddRow();
  skyvane::SkyState sky;

  for (int unit = -1; unit <= 5; ++unit) {
    for (int direction : {-1, 1}) {
      SettingsFields step = f;
      skyvane::TrackStep(step, unit, direction, ".");
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
  // A clock-mode choice writes an hour of one or two digits, or leaves the text.
  for (int to = 0; to <= 2; ++to) {
    const auto hour = skyvane::ConvertHourText(f.Time[0], f.ClockMode, to);
    if (hour && (hour->empty() || hour->size() > 2)) std::abort();
  }
  return 0;
}
