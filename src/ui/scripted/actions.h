// The ACTIONS file of a headless run: one user action a line, "#" starts a comment.
//   focus C | type C TEXT | set C TEXT | key C KEY | click C | select C N | answer BUTTON
//   close | tick N | during [N] ACTION | show C (the control's state into the transcript)
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kvor::ui {

struct Action {
  enum class Verb { Focus, Type, Set, Key, Click, Select, Answer, Close, Tick, During, Show };
  Verb verb = Verb::Close;
  std::string control;            // Windows-1252, as the form names it ("CmdNmr(3)")
  std::string text;               // Windows-1252: typed text, key name or answer button
  int number = 0;                 // list entry of select, seconds of tick, turns of during
  std::string line;               // the line as written, for the transcript (UTF-8)
  std::shared_ptr<Action> inner;  // the action of "during"
};

// Parses the UTF-8 text of an ACTIONS file. On a wrong line, returns false with a message that
// names the line.
bool ParseActions(const std::string& utf8, std::vector<Action>& out, std::string& error);

}  // namespace kvor::ui
