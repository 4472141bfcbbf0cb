#ifndef SCENE_COLOR_CHANNEL_H
#define SCENE_COLOR_CHANNEL_H

#include "xtl/bounded_value.h"
#include "xtl/range.h"
#include "xtl/value.h"

// One colour component walking back and forth inside its range: up by rise,
// down by fall, resting one frame on each bound. A new channel is [0, 0] with
// everything 0. Not copyable: value refers to this channel's own range.
struct ColorChannel {
  xtl::adjustable_range<float> range;
  xtl::bounded_value<float, xtl::adjustable_range<float>, xtl::adjustable_range<float>*> value{
      &range};
  xtl::dynamic_value<float> rise{0};
  xtl::dynamic_value<float> fall{0};
  float step = 0;

  ColorChannel() = default;
  ColorChannel(const ColorChannel&) = delete;
  ColorChannel& operator=(const ColorChannel&) = delete;

  // Adds step (clamped to the range), then turns on reaching a bound.
  void Advance();
};

enum class CyclerKind { BigSphere, SmallSphere, TextRing };

// Gives four new channels (red, green, blue, alpha) their bounds, start
// value, step sizes and initial step for the given kind of object.
void SetupChannels(CyclerKind kind, ColorChannel (&channels)[4]);

#endif
