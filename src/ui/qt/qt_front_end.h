// The Qt Widgets front end: draws every shown form of the window model as a top-level window
// with absolutely placed widgets, keeps them in step with the model and feeds the user's input
// back as the model's events.
//
// The program ends only by the exception ProgramEnd. Every place where Qt calls into the model
// runs it through RunGuarded, so that the exception never passes through Qt's own code: the end
// is recorded, the windows are hidden and the Qt event loops are told to exit. From then on
// DoEvents and Sleep throw ProgramEnd again, so that model code still on the stack unwinds to
// the next guarded call instead of waiting on.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <map>

#include "platform/forms/forms.h"

class QWidget;

namespace kvor::ui {

class FormWindow;

class QtFrontEnd : public QObject, public forms::FrontEnd {
 public:
  // Needs a QApplication. Forms shown must be hidden or destroyed before the front end goes;
  // the front end never touches a form once it is itself being destroyed.
  QtFrontEnd();
  ~QtFrontEnd() override;
  QtFrontEnd(const QtFrontEnd&) = delete;
  QtFrontEnd& operator=(const QtFrontEnd&) = delete;

  // The program's main window: fixed in size, centred on the screen, and its close box asks the
  // form. Every other form is a dialog without a close box.
  void SetMainForm(forms::Form& main) { main_ = &main; }
  bool IsMainForm(const forms::Form& f) const { return &f == main_; }

  // Runs model code on behalf of Qt (a slot, an event, a timer, the start-up). A ProgramEnd ends
  // the run with its code; any other exception is reported on stderr and ends it with code 70.
  void RunGuarded(const std::function<void()>& work);
  // Ends the run: records the code (the first one counts), hides the windows, exits Qt's loops.
  void EndRun(int code);
  bool Ended() const { return ended_; }
  int ExitCode() const { return exit_code_; }

  // The top-level widget that draws a shown form, or nullptr.
  QWidget* WindowOf(const forms::Form& f) const;

  // Timer ticks do not run inside another tick's handler, as the program's timers expect.
  bool EnterTick();
  void LeaveTick() { ticking_ = false; }

  void DoEvents() override;
  void Sleep(int ms) override;
  void Show(forms::Form& f) override;
  void Hide(forms::Form& f) override;
  void SetTopMost(forms::Form& f) override;
  forms::Rect Screen() override;
  forms::BoxAnswer MessageBox(const std::string& title, const std::string& text,
                              forms::BoxButtons buttons, forms::BoxIcon icon,
                              forms::BoxAnswer default_answer) override;

 protected:
  // Keeps user input away from the windows of disabled forms, and from all after the end.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ThrowIfEnded() const;

  forms::Form* main_ = nullptr;
  std::map<const forms::Form*, QPointer<FormWindow>> windows_;
  bool ended_ = false;
  int exit_code_ = 0;
  bool ticking_ = false;
};

}  // namespace kvor::ui
