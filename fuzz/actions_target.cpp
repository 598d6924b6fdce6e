// The ACTIONS file of a headless run: any text is either a list of actions the front end can
// play on the main window, or refused with a message naming the line.
#include <string>

#include "fuzz/harness.h"
#include "fuzz/targets.h"
#include "ui/scripted/actions.h"
#include "ui/scripted/scripted_front_end.h"

namespace kvor::fuzz {

namespace {

bool WellFormed(const ui::Action& a) {
  using V = ui::Action::Verb;
  switch (a.verb) {
    case V::Focus:
    case V::Click:
    case V::Show:
    case V::Type:
    case V::Set:
    case V::Select:
      return !a.control.empty() && (a.verb != V::Type || !a.text.empty());
    case V::Key:
      return !a.control.empty() && !a.text.empty();
    case V::Answer:
      return a.text == "ST\xC4NG" || a.text == "AVBRYT" || a.text == "JA" || a.text == "NEJ";
    case V::Tick:
      return a.number >= 0;
    case V::Close:
      return true;
    case V::Wait:
      return !a.text.empty();
    case V::During:
      return a.number >= 1 && a.inner && a.inner->verb != V::During && WellFormed(*a.inner);
  }
  return false;
}

}  // namespace

int Actions(const uint8_t* data, std::size_t size) {
  static Harness h;
  std::vector<ui::Action> actions;
  std::string error;
  if (!ui::ParseActions(std::string(Bytes(data, size)), actions, error)) {
    Require(error.rfind("line ", 0) == 0, "a refused file names the line");
    return 0;
  }
  for (const ui::Action& a : actions) Require(WellFormed(a), "every action read is complete");
  // The front end checks the controls the actions name against the main window.
  forms::Transcript transcript;
  ui::ScriptedFrontEnd front_end(actions, transcript);
  front_end.CheckControls(h.ctx().main.form, error);
  return 0;
}

}  // namespace kvor::fuzz
