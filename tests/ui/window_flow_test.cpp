// The whole flow in a real window: the real trv00381 as a process of its own on a private Xvfb
// display, with the Qt front end a clerk uses, driven by mouse clicks that xdotool sends through
// the X server's XTEST extension. The clicks land where the program's own layout puts the
// controls (MasterWindow in twips, placed on the screen where the window lies), so each one takes
// the whole path a clerk's click takes: X server, Qt's xcb platform, widget, model.
//
// The program's transcript (written in windowed runs too) tells when a step has finished; the
// windows are found by their titles. Nothing waits a fixed time for the program.
//
// Pictures of the main window before and after printing and of the print's job-end message go
// to $KVOR_SCREENSHOTS, or the build folder's `screenshots` folder (scripts/screenshots.sh copies
// them into docs/).
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "core/master_window.h"
#include "support/background_process.h"
#include "support/demo_process.h"
#include "support/ftp_server.h"
#include "ui/x_display.h"

namespace kvor::test {
namespace {

constexpr int kTwips = forms::kTwipsPerPixel;
const char* const kMainTitle = "^TRV00381";
const char* const kMessageTitle = "^ProgramMeddelande$";

class RealWindow : public WithFtpServer<DemoProcess> {
 protected:
  void SetUp() override {
    WithFtpServer::SetUp();
    ASSERT_TRUE(display.Running()) << "Xvfb did not start (Debian package xvfb)\n" << display.Log();
    ASSERT_FALSE(display.Xdo({"version"}).empty()) << "xdotool is missing (Debian package xdotool)";
    const char* chosen = std::getenv("KVOR_SCREENSHOTS");
    pictures = chosen && *chosen ? chosen : std::string(KVOR_BINARY_DIR) + "/screenshots";
    std::filesystem::create_directories(pictures);
  }
  std::string Transcript() const { return ReadFile(dir + "/transcript.txt"); }
  // Starts the real trv00381 in a real window on the test's display (the tests' environment asks
  // for offscreen) and waits for its number entry; `main` is where its window lies.
  void OpenWindow(std::unique_ptr<BackgroundProcess>& program, const Environment& more = {}) {
    std::filesystem::remove(dir + "/transcript.txt");
    Environment env{{"DISPLAY", display.name}, {"QT_QPA_PLATFORM", "xcb"}};
    env.insert(env.end(), more.begin(), more.end());
    program = std::make_unique<BackgroundProcess>(
        Trv00381(),
        std::vector<std::string>{"--root", demo, "--today", "2026-12-04", "--pdf-only", "--pdf-dir",
                                 pdf_dir, "--transcript", dir + "/transcript.txt"},
        dir, "trv00381", env);
    ASSERT_TRUE(WaitForTranscript("\nfocus TxtNmmr")) << program->Err() << Transcript();
    const std::optional<XWindow> shown = display.WaitForWindow(kMainTitle);
    ASSERT_TRUE(shown.has_value()) << program->Err();
    main = *shown;
  }
  // Waits for the transcript to hold `what` `n` times.
  bool WaitForTranscript(const std::string& what, int n = 1, double seconds = 30) {
    return WaitUntil([&] { return Occurrences(Transcript(), what) >= n; }, seconds);
  }

  // Clicks the middle of a control of the main window.
  void ClickOn(const forms::Control& c) {
    const forms::Rect r = c.Geometry();
    ASSERT_TRUE(display.Click(main.x + (r.left + r.width / 2) / kTwips,
                              main.y + (r.top + r.height / 2) / kTwips))
        << c.FullName();
  }
  // The colour the screen shows near the top of a control of the main window, inside its border.
  std::string ColourOf(const forms::Control& c) {
    const forms::Rect r = c.Geometry();
    const QImage one =
        display.Grab(main.x + (r.left + r.width / 2) / kTwips, main.y + r.top / kTwips + 4, 1, 1);
    return one.isNull() ? "" : one.pixelColor(0, 0).name().toUpper().toStdString();
  }
  void Save(const QImage& image, const std::string& name) {
    ASSERT_FALSE(image.isNull()) << name;
    ASSERT_TRUE(image.save(QString::fromStdString(pictures + "/" + name))) << name;
  }

  // Waits for the next message of the program (the `n`th in the transcript), checks its text is
  // there, pictures its window when asked, and closes it with its STÄNG button.
  void CloseMessage(int n, const std::string& text, const std::string& picture = "") {
    ASSERT_TRUE(WaitForTranscript("\nmessage ", n)) << Transcript();
    EXPECT_NE(Transcript().find(text), std::string::npos) << Transcript();
    const std::optional<XWindow> message = display.WaitForWindow(kMessageTitle);
    ASSERT_TRUE(message.has_value()) << "no message window for: " << text;
    if (!picture.empty())
      Save(display.GrabSettled(message->x, message->y, message->width, message->height), picture);
    // The STÄNG button keeps its place at the bottom right of every message window: it starts
    // 2350 twips left of the right edge and 1250 twips above the bottom, and is 2200 x 500.
    ASSERT_TRUE(display.Click(message->x + message->width - (2350 - 1100) / kTwips,
                              message->y + message->height - (1250 - 250) / kTwips));
    ASSERT_TRUE(display.WaitForWindowGone(*message, kMessageTitle))
        << "the message stayed: " << text;
  }

