#include "ui/scripted/scripted_front_end.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>

#include "common/cp1252.h"
#include "core/context.h"

namespace kvor::ui {

using forms::Control;
using forms::Form;
using forms::Kind;
using V = Action::Verb;

namespace {

// "ST&ÄNG" -> "STÄNG": the word a user reads on a button.
std::string ButtonWord(const Control& c) {
  std::string w;
  for (char ch : c.Text())
    if (ch != '&') w += ch;
  return Upper(w);
}

int16_t KeyCodeOf(const std::string& key) {
  if (key == "Enter") return forms::kKeyEnter;
  if (key == "Escape") return forms::kKeyEscape;
  if (key == "Tab") return forms::kKeyTab;
  if (key == "Up") return forms::kKeyUp;
  if (key == "Down") return forms::kKeyDown;
  return static_cast<int16_t>(static_cast<unsigned char>(UpperChar(key[0])));
}

}  // namespace

ScriptedFrontEnd::ScriptedFrontEnd(std::vector<Action> actions, forms::Transcript& transcript)
    : actions_(std::move(actions)), transcript_(transcript) {}

bool ScriptedFrontEnd::CheckControls(Form& main, std::string& error) const {
  for (const Action& outer : actions_) {
    const Action& a = outer.verb == V::During ? *outer.inner : outer;
    if (a.control.empty() || main.FindByFullName(a.control)) continue;
    error = "no control '" + ToUtf8(a.control) + "' on the main window (in: " + outer.line + ")";
    return false;
  }
  return true;
}

int ScriptedFrontEnd::Play(Form& main, const std::function<void()>& finish) {
  try {
    PlayActions(main, finish);
  } catch (const ProgramEnd& end) {
    transcript_.End(end.code);
    return end.code;
  }
  // `finish` returned without ending the program: end it here all the same.
  transcript_.End(0);
  return 0;
}

void ScriptedFrontEnd::PlayActions(Form& main, const std::function<void()>& finish) {
  main_ = &main;
  if (main.Load) main.Load();
  while (next_ < actions_.size()) {
    const Action a = actions_[next_++];
    if (a.verb == V::During) {
      during_.push_back(a);
      continue;
    }
    while (next_ < actions_.size() && actions_[next_].verb == V::During)
      during_.push_back(actions_[next_++]);
    Deliver(a);
    // "during" actions that found no running work are delivered now, at idle.
    while (!during_.empty()) {
      const Action d = *during_.front().inner;
      during_.pop_front();
      Deliver(d);
    }
  }
  finish();
}

Control* ScriptedFrontEnd::Target(const Action& a) {
  Control* c = main_->FindByFullName(a.control);
  if (!c || !c->CanTakeInput()) {
    transcript_.Ignored(FromUtf8(a.line));
    return nullptr;
  }
  return c;
}

void ScriptedFrontEnd::TypeChar(Control& c, char ch) {
  int16_t key = static_cast<int16_t>(static_cast<unsigned char>(ch));
  c.RaiseKeyPress(key);
  if (key == 0 || !c.CanTakeInput()) return;
  if (c.GetKind() == Kind::TextBox || c.GetKind() == Kind::ComboBox)
    c.UserSetText(c.Text() + static_cast<char>(key));
}

void ScriptedFrontEnd::Deliver(const Action& a) {
  switch (a.verb) {
    case V::Focus:
      if (Control* c = Target(a)) c->SetFocus();
      break;
    case V::Type:
      for (char ch : a.text) {
        Control* c = Target(a);
        if (!c) break;
        if (main_->Focus() != c) c->SetFocus();
        if (c->CanTakeInput()) TypeChar(*c, ch);
      }
      break;
    case V::Set:
      if (Control* c = Target(a)) {
        if (main_->Focus() != c) c->SetFocus();
        c->UserSetText(a.text);
      }
      break;
    case V::Key:
      if (Control* c = Target(a)) {
        if (main_->Focus() != c) c->SetFocus();
        int16_t code = KeyCodeOf(a.text);
        c->RaiseKeyDown(code);
        if (code == 0 || a.text == "Up" || a.text == "Down" || !c->CanTakeInput()) break;
        if (a.text.size() == 1) {
          TypeChar(*c, a.text[0]);
        } else {
          int16_t ascii = code;
          c->RaiseKeyPress(ascii);
        }
      }
      break;
    case V::Click:
      if (Control* c = Target(a)) {
        if (c->GetKind() == Kind::Button && main_->Focus() != c) c->SetFocus();
        if (c->CanTakeInput()) c->RaiseClick();
      }
      break;
    case V::Select:
      if (Control* c = Target(a)) {
        if (a.number >= static_cast<int>(c->Items().size())) {
          transcript_.Ignored(FromUtf8(a.line));
          break;
        }
        if (main_->Focus() != c) c->SetFocus();
        c->SetListIndex(a.number);
        c->RaiseClick();
      }
      break;
    case V::Answer:
      transcript_.Ignored(FromUtf8(a.line));  // no message is open at idle
      break;
    case V::Close:
      main_->RequestClose();
      break;
    case V::Tick:
      for (int i = 0; i < a.number; ++i) {
        Advance(1000);
        FireDueTimers();
      }
      break;
    case V::Show:  // labels too: looking needs no input
      transcript_.Show(*main_->FindByFullName(a.control), main_->Focus());
      break;
    case V::Wait:
      WaitForFile(a);
      break;
    case V::During:
      break;
  }
}

void ScriptedFrontEnd::WaitForFile(const Action& a) {
  using Clock = std::chrono::steady_clock;
  const auto give_up = Clock::now() + std::chrono::seconds(60);
  std::error_code ec;
  while (!std::filesystem::exists(a.text, ec)) {
    if (Clock::now() >= give_up) {
      transcript_.Ignored(FromUtf8(a.line));
      return;
    }
    usleep(5000);
  }
}

void ScriptedFrontEnd::WaitsBeforeAnswer() {
  while (next_ < actions_.size() && actions_[next_].verb == V::Wait) WaitForFile(actions_[next_++]);
}

Form* ScriptedFrontEnd::OpenDialog() {
  for (auto it = shown_.rbegin(); it != shown_.rend(); ++it) {
    Form* f = *it;
    if (f == main_ || !f->Visible()) continue;
    for (const auto& c : f->Controls())
      if (c->GetKind() == Kind::Button && c->Visible() && c->Enabled()) return f;
  }
  return nullptr;
}

void ScriptedFrontEnd::CountAnswerAfterActions() {
  if (next_ < actions_.size() || ++answers_after_actions_ <= kMostAnswersAfterActions) return;
  transcript_.Ignored("the actions ran out and windows kept coming: the run is stopped");
  throw ProgramEnd{kStoppedWithoutActions};
}

bool ScriptedFrontEnd::NextIsAnswer() const {
  return next_ < actions_.size() && actions_[next_].verb == V::Answer;
}

void ScriptedFrontEnd::AnswerDialog(Form& dialog) {
  Control* button = nullptr;
  bool automatic = true;
  WaitsBeforeAnswer();
  if (NextIsAnswer()) {
    const Action& a = actions_[next_];
    for (const auto& c : dialog.Controls())
      if (c->GetKind() == Kind::Button && c->Visible() && c->Enabled() && ButtonWord(*c) == a.text)
        button = c.get();
    ++next_;
    if (button) {
      automatic = false;
    } else {
      transcript_.Ignored(FromUtf8(a.line));
    }
  }
  if (!button) {
    CountAnswerAfterActions();
    Control* focus = dialog.Focus();
    if (focus && focus->GetKind() == Kind::Button && focus->Visible() && focus->Enabled())
      button = focus;
    for (const auto& c : dialog.Controls())
      if (!button && c->GetKind() == Kind::Button && c->Visible() && c->Enabled()) button = c.get();
  }
  transcript_.Answer(ButtonWord(*button), automatic);
  button->RaiseClick();
}

forms::BoxAnswer ScriptedFrontEnd::MessageBox(const std::string&, const std::string&,
                                              forms::BoxButtons buttons, forms::BoxIcon,
                                              forms::BoxAnswer default_answer) {
  using forms::BoxAnswer;
  auto word = [](BoxAnswer a) {
    return a == BoxAnswer::Yes  ? std::string("JA")
           : a == BoxAnswer::No ? "NEJ"
                                : std::string("ST\xC4NG");
  };
  WaitsBeforeAnswer();
  if (NextIsAnswer()) {
    const Action& a = actions_[next_];
    std::optional<BoxAnswer> chosen;
    if (buttons == forms::BoxButtons::YesNo && (a.text == "JA" || a.text == "NEJ"))
      chosen = a.text == "JA" ? BoxAnswer::Yes : BoxAnswer::No;
    if (buttons == forms::BoxButtons::Ok && a.text == "ST\xC4NG") chosen = BoxAnswer::Ok;
    ++next_;
    if (chosen) {
      transcript_.Answer(word(*chosen), false);
      return *chosen;
    }
    transcript_.Ignored(FromUtf8(a.line));
  }
  CountAnswerAfterActions();
  transcript_.Answer(word(default_answer), true);
  return default_answer;
}

void ScriptedFrontEnd::DoEvents() {
  if (Form* dialog = OpenDialog()) {
    AnswerDialog(*dialog);
    return;
  }
  // A "during" action waits for as many turns of the running work's event loop as it asks.
  if (!during_.empty() && --during_.front().number <= 0) {
    const Action d = *during_.front().inner;
    during_.pop_front();
    Deliver(d);
  }
  FireDueTimers();
}

void ScriptedFrontEnd::Sleep(int ms) {
  Advance(ms);
}

void ScriptedFrontEnd::Advance(int ms) {
  now_ms_ += ms;
  for (Form* f : shown_) {
    for (const auto& c : f->Controls()) {
      if (c->GetKind() != Kind::Timer) continue;
      Control* t = c.get();
      if (!t->Enabled() || t->Interval() <= 0) {
        timer_elapsed_[t] = 0;
        continue;
      }
      int& elapsed = timer_elapsed_[t];
      elapsed += ms;
      while (elapsed >= t->Interval()) {
        elapsed -= t->Interval();
        ++timer_due_[t];
      }
    }
  }
}

void ScriptedFrontEnd::FireDueTimers() {
  if (timer_depth_ > 0) return;  // a timer's handler does not run inside another's
  ++timer_depth_;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{timer_depth_};
  // Handlers may show or hide forms, so the ticks owed are taken out before any runs.
  std::vector<Control*> ticks;
  for (auto& [timer, due] : timer_due_)
    for (; due > 0; --due) ticks.push_back(timer);
  for (Control* timer : ticks)
    if (timer_elapsed_.count(timer) && timer->Enabled()) timer->RaiseTick();
}

void ScriptedFrontEnd::Show(Form& f) {
  f.SetVisible(true);
  if (std::find(shown_.begin(), shown_.end(), &f) == shown_.end()) shown_.push_back(&f);
}

void ScriptedFrontEnd::Hide(Form& f) {
  f.SetVisible(false);
  shown_.erase(std::remove(shown_.begin(), shown_.end(), &f), shown_.end());
  for (const auto& c : f.Controls()) {
    timer_elapsed_.erase(c.get());
    timer_due_.erase(c.get());
  }
}

}  // namespace kvor::ui
