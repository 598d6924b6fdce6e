// One run of the program: the context with its state, the message window as the common routines
// see it, and the main window's handlers.
#pragma once

#include "core/context.h"
#include "dialogs/messages.h"
#include "frame/frame.h"

namespace kvor::frame {

class Program {
 public:
  Program(forms::FrontEnd& ui, const sys::Clock& clock, sys::Clipboard& clipboard,
          forms::Transcript& transcript, const StartInfo& start)
      : ctx(ui, clock, clipboard, transcript), messenger_(ctx) {
    ctx.messenger = &messenger_;
    ctx.drives = start.drives;
    transcript.Follow(ctx.main.form, "Mf");
    WireMainWindow(ctx, start);
  }

  Context ctx;

 private:
  dialogs::DialogMessenger messenger_;
};

}  // namespace kvor::frame
