// The transcript of a run: one UTF-8 line an event, in the order they happen. Headless runs write
// it to a file or standard output; tests and people read it to see what the user saw.
//   title TEXT | status TEXT | message KIND TEXT | question TEXT | box TITLE: TEXT
//   answer BUTTON [(auto)] | focus CONTROL | ignored ACTION | start COMMAND
//   run COMMAND -> CODE | end CODE
//   show CONTROL "TEXT" on|off back #RRGGBB fore #RRGGBB [hidden] [focus] [list N at I]
// In TEXT a paragraph separator is written " ¶ " and a single line break " | ".
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/forms/forms.h"

namespace kvor::forms {

class Transcript : public FormObserver {
 public:
  Transcript() = default;  // writes nothing until opened
  ~Transcript() override;
  Transcript(const Transcript&) = delete;
  Transcript& operator=(const Transcript&) = delete;

  // Writes to the file (created anew) or, with an empty path, to standard output.
  bool Open(const std::string& path);
  // Keeps the transcript in memory; Captured() returns it.
  bool OpenMemory();
  std::string Captured();
  bool IsOpen() const { return out_ != nullptr; }

  // Follows the main window: its caption (title), its status label (status) and its focus.
  void Follow(Form& main, std::string status_control);
  // Stops following it; the owner of the window calls this before the window goes.
  void Unfollow();

  void Title(std::string_view text) { Line("title", text); }
  void Status(std::string_view text) { Line("status", text); }
  void Message(int kind, std::string_view text) { Line("message " + std::to_string(kind), text); }
  void Question(std::string_view text) { Line("question", text); }
  void Box(std::string_view title, std::string_view text);
  void Answer(std::string_view button, bool automatic);
  void Focus(std::string_view control) { Line("focus", control); }
  void Ignored(std::string_view action) { Line("ignored", action); }
  void Start(std::string_view command) { Line("start", command); }
  void Run(std::string_view command, int code);
  void End(int code);
  // A control's state as a user sees it; `focus` is the form's focused control.
  void Show(const Control& c, const Control* focus);

  // Windows-1252 text as one transcript line's UTF-8 text.
  static std::string Flatten(std::string_view text);

  void ControlChanged(Control& c, Prop what) override;
  void FormChanged(Form& f, Prop what) override;
  void FocusChanged(Form& f, Control* now) override;

 private:
  void Line(std::string_view word, std::string_view text);
  void Raw(const std::string& utf8);

  std::FILE* out_ = nullptr;
  bool owns_ = false;
  char* memory_ = nullptr;
  std::size_t memory_size_ = 0;
  Form* main_ = nullptr;
  std::string status_control_;
};

}  // namespace kvor::forms
