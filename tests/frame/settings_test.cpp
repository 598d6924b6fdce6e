// The settings readers on good and damaged files. Each test works on a fresh sample installation
// and calls the reader directly; messages are closed by the scripted user.
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/system/settings.h"
#include "support/scripted_run.h"

namespace kvor::settings {
namespace {

using test::ScriptedRun;
using test::WriteFile;

class Settings : public ::testing::Test {
 protected:
  Settings() { frame::FillFrameState(run.ctx(), {"/opt/kvor/bin/trv00381", "C:", {}}); }
  Context& ctx() { return run.ctx(); }
  std::string System(const std::string& name) {
    return run.install.Host("C:\\WINKVOR\\SYSTEM\\" + name);
  }
  std::string Messages() { return test::MessageLines(run.Lines()); }
  ScriptedRun run;
};

TEST_F(Settings, DriveSettingsWithTheirModeRulesAndMissingLinesAndTheFileRoutinesRefusals) {
  // Eight lines, mode "N", short lines, bare LF line ends: flags from the mode, fields padded.
  WriteFile(System("DISKUNIT.DAT"), "X         N\nC:\nD\n\nPROG\nDATA\n\nA:B:\n");
  int16_t err = 9;
  ReadDriveSettings(ctx(), err);
  EXPECT_EQ(err, 0);
  const Installation& in = ctx().install;
  EXPECT_EQ(in.program_folder, "PROG   ");
  EXPECT_EQ(in.shared_drive, "B:");
  EXPECT_EQ(in.first_flag + in.last_flag, "NJ");

  // Any other mode leaves the shared drive unset; flags "J"/"N" stay as written.
  WriteFile(System("DISKUNIT.DAT"), "X         Q\r\n\r\n\r\n\r\n\r\n\r\n\r\nA:B:\r\nNxxJ\r\n");
  ReadDriveSettings(ctx(), err);
  EXPECT_EQ(in.shared_drive, "");
  EXPECT_EQ(in.first_flag + in.last_flag, "NJ");
  EXPECT_EQ(Messages(), "");

  // Missing lines are a read error.
  WriteFile(System("DISKUNIT.DAT"), "X         A\r\nC:\r\n");
  ReadDriveSettings(ctx(), err);
  EXPECT_EQ(err, 1);
  // The file routines refuse an unknown open mode and tell a missing file by their indicator.
  OpenTextFile(ctx(), 1, "X", "C:\\WINKVOR\\SYSTEM\\DISKUNIT.DAT", err);
  EXPECT_EQ(err, 1);
  FileInformation(ctx(), "C:\\WINKVOR\\SYSTEM\\NOSUCH.DAT", err);
  EXPECT_EQ(err, 2);
  EXPECT_EQ(FileInformation(ctx(), "C:\\WINKVOR\\SYSTEM\\DISKUNIT.DAT", err).size, 17);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(Messages(),
            "message 3 Filen 'C:\\WINKVOR\\SYSTEM\\DISKUNIT.DAT' kan EJ läsas! ¶ Fel: 62 · "
            "Anropat: DISKUNIT ¶ Input past end of file\n"
            "message 3 Tilldelad FUNKTIONS-typ [X] är EJ tillåten! ¶ Modulen: OPENFILE\n");
}

const char* const kLinkArea =
    "2026-12-0408:00:00TRV00377TRV00381Text A                        CDA\r\n"
    "JTRVBOLAText B                        KCDB\r\n"
    "002123456 and more                                             XCDCU tail text\r\n"
    "TRV00381Lnk/12/-3/1.5/0.25/2.5/-7/Q/R/\r\n"
    "CODE-D  \r\n"
    "CDE\r\n";

// The link area with `line` in place of the line starting with `start`.
std::string LinkAreaWith(const std::string& start, const std::string& line) {
  std::string link = kLinkArea;
  const std::size_t at = link.find(start);
  return link.replace(at, link.find("\r\n", at) - at, line);
}

TEST_F(Settings, LinkAreaIsReadIntoItsFieldsAndConsumedUnlessLineFourIsDamaged) {
  WriteFile(System("LINKAREA.DAT"), kLinkArea);
  int16_t err = 9;
  ReadLinkArea(ctx(), err);
  ASSERT_EQ(err, 0);
  // The fields of line four, each in its place (a write-back would not see a swap).
  const LinkArea& l = ctx().link;
  EXPECT_FLOAT_EQ(l.single1, 1.5f);
  EXPECT_DOUBLE_EQ(l.double2, -7);
  EXPECT_EQ(l.tail, " tail text");
  EXPECT_FALSE(std::filesystem::exists(System("LINKAREA.DAT")));

  // A short line three has no tail and is written back at 68 characters.
  WriteFile(System("LINKAREA.DAT"), LinkAreaWith("002", "002123456"));
  ReadLinkArea(ctx(), err);
  ASSERT_EQ(err, 0);
  EXPECT_EQ(ctx().link.tail, "");
  EXPECT_EQ(LinkAreaLine(ctx().link, 3), "002123456" + std::string(59, ' '));

  // A damaged line four keeps the link area file and the fields read before.
  ctx().link.text_a = "as before";
  for (const char* line4 : {"TRV00381 no separators", "TRV00381Lnk/12/x/1/1/1/1/Q/R/",
                            "TRV00381/99999/0/0/0/0/0/Q/R/", "TRV00381Lnk/1/2/3/"}) {
    WriteFile(System("LINKAREA.DAT"), LinkAreaWith("TRV00381Lnk", line4));
    ReadLinkArea(ctx(), err);
    EXPECT_EQ(err, 1) << line4;
    EXPECT_EQ(ctx().link.text_a, "as before") << line4;
    EXPECT_TRUE(std::filesystem::exists(System("LINKAREA.DAT"))) << line4;
  }
  EXPECT_NE(Messages().find("message 3 Filen 'C:\\WINKVOR\\SYSTEM\\LINKAREA.DAT' är EJ komplett! ¶ "
                            "Fel: 13 · Anropat: LINKAREA ¶ Type mismatch\n"),
            std::string::npos)
      << Messages();
}

TEST_F(Settings, SettingsValueByItsLengthLanguageTableLanguageCodeTestAndCompanyIdentity) {
  setenv("XDG_CONFIG_HOME", (run.install.dir + "/config").c_str(), 1);
  // The separator kind, installation kind and script flag read from the value.
  auto read_with = [&](const std::string& value) {
    std::string error;
    EXPECT_TRUE(sys::WriteSetting("STANDARD", "KVOR", "KOD", value, error)) << error;
    int16_t err = 0;
    ReadRegistrySettings(ctx(), err);
    EXPECT_EQ(err, 0);
    const Installation& in = ctx().install;
    return in.separator_kind + " " + in.installation_kind + " " + in.script_window;
  };
  //                         1234567890123456789012
  EXPECT_EQ(read_with("xxxxxxxxxxxCSV PTV J"), "CSV PTV N");    // 20: the script flag is not read
  EXPECT_EQ(read_with("xxxxxxxxxxxXYZ ABC Q J"), "SKV ISP J");  // 22: unknown kinds fall back
  EXPECT_EQ(read_with("xxxxxxxxxxxCSV PTV "), "SKV ISP N");     // 19: all defaults
  unsetenv("XDG_CONFIG_HOME");

  int16_t err = 0;
  ReadDriveSettings(ctx(), err);
  WriteFile(System("LANGUAGE.DAT"), "svenska\r\nEngelska  \r\nTY SKA\r\n");
  ReadLanguageTable(ctx(), err);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(ctx().install.languages[2], "TYSKA");
  EXPECT_EQ(ctx().install.highest_language, 2);
  TestLanguageCode(ctx(), "SE001", "KRK", "KUND", "7");
  EXPECT_EQ(
      Messages(),
      "message 2 Läst KUND-identitet 'SE001' har EJ tillåten SPRÅK-kod! ¶ SPRÅK-kod: 7\n"
      "message 2 Avbryt BEARBETNINGEN och ÄNDRA dess KOD för SPRÅKET via KRK-V02 programmet! ¶ "
      "Tillåtna SPRÅK-koder: 0-2\n");

  // The company identity replaces the link area's company.
  ctx().frame.company_id = "009";
  WriteFile(System("COMPANYS.DAT"), "002faktura@example.se*extra\r\nsecond line\r\n");
  ReadCompanyIdentity(ctx(), err);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(ctx().frame.company_id, "002");
  EXPECT_EQ(ctx().install.email_identity, "faktura@example.se");
}

}  // namespace
}  // namespace kvor::settings
