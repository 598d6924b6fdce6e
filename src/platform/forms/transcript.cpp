#include "platform/forms/transcript.h"

#include <cstdlib>

#include "common/cp1252.h"

namespace kvor::forms {

Transcript::~Transcript() {
  Unfollow();
  if (owns_ && out_) std::fclose(out_);
  std::free(memory_);
}

bool Transcript::OpenMemory() {
  out_ = open_memstream(&memory_, &memory_size_);
  owns_ = out_ != nullptr;
  return out_ != nullptr;
}

std::string Transcript::Captured() {
  if (!memory_ || !out_) return {};
  std::fflush(out_);
  return std::string(memory_, memory_size_);
}

bool Transcript::Open(const std::string& path) {
  if (path.empty()) {
    out_ = stdout;
    return true;
  }
  out_ = std::fopen(path.c_str(), "we");  // close-on-exec: not for the programs started
  owns_ = out_ != nullptr;
  return out_ != nullptr;
}

void Transcript::Unfollow() {
  if (main_) main_->RemoveObserver(this);
  main_ = nullptr;
}

void Transcript::Follow(Form& main, std::string status_control) {
  main_ = &main;
  status_control_ = std::move(status_control);
  main.AddObserver(this);
}

std::string Transcript::Flatten(std::string_view text) {
  std::string flat;
  for (std::size_t i = 0; i < text.size();) {
    if (text.substr(i, 4) == "\r\n\r\n") {
      flat += " \xB6 ";  // pilcrow
      i += 4;
    } else if (text.substr(i, 2) == "\r\n") {
      flat += " | ";
      i += 2;
    } else {
      flat += text[i++];
    }
  }
  return ToUtf8(flat);
}

void Transcript::Line(std::string_view word, std::string_view text) {
  if (!out_) return;
  Raw(std::string(word) + " " + Flatten(text));
}

void Transcript::Raw(const std::string& utf8) {
  if (!out_) return;
  std::fputs(utf8.c_str(), out_);
  std::fputc('\n', out_);
  std::fflush(out_);
}

void Transcript::Box(std::string_view title, std::string_view text) {
  Line("box", std::string(title) + ": " + std::string(text));
}

void Transcript::Answer(std::string_view button, bool automatic) {
  Line("answer", std::string(button) + (automatic ? " (auto)" : ""));
}

void Transcript::Show(const Control& c, const Control* focus) {
  char colours[40];
  std::snprintf(colours, sizeof colours, " back #%06X fore #%06X", c.BackColor(), c.ForeColor());
  std::string state = c.FullName() + " \"" + c.Text() + "\" " + (c.Enabled() ? "on" : "off") +
                      colours + (c.Visible() ? "" : " hidden") + (&c == focus ? " focus" : "");
  if (c.GetKind() == Kind::ComboBox)
    state += " list " + std::to_string(c.Items().size()) + " at " + std::to_string(c.ListIndex());
  Line("show", state);
}

void Transcript::Run(std::string_view command, int code) {
  Line("run", std::string(command) + " -> " + std::to_string(code));
}

void Transcript::End(int code) {
  Raw("end " + std::to_string(code));
}

void Transcript::ControlChanged(Control& c, Prop what) {
  if (what == Prop::Text && c.Name() == status_control_) Status(c.Text());
}

void Transcript::FormChanged(Form& f, Prop what) {
  if (what == Prop::Text) Title(f.Caption());
}

void Transcript::FocusChanged(Form&, Control* now) {
  if (now) Focus(now->FullName());
}

}  // namespace kvor::forms
