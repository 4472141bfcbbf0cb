// Nuvora, the update checker: main.cpp runs one pass (check, offer, choose, save,
// transfer, verify, run); each step gets what it needs as arguments.
//
// How update/ fails: window-free rules return values, std::optional or an enum.
// A step the user can see fail returns an Outcome: done, stopped by the user, or
// failed with the string id of the message that says why; Win32 and WinINet
// errors become that id where they happen. Nothing in update/ throws, and
// nothing catches.
#pragma once

namespace nuvora {

// User agent, prefix of the temporary files and title of the Save As dialog.
inline constexpr char kAgent[] = "ZOV Update utility 1.2";

class Outcome {
 public:
  static Outcome Done() { return Outcome(State::Done, 0); }
  static Outcome Stopped() { return Outcome(State::Stopped, 0); }
  static Outcome Failed(unsigned message) { return Outcome(State::Failed, message); }

  bool IsDone() const { return _state == State::Done; }
  bool IsStopped() const { return _state == State::Stopped; }
  // The message to show: 0 when done or stopped.
  unsigned Message() const { return _message; }

 private:
  enum class State { Done, Stopped, Failed };
  Outcome(State state, unsigned message) : _state(state), _message(message) {}
  State _state;
  unsigned _message;
};

}  // namespace nuvora
