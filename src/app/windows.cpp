// A run of the program with real windows.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "frame/frame.h"
#include "frame/options.h"
#include "frame/program.h"
#include "ui/qt/qt_clipboard.h"
#include "ui/qt/qt_front_end.h"

int RunWithWindows(int argc, char** argv, const kvor::frame::Options& options,
                   const kvor::frame::StartInfo& start) {
  using namespace kvor;
  QApplication app(argc, argv);
  QApplication::setApplicationName("trv00381");
  // The program ends only by its own end routine, never because a window closed.
  QApplication::setQuitOnLastWindowClosed(false);

  forms::Transcript transcript;
  if (options.has_transcript && !transcript.Open(options.transcript_file)) {
    std::fprintf(stderr, "trv00381: cannot write the transcript '%s'\n",
                 options.transcript_file.c_str());
    return 2;
  }
  ui::QtFrontEnd front_end;
  // The clipboard outlives the program on the desktop, as the stop program needs it; without the
  // desktop's tool it is the file KVOR_CLIPBOARD names, or Qt's own for the length of the run.
  ui::QtClipboard qt_clipboard;
  const char* clipboard_file = std::getenv("KVOR_CLIPBOARD");
  sys::FileClipboard file(clipboard_file ? clipboard_file : "");
  sys::DesktopClipboard clipboard(
      clipboard_file && *clipboard_file ? static_cast<sys::Clipboard&>(file) : qt_clipboard);
  const sys::Clock clock(options.today);
  frame::Program program(front_end, clock, clipboard, transcript, start);
  frame::TakePrinterOptions(options, program.ctx.print);
  frame::TakeInterpreterOption(options, program.ctx.install);
  forms::Form& main = program.ctx.main.form;
  front_end.SetMainForm(main);

  front_end.RunGuarded([&] {
    if (main.Load) main.Load();
  });
  // An end during the start-up came before Qt's loop ran: there is nothing left to wait for.
  int code = front_end.Ended() ? front_end.ExitCode() : app.exec();
  if (front_end.Ended()) code = front_end.ExitCode();
  transcript.End(code);
  return code;
}
