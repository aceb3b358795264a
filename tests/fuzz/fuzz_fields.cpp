// The settings fields through a pass, after tracking steps of every unit and
// play ticks both ways, on arbitrary field texts and clock modes: never a
// failure, and the pass always leaves a valid moment in canonical fields.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "sky/sky_pass.h"
#include "time/time_steps.h"

namespace {

void PassAndCheck(skyvane::SettingsFields& f) {
  skyvane::SourceTable table;  // the Sun alone
  table.AddRow();
  table.LastRow = table.SunRow = table.AddRow();
  skyvane::SkyState sky;
  skyvane::ComputeSky(f, sky, table);
  const skyvane::Moment& m = sky.At;
  if (m.Hour < 0 || m.Hour > 23 || m.Minute < 0 || m.Minute > 59 || m.Second < 0 || m.Second > 59 ||
      m.Month < 1 || m.Month > 12 || m.Day < 1 || m.Day > 31 || f.Time[1].size() != 2 ||
      f.Time[2].size() != 2)
    std::abort();
  if (std::isfinite(sky.Longitude + sky.Latitude) &&
      !(sky.LocalSidereal >= 0 && sky.LocalSidereal < 360))
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  skyvane::SettingsFields f;
  f.ClockMode = data[0] % 4 - 1;
  f.ZoneIndex = data[1] % 27 - 1;
  std::string texts[8];  // the rest, cut at NUL bytes
  for (size_t i = 2, t = 0; i < size && t < 8; ++i) {
    if (data[i] == 0)
      ++t;
    else
      texts[t].push_back(char(data[i]));
  }
  f.Latitude = texts[0];
  f.Longitude = texts[1];
  f.Date = {texts[2], texts[3], texts[4]};
  f.Time = {texts[5], texts[6], texts[7]};
  PassAndCheck(f);
  for (int direction : {-1, 0, 1}) {
    for (int unit = -1; unit <= 5; ++unit) {
      skyvane::SettingsFields step = f;
      skyvane::TrackStep(step, unit, direction, ".");
      PassAndCheck(step);
    }
    skyvane::SettingsFields tick = f;
    skyvane::PlayTick(tick, direction, 30, ",");
    PassAndCheck(tick);
  }
  for (int to = 0; to <= 2; ++to) {  // after the pass: one or two digits, or the text stays
    const auto hour = skyvane::ConvertHourText(f.Time[0], f.ClockMode, to);
    if (hour && (hour->empty() || hour->size() > 2)) std::abort();
  }
  return 0;
}
