// The message window MSFORM and the error report (module AUTOLOAD), the question window QTFORM,
// the waiting state and the status line of the main window.
#pragma once

#include <cstdint>
#include <string>

#include "common/messenger.h"
#include "core/context.h"

namespace kvor::dialogs {

// Message kinds: what the message is, and so its colours.
inline constexpr int16_t kInformation = 1;  // success, information
inline constexpr int16_t kNotice = 2;       // a notice that stops the current action
inline constexpr int16_t kError = 3;        // an error; the error report always uses it
inline constexpr int16_t kCancellable = 4;  // a notice the user may cancel with [AVBRYT]

// Answers written into the message state.
inline constexpr int16_t kAnswerClose = 0;          // [STÄNG]
inline constexpr int16_t kAnswerCancel = 1;         // [AVBRYT]
inline constexpr int16_t kAnswerYes = 6;            // [JA]
inline constexpr int16_t kAnswerNo = 7;             // [NEJ]
inline constexpr int16_t kAnswerQuestionClose = 2;  // [STÄNG] of the question window

// Shows the message window and returns once the user has closed it; the answer is in
// ctx.msg.answer.
void ShowMessage(Context& ctx, const std::string& text, int16_t kind);
// The text with the support block (date, time, program), copied to the clipboard, as kind 3.
void ReportError(Context& ctx, const std::string& text);
// The error report for a fault caught in a routine's error trap.
void ReportTrappedError(Context& ctx, const std::string& text, const TrappedError& error);
// The yes/no question window; the answer (6, 7 or 2) is in ctx.msg.answer.
void AskQuestion(Context& ctx, const std::string& text, int16_t close_button_wanted,
                 int16_t preselected);

// Sleeps n seconds (n below 10) or n milliseconds, then lets pending window events run.
void Pause(Context& ctx, double n);
void DoEvents(Context& ctx);

// Keeps the status line's text as the status text before a message or question covers it; in the
// waiting state the status text already holds what the line showed before the wait.
void KeepStatusText(Context& ctx);
// The status text back on the status line, or the waiting text while the waiting state is on.
void RestoreStatusLine(Context& ctx);
void EnterWaitState(Context& ctx);
void LeaveWaitState(Context& ctx);
void ShowStopNotice(Context& ctx);

// Status help texts for the control that gets the focus.
void HelpSelect(Context& ctx, const std::string& word);
void HelpStart(Context& ctx, const std::string& word);
void HelpCancel(Context& ctx, const std::string& word);
void HelpHelpKey(Context& ctx);
void HelpReturn(Context& ctx, const std::string& word);
void ShowStatusText(Context& ctx);

// Sizes of a message or question window in twips, from its text and the main window's width.
struct WindowSize {
  int width = 0, height = 0, lines = 0, longest = 0;
};
WindowSize MeasureMessage(const std::string& text, int minimum_width, int main_width);

// The message window and the system box as the common routines see them.
class DialogMessenger : public Messenger {
 public:
  explicit DialogMessenger(Context& ctx) : ctx_(ctx) {}
  void ShowMessage(const std::string& text, int16_t kind) override;
  void ReportTrappedError(const std::string& text, const TrappedError& error) override;
  void ShowInputError(const std::string& text) override;

 private:
  Context& ctx_;
};

}  // namespace kvor::dialogs