  XDisplay display{dir};
  std::string pictures;
  MasterWindow layout;  // the program's own layout of the main window
  XWindow main;
};

TEST_F(RealWindow, DigitButtonsLookUpPrintSendAndLeave) {
  std::unique_ptr<BackgroundProcess> program;
  ASSERT_NO_FATAL_FAILURE(OpenWindow(program));
  EXPECT_EQ(main.width, MasterWindow::kWidth / kTwips);
  EXPECT_EQ(main.height, MasterWindow::kHeight / kTwips);

  // Invoice 241002 by the digit buttons: the sixth one looks it up and the focus goes to OK.
  for (int digit : {2, 4, 1, 0, 0, 2}) ClickOn(*layout.CmdNmr[digit]);
  ASSERT_TRUE(WaitForTranscript("\nfocus CmdKlar")) << Transcript();
  ASSERT_TRUE(WaitUntil([&] { return ColourOf(*layout.CmdKlar) == "#C0FFC0"; }, 10))
      << ColourOf(*layout.CmdKlar);
  Save(display.GrabSettled(main.x, main.y, main.width, main.height), "window-master-before.png");

  // OK prints the first print and one copy, then writes the e-invoice file.
  ClickOn(*layout.CmdKlar);
  CloseMessage(1, "UTSKRIFT av 'FAKTURA' är UTFÖRD med 2 sidor!", "window-message.png");
  CloseMessage(2, "För FAKTURA-nummer '241002' har DATA som XML skapats!");
  ASSERT_TRUE(WaitUntil([&] { return ColourOf(*layout.CmdSand) == "#C0FFC0"; }, 30))
      << "the send button did not come on: " << ColourOf(*layout.CmdSand);
  Save(display.GrabSettled(main.x, main.y, main.width, main.height), "window-master-after.png");

  // Skicka sends it to the FTP server.
  ClickOn(*layout.CmdSand);
  CloseMessage(3, "Aktuellt FAKTURA-nummer '241002' har ÖVERFÖRTS till FTP-servern!");

  // ÅTER hands back to the menu program.
  ASSERT_TRUE(WaitUntil([&] { return ColourOf(*layout.CmdExit) == "#FFFFC0"; }, 30));
  ClickOn(*layout.CmdExit);
  EXPECT_EQ(program->WaitForEnd(30), 0) << program->Err() << Transcript();

  // What the flow left: a PDF of two pages, the XML file on the server, the sent mark.
  ASSERT_EQ(Pdfs().size(), 1u);
  EXPECT_EQ(PdfPages(Pdfs()[0]), 2);
  const std::string xml = ReadFile(demo + "/C/KVOR/FAKTUROR/001-241002.XML");
  ASSERT_FALSE(xml.empty());
  EXPECT_EQ(ReadFile(server.home + "/001-241002.XML"), xml) << server.Log();
  const std::string header = Reg({"get", "SVF-FTHD", "001F241002"});
  EXPECT_NE(header.find("\nSKICKAD=J\n"), std::string::npos) << header;
  EXPECT_NE(header.find("\nUTSKRIVEN=J\n"), std::string::npos) << header;
}

TEST_F(RealWindow, OneQuickClickLeavesFromTheNumberFieldAndTheClipboardOutlivesTheProgram) {
  std::filesystem::remove(demo + "/C/WINKVOR/TRV/TRV00377.EXE");
  const std::string missing = "Program 'C:\\WINKVOR\\TRV\\TRV00377.EXE' finns EJ på DISK-enheten!";
  std::unique_ptr<BackgroundProcess> program;
  ASSERT_NO_FATAL_FAILURE(OpenWindow(program));
  // xdotool presses and releases at once, with the focus in the number field.
  ClickOn(*layout.CmdExit);
  CloseMessage(1, missing);
  EXPECT_EQ(program->WaitForEnd(30), 1) << program->Err() << Transcript();
  EXPECT_NE(Transcript().find("\nstart C:\\WINKVOR\\STARTAS\\WORKS\\PROGSTOP.EXE\n"),
            std::string::npos);
  // The program has ended; another one reads the title and the message from the clipboard.
  const ProcessResult pasted = RunProgram("/usr/bin/xclip", {"-o", "-selection", "clipboard"}, dir,
                                          {{"DISPLAY", display.name}});
  EXPECT_EQ(pasted.out, "TRV00381 · KVOR · 2022-10-19\r\n\r\n" + missing) << pasted.err;
}

}  // namespace
}  // namespace kvor::test
