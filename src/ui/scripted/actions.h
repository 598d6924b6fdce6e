// The ACTIONS file of a headless run: one user action a line, "#" starts a comment.
//   focus C | type C TEXT | set C TEXT | key C KEY | click C | select C N | answer BUTTON
//   close | tick N | during [N] ACTION | show C (the control's state into the transcript)
//   wait PATH: stops the run, in real time, until the file PATH exists (for tests that let
//   another process act at this point: the test makes the file when it is done). It waits where
//   it stands: at idle, or, when it is next in line as a message or question opens, with that
//   window open (before the window takes its answer). After 60 s without the file the run goes
//   on and the transcript says "ignored wait PATH".
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kvor::ui {

struct Action {
  enum class Verb { Focus, Type, Set, Key, Click, Select, Answer, Close, Tick, During, Show, Wait };
  Verb verb = Verb::Close;
  std::string control;            // Windows-1252, as the form names it ("CmdNmr(3)")
  std::string text;               // Windows-1252: typed text, key name or answer button;
                                  // the path of wait as written (UTF-8)
  int number = 0;                 // list entry of select, seconds of tick, turns of during
  std::string line;               // the line as written, for the transcript (UTF-8)
  std::shared_ptr<Action> inner;  // the action of "during"
};

// Parses the UTF-8 text of an ACTIONS file. On a wrong line, returns false with a message that
// names the line.
bool ParseActions(const std::string& utf8, std::vector<Action>& out, std::string& error);

}  // namespace kvor::ui
