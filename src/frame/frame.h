// The main window's start-up, idle countdown, fixed size, close box and exit button, and the end
// of the program.
#pragma once

#include <string>

#include "core/context.h"

namespace kvor::frame {

inline constexpr const char* kReleaseDate = "2022-10-19";

// Where the program was started from, for the program code and path.
struct StartInfo {
  std::string executable;     // path of the running executable
  std::string system_drive;   // value of the SystemDrive variable; "C:" when empty
};

// Installs the handlers of the main window's events.
void WireMainWindow(Context& ctx, const StartInfo& start);

// The load event of the main window: the whole start-up.
void StartUp(Context& ctx, const StartInfo& start);
// Fills the program-wide state (step 2 of the start-up) without touching the window.
void FillFrameState(Context& ctx, const StartInfo& start);
void RefreshDateAndTime(Context& ctx);

void IdleTick(Context& ctx);
void KeepWindowSize(Context& ctx);
// The close box: refused unless the program itself is ending; then the closing question runs.
void QueryUnload(Context& ctx, int16_t& cancel);
void ClosingQuestion(Context& ctx);

// The exit button ("ÅTER"): back to the menu program.
void ExitRoutine(Context& ctx);
void ExitGotFocus(Context& ctx);
// Runs the stop procedure when err is 1, then ends the program.
void EndAfterStart(Context& ctx, int16_t err);
// Hands the window title and the last message to the stop program, then ends.
void StopProcedure(Context& ctx);
// Ends the program: does not return (throws ProgramEnd to the front end's main loop).
[[noreturn]] void EndProgram(Context& ctx, int code = 0);

}  // namespace kvor::frame
