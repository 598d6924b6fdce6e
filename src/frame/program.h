// One run of the program: the context with its state, the message window as the common routines
// see it, and the main window's handlers.
#pragma once

#include "core/context.h"
#include "dialogs/messages.h"
#include "frame/frame.h"
#include "registers/database.h"
#include "registers/readers.h"

namespace kvor::frame {

class Program {
 public:
  Program(forms::FrontEnd& ui, const sys::Clock& clock, sys::Clipboard& clipboard,
          forms::Transcript& transcript, const StartInfo& start)
      : ctx(ui, clock, clipboard, transcript),
        messenger_(ctx),
        database_([this](const std::string& path) { return ctx.drives.ToHost(path); },
                  start.registers) {
    ctx.messenger = &messenger_;
    ctx.database = &database_;
    ctx.company = &company_;
    ctx.length_table = &length_table_;
    ctx.drives = start.drives;
    ctx.run_program = [this](const std::string& path, const std::string& argument, int16_t& err) {
      RunProgram(ctx, path, argument, err);
    };
    transcript.Follow(ctx.main.form, "Mf");
    WireMainWindow(ctx, start);
  }
  // The transcript usually outlives the run; it must not reach for the main window after it.
  ~Program() { ctx.transcript.Unfollow(); }

  Context ctx;

 private:
  dialogs::DialogMessenger messenger_;
  registers::Database database_;
  registers::CompanySettings company_;
  registers::LengthTable length_table_;
};

}  // namespace kvor::frame
