// A Messenger that shows nothing and keeps every call, for tests of routines that report.
#pragma once

#include <string>
#include <vector>

#include "common/messenger.h"

namespace kvor::test {

// Which of the three ways of telling the user a call took.
enum class Shown { kMessageWindow, kTrappedError, kInputBox };

struct Recorded {
  Shown via = Shown::kMessageWindow;
  int16_t kind = 0;    // message window kind 1 to 4; 0 for the other two ways
  std::string text;    // Windows-1252, as the routine composed it
  TrappedError error;  // for kTrappedError
};

class RecordingMessenger : public Messenger {
 public:
  void ShowMessage(const std::string& text, int16_t kind) override {
    calls.push_back({Shown::kMessageWindow, kind, text, {}});
  }
  void ReportTrappedError(const std::string& text, const TrappedError& error) override {
    calls.push_back({Shown::kTrappedError, 0, text, error});
  }
  void ShowInputError(const std::string& text) override {
    calls.push_back({Shown::kInputBox, 0, text, {}});
  }

  bool empty() const { return calls.empty(); }
  const Recorded& last() const { return calls.back(); }
  void clear() { calls.clear(); }

  std::vector<Recorded> calls;
};

}  // namespace kvor::test
