#include "scene/color_channel.h"

void ColorChannel::Advance() {
  value = value.get() + step;
  // Exact comparisons are intended: clamping stores the bound itself.
  const float now = value.get();
  if (now == value.upper())
    step = -fall.get();
  else if (now == value.lower())
    step = rise.get();
}

namespace {

struct ChannelSetup {
  bool upperFirst;  // a new range is [0, 0]: moving it upwards needs the upper bound first
  float lower;
  float upper;
  float start;
  float rise;
  float fall;
  bool startRising;  // initial step is +rise, else +fall
};

// clang-format off
const ChannelSetup bigSphere[4] = {
    {false, 0.0f, 1.0f,  0.2f, 0.01f, 0.02f, true},
    {false, 0.0f, 1.0f,  1.0f, 0.02f, 0.03f, false},
    {false, 0.0f, 1.0f,  0.2f, 0.03f, 0.04f, true},
    {true,  0.1f, 0.15f, 0.1f, 0.01f, 0.02f, true},
};
const ChannelSetup smallSphere[4] = {
    {true, 0.1f, 0.7f,  0.0f, 0.02f,    0.01f,    true},
    {true, 0.0f, 1.0f,  0.0f, 0.001f,   0.001f,   false},
    {true, 0.0f, 1.0f,  0.0f, 0.00002f, 0.00001f, true},
    {true, 0.1f, 0.15f, 0.1f, 0.01f,    0.02f,    true},
};
const ChannelSetup textRing[4] = {
    {true, 0.1f, 1.0f, 0.5f, 0.01f,   0.02f,     true},
    {true, 0.1f, 1.0f, 0.0f, 0.002f,  0.001f,    true},
    {true, 0.1f, 1.0f, 0.2f, 0.0003f, 0.0007f,   true},
    {true, 0.5f, 1.0f, 0.5f, 0.05f,   0.000001f, true},
};
// clang-format on

}  // namespace

void SetupChannels(CyclerKind kind, ColorChannel (&channels)[4]) {
  const ChannelSetup* table = bigSphere;
  if (kind == CyclerKind::SmallSphere)
    table = smallSphere;
  else if (kind == CyclerKind::TextRing)
    table = textRing;

  for (int i = 0; i < 4; ++i) {
    const ChannelSetup& s = table[i];
    ColorChannel& c = channels[i];
    if (s.upperFirst) {
      c.range.set_upper(s.upper);
      c.range.set_lower(s.lower);
    } else {
      c.range.set_lower(s.lower);
      c.range.set_upper(s.upper);
    }
    c.value = s.start;
    c.rise = s.rise;
    c.fall = s.fall;
    c.step = s.startRising ? c.rise.get() : c.fall.get();
  }
}
