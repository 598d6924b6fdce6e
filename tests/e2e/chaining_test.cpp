// Leaving the program: the link area written back, the menu program or the stop program started,
// as the suite's programs see it through the stand-ins' log.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "installation.h"
#include "support/scripted_run.h"

namespace kvor::test {
namespace {

using ::testing::AnyOf;

// A link area as another program of the suite leaves it: every carried field holds something.
const char* const kLinkArea =
    "2026-12-0408:00:00TRV00377TRV00381Text A from the menu          CDA\r\n"
    "JTRVBOLAText B from the menu          KCDB\r\n"
    "001                                                            XCDCU\r\n"
    "MENY0001Lnk/12/-3/1.5/0.25/2.5e+10/-7/Q/R/\r\n"
    "CODE-D  \r\n"
    "CDE\r\n";

class Chaining : public Installation {
 protected:
  // The clipboard is the file `clipboard` of the test's folder unless env names another.
  ProcessResult Run(const std::string& actions, Environment env = {},
                    const std::vector<std::string>& more = {}) {
    env.insert(env.begin(), {"KVOR_CLIPBOARD", dir + "/clipboard"});
    return Play(actions, more, env);
  }
  std::string C(const std::string& path) { return demo + "/C/" + path; }
  std::string Log(const std::string& wanted) {
    return WaitForText(C("WINKVOR/STARTAS/STARTED.LOG"), wanted);
  }
};

// The menu program started on exit finds the link area written back, and holds no file of this
// program beyond its standard streams.
TEST_F(Chaining, ExitWritesTheLinkAreaBackAndStartsTheMenuHoldingNoFileOfThisProgram) {
  WriteFile(C("WINKVOR/SYSTEM/LINKAREA.DAT"), kLinkArea);
  // The menu stand-in lists the files it holds: beyond 0, 1 and 2 only its own script and the
  // copies its shell keeps of the standard streams.
  std::ofstream(C("WINKVOR/TRV/TRV00377.EXE"), std::ios::app)
      << "ls -l /proc/$$/fd > " << dir << "/fds\n";
  const ProcessResult r = Run("click CmdExit\n", {}, {"--transcript", dir + "/transcript"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "");  // the transcript goes to its file instead
  const std::string t = ReadFile(dir + "/transcript");
  // The owner short name of the link area stands in the title.
  EXPECT_THAT(t, HasSubstr("title TRV00381 · BOLA · 2022-10-19\n"));

  // The stand-in writes its line in parts: wait for the part that tells the link area.
  EXPECT_THAT(Log("TRV00377.EXE | link area: "), HasSubstr("TRV00377.EXE | link area: "));
  const std::string written = ReadFile(C("WINKVOR/SYSTEM/LINKAREA.DAT"));
  // Back as it came but for the date and time of the exit, this program as the caller and the
  // menu as the one called, and line four's numbers as this program writes them.
  std::string expected = kLinkArea;
  expected.replace(0, 34, "2026-12-04" + written.substr(10, 8) + "TRV00381TRV00377");
  expected.replace(expected.find("Lnk/"), 26, "/12/-3/1.5/0.25/25000000000");
  EXPECT_EQ(written, expected);

  const std::string fds = WaitForText(dir + "/fds", " 2 -> ");
  const std::regex beyond_standard_streams(" ([3-9]|[0-9]{2,}) -> (.*)");
  for (std::sregex_iterator it(fds.begin(), fds.end(), beyond_standard_streams), end; it != end;
       ++it) {
    EXPECT_THAT((*it)[2].str(),
                AnyOf(C("WINKVOR/TRV/TRV00377.EXE"), dir + "/stdout", dir + "/stderr"))
        << fds;
  }
}

// Without the menu program the exit goes to the stop program, which finds the message on the
// clipboard. A stop that can neither use the clipboard nor reach the menu falls back on the exit
// routine once; its second failure ends the run. Called by its own name, the program returns to
// its caller after the stop.
TEST_F(Chaining, MissingMenuProgramGoesToTheStopProgramAndOnToTheCaller) {
  std::filesystem::remove(C("WINKVOR/TRV/TRV00377.EXE"));
  const std::string sample_link = ReadFile(C("WINKVOR/SYSTEM/LINKAREA.DAT"));
  const std::string missing =
      "message 3 Program 'C:\\WINKVOR\\TRV\\TRV00377.EXE' finns EJ på DISK-enheten!\n";
  ProcessResult r = Run("click CmdExit\n");
  EXPECT_EQ(r.code, 1);
  EXPECT_THAT(r.out, HasSubstr(missing + "answer STÄNG (auto)\n"));
  EXPECT_THAT(r.out, HasSubstr("start C:\\WINKVOR\\STARTAS\\WORKS\\PROGSTOP.EXE\nend 1\n"));
  // The clipboard hand-over: title, blank line, the message (Windows-1252 bytes).
  const std::string handed_over =
      "PROGSTOP.EXE | clipboard: TRV00381 \xB7 KVOR \xB7 2022-10-19||||"
      "Program 'C:\\WINKVOR\\TRV\\TRV00377.EXE' finns EJ p\xE5 DISK-enheten!\n";
  EXPECT_THAT(Log(handed_over), HasSubstr(handed_over));

  WriteFile(C("WINKVOR/SYSTEM/LINKAREA.DAT"), sample_link);
  r = Run("click CmdExit\n", {{"KVOR_CLIPBOARD", dir + "/no-such-folder/clipboard"}});
  EXPECT_EQ(r.code, 1) << r.err;
  EXPECT_EQ(Occurrences(r.out, missing), 2) << r.out.substr(0, 4000);
  EXPECT_EQ(Occurrences(r.out, "Modulen PROGSTOP för CLIPBOARD till STOPP kan EJ utföras!"), 2);
  EXPECT_THAT(r.out, Not(HasSubstr("start ")));
  EXPECT_TRUE(r.out.ends_with("end 1\n"));

  // Return kind "T": back to the system's tools program.
  std::string link = kLinkArea;
  link.replace(link.find("MENY0001"), 8, "TRV00381");
  link.replace(link.find("XCDCU"), 5, "XCDCT");
  WriteFile(C("WINKVOR/SYSTEM/LINKAREA.DAT"), link);
  WriteFile(C("WINKVOR/TRV/TRVTOOLS.EXE"),
            "#!/bin/sh\necho TRVTOOLS.EXE >> \"$(dirname \"$0\")/../STARTAS/STARTED.LOG\"\n");
  std::filesystem::permissions(C("WINKVOR/TRV/TRVTOOLS.EXE"), std::filesystem::perms::owner_all);
  r = Run("click CmdExit\n");
  EXPECT_THAT(r.out, HasSubstr("start C:\\WINKVOR\\STARTAS\\WORKS\\PROGSTOP.EXE\nstart "
                               "C:\\WINKVOR\\TRV\\TRVTOOLS.EXE\n"));
  EXPECT_THAT(Log("TRVTOOLS.EXE"), HasSubstr("TRVTOOLS.EXE"));
}

// Missing system files and a register server out of reach are told at start-up: without the link
// area, the drive settings or the server it stops, without the language and company files it goes
// on to number entry.
TEST_F(Chaining, MissingSystemFilesOrAnUnreachableServerAreToldAndSomeStopTheStartUp) {
  const std::string sample_link = ReadFile(C("WINKVOR/SYSTEM/LINKAREA.DAT"));
  std::filesystem::remove(C("WINKVOR/SYSTEM/LINKAREA.DAT"));
  ProcessResult r = Run("click CmdExit\n");
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(MessageLines(r.out),
            "message 3 Filen 'C:\\WINKVOR\\SYSTEM\\LINKAREA.DAT' finns EJ skapad!\n");
  EXPECT_THAT(r.out, Not(HasSubstr("focus TxtNmmr")));  // never reached number entry
  EXPECT_THAT(r.out, HasSubstr("start C:\\WINKVOR\\TRV\\TRV00377.EXE\nend 0\n"));

  WriteFile(C("WINKVOR/SYSTEM/LINKAREA.DAT"), sample_link);
  std::filesystem::remove(C("WINKVOR/SYSTEM/LANGUAGE.DAT"));
  std::filesystem::remove(C("WINKVOR/SYSTEM/COMPANYS.DAT"));
  r = Run("");
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(MessageLines(r.out),
            "message 2 Avsedda SPRÅK skall REGISTRERAS via SPRÅKEN i SIP-menyn! ¶ Filen "
            "'C:\\WINKVOR\\SYSTEM\\LANGUAGE.DAT' saknas!\n"
            "message 3 Filen 'C:\\WINKVOR\\SYSTEM\\COMPANYS.DAT' finns EJ skapad!\n"
            "message 2 För EPOST skall FÖRETAGS-identitet VÄLJAS via SMSEPOST-programmet! ¶ "
            "Programmet STARTAS via UPPSTART och EXTRA-valet!\n");
  EXPECT_THAT(r.out, HasSubstr("focus TxtNmmr\n"));

  // A register server out of reach (named by KVOR_REGISTERS) stops the start-up with the engine's
  // message; the password in its URL is shown nowhere.
  WriteFile(C("WINKVOR/SYSTEM/LINKAREA.DAT"), sample_link);
  r = Run("", {{"KVOR_REGISTERS", "postgresql://kvor:S3cret@/postgres?host=" + dir + "/nowhere"}});
  EXPECT_THAT(r.out, HasSubstr("För PEVASIVE är DATABAS-motorn EJ startad!"));
  EXPECT_THAT(r.out, Not(HasSubstr("focus TxtNmmr")));
  for (const std::string& shown :
       {r.out, r.err, ReadFile(dir + "/clipboard"), ReadFile(C("WINKVOR/SYSTEM/LINKAREA.DAT"))})
    EXPECT_THAT(shown, Not(HasSubstr("S3cret")));

  // Without the drive settings the menu program's folder is unknown: the stop program takes over.
  WriteFile(C("WINKVOR/SYSTEM/LINKAREA.DAT"), sample_link);
  std::filesystem::remove(C("WINKVOR/SYSTEM/DISKUNIT.DAT"));
  r = Run("");
  EXPECT_EQ(r.code, 1);
  EXPECT_THAT(r.out,
              HasSubstr("message 3 Filen 'C:\\WINKVOR\\SYSTEM\\DISKUNIT.DAT' finns EJ skapad!\n"));
  EXPECT_THAT(r.out, HasSubstr("start C:\\WINKVOR\\STARTAS\\WORKS\\PROGSTOP.EXE\n"));
}

}  // namespace
}  // namespace kvor::test
