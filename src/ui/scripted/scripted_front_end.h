// The scripted front end: plays a list of user actions against the window model, with a virtual
// clock, and needs no display. Actions are delivered when the program is idle; "during" actions at
// the next DoEvents inside running work; an open message or question window takes the next
// "answer" action, or is closed with its preselected button; "wait" actions next in line when
// such a window opens are waited for first, with the window open.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/forms/transcript.h"
#include "ui/scripted/actions.h"

namespace kvor::ui {

// A run whose actions have run out answers every window with its preselected button; a program
// that keeps opening windows then (a lock that is never released) is stopped after this many,
// with this exit code, instead of looping for ever.
inline constexpr int kMostAnswersAfterActions = 10000;
inline constexpr int kStoppedWithoutActions = 3;

class ScriptedFrontEnd : public forms::FrontEnd {
 public:
  ScriptedFrontEnd(std::vector<Action> actions, forms::Transcript& transcript);

  // Every control that an action names must exist on the main form; false with a message if not.
  bool CheckControls(forms::Form& main, std::string& error) const;

  // Raises the main form's load event, then plays the actions at idle. When they run out,
  // `finish` runs; it ends the program. Returns the program's exit code once its end has unwound
  // to here, and writes the transcript's last line.
  int Play(forms::Form& main, const std::function<void()>& finish);

  // Milliseconds on the virtual clock since the run began.
  long long Now() const { return now_ms_; }

  void DoEvents() override;
  void Sleep(int ms) override;
  void Show(forms::Form& f) override;
  void Hide(forms::Form& f) override;
  void SetTopMost(forms::Form&) override {}
  forms::Rect Screen() override {
    return {0, 0, 1920 * forms::kTwipsPerPixel, 1080 * forms::kTwipsPerPixel};
  }
  forms::BoxAnswer MessageBox(const std::string& title, const std::string& text,
                              forms::BoxButtons buttons, forms::BoxIcon icon,
                              forms::BoxAnswer default_answer) override;

 private:
  void PlayActions(forms::Form& main, const std::function<void()>& finish);
  void Deliver(const Action& a);
  forms::Control* Target(const Action& a);
  void TypeChar(forms::Control& c, char ch);
  forms::Form* OpenDialog();
  void AnswerDialog(forms::Form& dialog);
  bool NextIsAnswer() const;
  // An automatic answer; once the actions have run out, too many of them stop the run.
  void CountAnswerAfterActions();
  void WaitForFile(const Action& a);
  void WaitsBeforeAnswer();  // the "wait" actions next in line, while a window waits for answer
  void Advance(int ms);
  void FireDueTimers();

  std::vector<Action> actions_;
  std::size_t next_ = 0;
  std::deque<Action> during_;  // "during" actions waiting for running work, in their order
  forms::Transcript& transcript_;
  forms::Form* main_ = nullptr;
  std::vector<forms::Form*> shown_;
  long long now_ms_ = 0;
  std::map<forms::Control*, int> timer_elapsed_;  // ms since each timer last fired
  std::map<forms::Control*, int> timer_due_;      // ticks owed to each timer
  int timer_depth_ = 0;
  int answers_after_actions_ = 0;  // windows closed for the script once its actions ran out
};

}  // namespace kvor::ui
