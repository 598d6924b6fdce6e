// The main window's start-up, idle countdown, fixed size, close box and exit button, and the end
// of the program.
#pragma once

#include <string>

#include "core/context.h"

namespace kvor::frame {

inline constexpr const char* kReleaseDate = "2022-10-19";

// Where the program was started from, for the program code and path.
struct StartInfo {
  std::string executable;      // path of the running executable
  std::string system_drive;    // value of the SystemDrive variable; "C:" when empty
  files::DriveMap drives;      // where the drive letters lie on this host
  std::string registers = {};  // the register server's URL; empty: the register files
};

// Installs the handlers of the main window's events.
void WireMainWindow(Context& ctx, const StartInfo& start);

// The load event of the main window: the whole start-up.
void StartUp(Context& ctx, const StartInfo& start);
// Fills the program-wide state (step 2 of the start-up) without touching the window.
void FillFrameState(Context& ctx, const StartInfo& start);

void IdleTick(Context& ctx);
void KeepWindowSize(Context& ctx);
// The close box: refused unless the program itself is ending; then the closing question runs.
void QueryUnload(Context& ctx, int16_t& cancel);
void ClosingQuestion(Context& ctx);

// Exit code of a run that ended through the stop procedure.
inline constexpr int kStoppedCode = 1;

// The exit button ("ÅTER"): back to the menu program.
[[noreturn]] void ExitRoutine(Context& ctx);
void ExitGotFocus(Context& ctx);
// Writes the link area and starts the program it names; indicator 1 when that failed.
void StartProgramThroughLinkArea(Context& ctx, int16_t& err);
// Starts an executable (a Windows path) with an optional argument, without waiting for it.
void RunProgram(Context& ctx, const std::string& path, const std::string& argument, int16_t& err);
// Back to the program that called this one by name, by the link area's return kind.
[[noreturn]] void ReturnToCaller(Context& ctx);
// Runs the stop procedure when err is 1, then ends the program.
[[noreturn]] void EndAfterStart(Context& ctx, int16_t err);
// Hands the window title and the last message to the stop program, then ends.
[[noreturn]] void StopProcedure(Context& ctx);
// Ends the program: does not return (throws ProgramEnd to the front end's main loop).
[[noreturn]] void EndProgram(Context& ctx, int code = 0);

}  // namespace kvor::frame
