// The installation's settings files: DISKUNIT.DAT, LINKAREA.DAT, LANGUAGE.DAT and the per-user
// settings value. Whatever the file holds, the reader either takes it whole or reports and
// leaves the program's state as it was.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/cp1252.h"
#include "fuzz/harness.h"
#include "fuzz/targets.h"
#include "settings/settings.h"

namespace kvor::fuzz {

namespace {

// Every field the drive-settings reader fills, one after the other.
std::string DriveFields(const Installation& in) {
  std::string all;
  for (const std::string* f :
       {&in.text, &in.mode, &in.code, &in.program_drive, &in.data_drive, &in.third_drive,
        &in.program_folder, &in.data_folder, &in.note, &in.shared_drive_a, &in.shared_drive_n,
        &in.shared_drive, &in.first_flag, &in.last_flag})
    all += *f + '\x01';
  return all;
}

std::string LinkLines(const kvor::LinkArea& link) {
  std::string all;
  for (int line = 1; line <= 6; ++line) all += settings::LinkAreaLine(link, line) + '\n';
  return all;
}

bool YesNo(const std::string& f) {
  return f == "J" || f == "N";
}

}  // namespace

int DriveSettings(const uint8_t* data, std::size_t size) {
  static Harness h;
  Context& ctx = h.ctx();
  h.Write("C:\\WINKVOR\\SYSTEM\\DISKUNIT.DAT", Bytes(data, size));
  const std::string before = DriveFields(ctx.install);
  int16_t err = 9;
  settings::ReadDriveSettings(ctx, err);
  Require(ctx.main.form.Enabled(), "the main window is enabled again after the read");
  const Installation& in = ctx.install;
  if (err != 0) {
    Require(err == 1, "a failed read gives indicator 1");
    Require(DriveFields(in) == before, "a failed read changes no setting");
    return 0;
  }
  Require(in.text.size() == 10 && in.mode.size() == 1 && in.code.size() == 3,
          "line 1 is cut into 10, 1 and 3 characters");
  Require(in.program_drive.size() == 2 && in.data_drive.size() == 2 && in.third_drive.size() == 2,
          "drives are 2 characters");
  Require(in.program_folder.size() == 7 && in.data_folder.size() == 7 && in.note.size() == 12,
          "folders are 7 characters, the note 12");
  if (in.mode == "A" || in.mode == "N") {
    Require(in.shared_drive == (in.mode == "A" ? in.shared_drive_a : in.shared_drive_n),
            "the mode chooses the shared drive");
    Require(YesNo(in.first_flag) && YesNo(in.last_flag), "the mode makes both flags J or N");
  } else {
    Require(in.shared_drive.empty(), "another mode leaves no shared drive");
  }
  Require(in.first_flag.size() == 1 && in.last_flag.size() == 1, "flags are one character");
  return 0;
}

int LinkArea(const uint8_t* data, std::size_t size) {
  static Harness h;
  Context& ctx = h.ctx();
  const std::string path = "C:\\WINKVOR\\SYSTEM\\LINKAREA.DAT";
  ctx.frame.window_title = "TRV00381 \xB7 KVOR \xB7 2022-10-19";
  h.Write(path, Bytes(data, size));
  const std::string before = LinkLines(ctx.link);
  int16_t err = 9;
  settings::ReadLinkArea(ctx, err);
  Require(ctx.main.form.Enabled(), "the main window is enabled again after the read");
  if (err != 0) {
    Require(err == 1, "a failed read gives indicator 1");
    Require(LinkLines(ctx.link) == before, "a damaged link area changes no field");
    Require(h.Exists(path), "a damaged link area is not consumed");
    return 0;
  }
  Require(!h.Exists(path), "a link area read is consumed");
  // Written back by the program and read again, every line comes back as it went out; only the
  // time of writing changes.
  const std::string taken = LinkLines(ctx.link);
  settings::WriteLinkArea(ctx, err);
  Require(err == 0, "the link area is written back");
  settings::ReadLinkArea(ctx, err);
  Require(err == 0, "the link area the program wrote reads again");
  const std::string again = LinkLines(ctx.link);
  Require(taken.size() == again.size() && taken.compare(18, std::string::npos, again, 18) == 0,
          "every carried field of the link area comes back as it went out");
  return 0;
}

int SettingsValue(const uint8_t* data, std::size_t size) {
  static Harness h;
  static const std::string folder = [] {
    const std::string config = h.Dir() + "/config";
    std::filesystem::create_directories(config + "/kvor");
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    return config + "/kvor";
  }();
  {
    std::ofstream out(folder + "/STANDARD.ini", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  Context& ctx = h.ctx();
  int16_t err = 9;
  settings::ReadRegistrySettings(ctx, err);
  Require(err == 0, "a readable settings file always gives settings");
  const Installation& in = ctx.install;
  Require(in.separator_kind == "SKV" || in.separator_kind == "CSV" || in.separator_kind == "TAB",
          "the separator kind is one of SKV, CSV, TAB");
  Require(in.installation_kind == "ISP" || in.installation_kind == "STU" ||
              in.installation_kind == "PTV" || in.installation_kind == "PIL",
          "the installation kind is one of ISP, STU, PTV, PIL");
  Require(YesNo(in.settings_flag) && YesNo(in.script_window), "both flags are J or N");
  Require(in.list_separator == (in.separator_kind == "CSV"   ? ","
                                : in.separator_kind == "TAB" ? "\t"
                                                             : ";"),
          "the list separator follows the separator kind");
  return 0;
}

int LanguageTable(const uint8_t* data, std::size_t size) {
  static Harness h;
  Context& ctx = h.ctx();
  h.Write(SharedSystemFolder(ctx) + "LANGUAGE.DAT", Bytes(data, size));
  int16_t err = 9;
  settings::ReadLanguageTable(ctx, err);
  const Installation& in = ctx.install;
  Require(err == 0, "a readable language table is taken");
  Require(in.language_count >= 0 && in.language_count <= 10, "at most ten languages");
  Require(in.highest_language == (in.language_count > 0 ? in.language_count - 1 : 0),
          "the highest code is the count less one");
  Require(in.highest_language_text == std::to_string(in.highest_language),
          "the highest code as text");
  for (int i = 0; i < 10; ++i) {
    const std::string& name = in.languages[i];
    Require(i < in.language_count || name.empty(), "no name past the count");
    Require(name.find(' ') == std::string::npos && name == Upper(name),
            "names are upper case without blanks");
  }
  // A code outside the table is told with the table's range.
  settings::TestLanguageCode(ctx, "123456", "TRV", "KUND", "X");
  Require(!ctx.msg.last_shown.empty(), "the wrong code is told");
  return 0;
}

}  // namespace kvor::fuzz
