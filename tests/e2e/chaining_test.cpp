// Leaving the program: the link area written back, the menu program or the stop program started,
// as the suite's programs see it through the stand-ins' log.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "support/demo_process.h"

namespace kvor::test {
namespace {

// A link area as another program of the suite leaves it: every carried field holds something.
const char* const kLinkArea =
    "2026-12-0408:00:00TRV00377TRV00381Text A from the menu          CDA\r\n"
    "JTRVBOLAText B from the menu          KCDB\r\n"
    "001                                                            XCDCU\r\n"
    "MENY0001Lnk/12/-3/1.5/0.25/2.5e+10/-7/Q/R/\r\n"
    "CODE-D  \r\n"
    "CDE\r\n";

class Chaining : public DemoProcess {
 protected:
  // The clipboard is the file `clipboard` of the test's folder unless env names another.
  ProcessResult Run(const std::string& actions, Environment env = {}) {
    env.insert(env.begin(), {"KVOR_CLIPBOARD", dir + "/clipboard"});
    return Play(actions, {}, env);
  }
  std::string C(const std::string& path) { return demo + "/C/" + path; }
  std::string Log(const std::string& wanted) {
    return WaitForText(C("WINKVOR/STARTAS/STARTED.LOG"), wanted);
  }
};

TEST_F(Chaining, ExitWritesTheLinkAreaBackAndStartsTheMenu) {
  WriteFile(C("WINKVOR/SYSTEM/LINKAREA.DAT"), kLinkArea);
  const ProcessResult r = Run("click CmdExit\n");
  EXPECT_EQ(r.code, 0) << r.err;
  // The owner short name of the link area stands in the title.
  EXPECT_NE(r.out.find("title TRV00381 · BOLA · 2022-10-19\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("start C:\\WINKVOR\\TRV\\TRV00377.EXE\nend 0\n"), std::string::npos)
      << r.out;

  // The stand-in writes its line in parts: wait for the part that tells the link area.
  const std::string log = Log("TRV00377.EXE | link area: ");
  EXPECT_NE(log.find("TRV00377.EXE | link area: "), std::string::npos) << log;

  const std::string written = ReadFile(C("WINKVOR/SYSTEM/LINKAREA.DAT"));
  const std::string expected = "2026-12-04" + written.substr(10, 8) +
                               "TRV00381TRV00377Text A from the menu          CDA\r\n"
                               "JTRVBOLAText B from the menu          KCDB\r\n"
                               "001" +
                               std::string(60, ' ') +
                               "XCDCU\r\n"
                               "MENY0001/12/-3/1.5/0.25/25000000000/-7/Q/R/\r\n"
                               "CODE-D  \r\n"
                               "CDE\r\n";
  EXPECT_EQ(written, expected);
}

TEST_F(Chaining, TheMenuProgramHoldsNoFileOfThisProgramBesidesItsStandardStreams) {
  // The menu stand-in lists the files it holds: beyond 0, 1 and 2 only its own script and the
  // copies its shell keeps of the standard streams.
  std::ofstream(C("WINKVOR/TRV/TRV00377.EXE"), std::ios::app)
      << "ls -l /proc/$$/fd > " << dir << "/fds\n";
  const ProcessResult r = Play("click CmdExit\n", {"--transcript", dir + "/transcript"});
  EXPECT_EQ(r.code, 0) << r.err;
  const std::string fds = WaitForText(dir + "/fds", " 2 -> ");
  const std::regex beyond_standard_streams(" ([3-9]|[0-9]{2,}) -> (.*)");
  for (std::sregex_iterator it(fds.begin(), fds.end(), beyond_standard_streams), end; it != end;
       ++it) {
    const std::string held = (*it)[2];
    EXPECT_TRUE(held == C("WINKVOR/TRV/TRV00377.EXE") || held == dir + "/stdout" ||
                held == dir + "/stderr")
        << fds;
  }
}

TEST_F(Chaining, MissingMenuProgramGoesToTheStopProgramWithTheMessage) {
  std::filesystem::remove(C("WINKVOR/TRV/TRV00377.EXE"));
  const ProcessResult r = Run("click CmdExit\n");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(
      r.out.find("message 3 Program 'C:\\WINKVOR\\TRV\\TRV00377.EXE' finns EJ på DISK-enheten!\n"
                 "answer STÄNG (auto)\n"),
      std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("start C:\\WINKVOR\\STARTAS\\WORKS\\PROGSTOP.EXE\nend 1\n"),
            std::string::npos)
      << r.out;
  // The clipboard hand-over: title, blank line, the message (Windows-1252 bytes).
  const std::string handed_over =
      "PROGSTOP.EXE | clipboard: TRV00381 \xB7 KVOR \xB7 2022-10-19||||"
      "Program 'C:\\WINKVOR\\TRV\\TRV00377.EXE' finns EJ p\xE5 DISK-enheten!\n";
  const std::string log = Log(handed_over);
  EXPECT_NE(log.find(handed_over), std::string::npos) << log;
}

TEST_F(Chaining, AStopThatCanNeitherUseTheClipboardNorReachTheMenuEndsAtTheSecondFailure) {
  std::filesystem::remove(C("WINKVOR/TRV/TRV00377.EXE"));
  const ProcessResult r =
      Run("click CmdExit\n", {{"KVOR_CLIPBOARD", dir + "/no-such-folder/clipboard"}});
  EXPECT_EQ(r.code, 1) << r.err;
  // The stop procedure falls back on the exit routine once; its second failure ends the run.
  EXPECT_EQ(Occurrences(r.out, "finns EJ på DISK-enheten!"), 2) << r.out.substr(0, 4000);
  EXPECT_EQ(Occurrences(r.out, "Modulen PROGSTOP för CLIPBOARD till STOPP kan EJ utföras!"), 2);
  EXPECT_EQ(r.out.find("start "), std::string::npos);
  EXPECT_TRUE(r.out.ends_with("end 1\n"));
}

TEST_F(Chaining, CalledByOwnNameReturnsToTheCallerAfterAStop) {
  std::filesystem::remove(C("WINKVOR/TRV/TRV00377.EXE"));
  // Return kind "T": back to the system's tools program.
  std::string link = kLinkArea;
  link.replace(link.find("MENY0001"), 8, "TRV00381");
  link.replace(link.find("XCDCU"), 5, "XCDCT");
  WriteFile(C("WINKVOR/SYSTEM/LINKAREA.DAT"), link);
  WriteFile(C("WINKVOR/TRV/TRVTOOLS.EXE"),
            "#!/bin/sh\necho TRVTOOLS.EXE >> \"$(dirname \"$0\")/../STARTAS/STARTED.LOG\"\n");
  std::filesystem::permissions(C("WINKVOR/TRV/TRVTOOLS.EXE"), std::filesystem::perms::owner_all);
  const ProcessResult r = Run("click CmdExit\n");
  EXPECT_NE(r.out.find("start C:\\WINKVOR\\STARTAS\\WORKS\\PROGSTOP.EXE\nstart "
                       "C:\\WINKVOR\\TRV\\TRVTOOLS.EXE\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(Log("TRVTOOLS.EXE").find("TRVTOOLS.EXE"), std::string::npos);
}

TEST_F(Chaining, MissingLinkAreaStopsTheStartUpAndReturnsToTheMenu) {
  std::filesystem::remove(C("WINKVOR/SYSTEM/LINKAREA.DAT"));
  const ProcessResult r = Run("click CmdExit\n");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("message 3 Filen 'C:\\WINKVOR\\SYSTEM\\LINKAREA.DAT' finns EJ skapad!\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find("focus TxtNmmr"), std::string::npos);  // never reached number entry
  EXPECT_NE(r.out.find("start C:\\WINKVOR\\TRV\\TRV00377.EXE\nend 0\n"), std::string::npos)
      << r.out;
  EXPECT_NE(Log("TRV00377.EXE").find("TRV00377.EXE"), std::string::npos);
}

TEST_F(Chaining, MissingDriveSettingsStopTheStartUp) {
  std::filesystem::remove(C("WINKVOR/SYSTEM/DISKUNIT.DAT"));
  const ProcessResult r = Run("");
  EXPECT_NE(r.out.find("message 3 Filen 'C:\\WINKVOR\\SYSTEM\\DISKUNIT.DAT' finns EJ skapad!\n"),
            std::string::npos)
      << r.out;
  // Without the drive settings the menu program's folder is unknown: the stop program takes over.
  EXPECT_NE(r.out.find("start C:\\WINKVOR\\STARTAS\\WORKS\\PROGSTOP.EXE\n"), std::string::npos)
      << r.out;
  EXPECT_EQ(r.code, 1);
}

TEST_F(Chaining, MissingLanguageAndCompanyFilesAreToldAndTheStartUpGoesOn) {
  std::filesystem::remove(C("WINKVOR/SYSTEM/LANGUAGE.DAT"));
  std::filesystem::remove(C("WINKVOR/SYSTEM/COMPANYS.DAT"));
  const ProcessResult r = Run("");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("message 2 Avsedda SPRÅK skall REGISTRERAS via SPRÅKEN i SIP-menyn! ¶ "
                       "Filen 'C:\\WINKVOR\\SYSTEM\\LANGUAGE.DAT' saknas!\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("message 3 Filen 'C:\\WINKVOR\\SYSTEM\\COMPANYS.DAT' finns EJ skapad!\n"
                       "answer STÄNG (auto)\n"),
            std::string::npos);
  EXPECT_NE(
      r.out.find("message 2 För EPOST skall FÖRETAGS-identitet VÄLJAS via SMSEPOST-programmet! ¶ "
                 "Programmet STARTAS via UPPSTART och EXTRA-valet!\n"),
      std::string::npos);
  EXPECT_NE(r.out.find("focus TxtNmmr\n"), std::string::npos);
}

// A register server out of reach (named by KVOR_REGISTERS) stops the start-up with the engine's
// message; the password in its URL is shown nowhere.
TEST_F(Chaining, AServerOutOfReachStopsTheStartUpAndItsPasswordShowsNowhere) {
  const ProcessResult r =
      Run("", {{"KVOR_REGISTERS", "postgresql://kvor:S3cret@/postgres?host=" + dir + "/nowhere"}});
  EXPECT_NE(r.out.find("För PEVASIVE är DATABAS-motorn EJ startad!"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("focus TxtNmmr"), std::string::npos);
  for (const std::string& shown : {r.out, r.err, ReadFile(dir + "/clipboard"), Log("TRV00377.EXE")})
    EXPECT_EQ(shown.find("S3cret"), std::string::npos) << shown;
}

}  // namespace
}  // namespace kvor::test
