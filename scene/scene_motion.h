// How far the scene has moved, in ticks of the step it was made for (one
// frame every 31 ms): the phase moves continuously, the colours in whole
// steps, so the cyclers walk exactly the sequences they always walked.
#pragma once

class SceneMotion {
 public:
  // Moves the phase by 0.1 per tick; returns the colour steps now due.
  int Advance(double ticks);
  double Phase() const { return _phase; }

 private:
  // Wider than float so that 0.1 per tick still moves it after months.
  double _phase = 0.0;
  double _pending = 0.0;  // ticks not yet taken as a colour step
};
