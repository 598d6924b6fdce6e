// What the common routines told the user, written as the program's transcript writes messages, so
// that a test compares them as one text.
#pragma once

#include <string>

#include "platform/forms/transcript.h"
#include "support/recording_messenger.h"

namespace kvor::test {

// The calls since the last look, one line each: "message KIND TEXT" for the message window,
// "trapped TEXT" for the error report of a trapped fault, "input TEXT" for the input box; the
// text in UTF-8 with its paragraphs marked " ¶ ". The calls are taken.
inline std::string Told(RecordingMessenger& m) {
  std::string out;
  for (const Recorded& call : m.calls)
    out += (call.via == Shown::kMessageWindow  ? "message " + std::to_string(call.kind)
            : call.via == Shown::kTrappedError ? std::string("trapped")
                                               : std::string("input")) +
           " " + forms::Transcript::Flatten(call.text) + "\n";
  m.clear();
  return out;
}

}  // namespace kvor::test
