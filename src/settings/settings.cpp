#include "settings/settings.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "common/cp1252.h"
#include "common/dates.h"
#include "common/numbers.h"
#include "common/text.h"
#include "dialogs/messages.h"
#include "platform/system/settings.h"

namespace kvor::settings {

namespace {

constexpr int16_t kKindNotice = dialogs::kNotice;

// Characters from 1-based position `from`, `width` of them, padded with blanks.
std::string Field(const std::string& line, std::size_t from, std::size_t width) {
  return Fixed(
      from - 1 < line.size() ? std::string_view(line).substr(from - 1) : std::string_view(), width);
}

// A value of line 4 of the link area could not be taken: the runtime's type mismatch or overflow.
struct BadField {
  files::FileError error;
};

// The text up to the next "/" from `pos`, blanks removed; pos moves past the "/".
std::string NextSlashField(const std::string& line, std::size_t& pos) {
  const std::size_t slash = line.find('/', pos);
  if (slash == std::string::npos) throw BadField{{62, "Input past end of file"}};
  std::string value = RemoveBlanks(line.substr(pos, slash - pos));
  pos = slash + 1;
  return value;
}

template <typename T>
T NumberOf(const std::string& text) {
  if (text.empty()) return T{};
  T value{};
  const char* end = text.data() + text.size();
  if constexpr (std::is_integral_v<T>) {
    long long wide = 0;
    auto [p, ec] = std::from_chars(text.data() + (text[0] == '+'), end, wide);
    if (ec != std::errc() || p != end) throw BadField{{13, "Type mismatch"}};
    if (wide < std::numeric_limits<T>::min() || wide > std::numeric_limits<T>::max())
      throw BadField{{6, "Overflow"}};
    value = static_cast<T>(wide);
  } else {
    std::string t = text;
    for (char& c : t)
      if (c == ',') c = '.';
    double d = 0;
    auto [p, ec] = std::from_chars(t.data() + (t[0] == '+'), t.data() + t.size(), d);
    if (ec != std::errc() || p != t.data() + t.size()) throw BadField{{13, "Type mismatch"}};
    if (std::is_same_v<T, float> && std::fabs(d) > std::numeric_limits<float>::max())
      throw BadField{{6, "Overflow"}};
    value = static_cast<T>(d);
  }
  return value;
}

// Numbers go back in their plain, shortest form ("1.5", "-3", "25000000000"); only very large
// ones take an exponent.
template <typename T>
std::string PlainNumber(T value) {
  char buf[400];
  std::to_chars_result r;
  if constexpr (std::is_floating_point_v<T>) {
    r = std::fabs(value) < 1e15
            ? std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed)
            : std::to_chars(buf, buf + sizeof buf, value);
  } else {
    r = std::to_chars(buf, buf + sizeof buf, value);
  }
  return r.ec == std::errc() ? std::string(buf, r.ptr) : std::string("0");
}

std::string Line4(const LinkArea& l) {
  return Fixed(l.program_addressed, 8) + l.link_text + "/" + PlainNumber(l.int1) + "/" +
         PlainNumber(l.int2) + "/" + PlainNumber(l.single1) + "/" + PlainNumber(l.single2) + "/" +
         PlainNumber(l.double1) + "/" + PlainNumber(l.double2) + "/" + l.char1 + "/" + l.char2 +
         "/";
}

void ParseLine4(const std::string& line, LinkArea& l) {
  l.program_addressed = Field(line, 1, 8);
  const std::size_t slash = line.find('/', std::min<std::size_t>(8, line.size()));
  if (slash == std::string::npos) throw BadField{{62, "Input past end of file"}};
  l.link_text = line.size() > 8 ? line.substr(8, slash - 8) : std::string();
  std::size_t pos = slash + 1;
  l.int1 = NumberOf<int16_t>(NextSlashField(line, pos));
  l.int2 = NumberOf<int16_t>(NextSlashField(line, pos));
  l.single1 = NumberOf<float>(NextSlashField(line, pos));
  l.single2 = NumberOf<float>(NextSlashField(line, pos));
  l.double1 = NumberOf<double>(NextSlashField(line, pos));
  l.double2 = NumberOf<double>(NextSlashField(line, pos));
  l.char1 = Fixed(NextSlashField(line, pos), 1);
  l.char2 = Fixed(NextSlashField(line, pos), 1);
}

std::string ReplaceAll(std::string s, const std::string& from, const std::string& to) {
  for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}

}  // namespace

void ReadDriveSettings(Context& ctx, int16_t& err) {
  Installation& in = ctx.install;
  const std::string path = SystemFolder(ctx) + "DISKUNIT.DAT";
  ctx.main.form.SetEnabled(false);
  OpenTextFile(ctx, 1, "R", path, err);
  if (err != 0) {
    ctx.main.form.SetEnabled(true);
    return;
  }
  std::string lines[9];
  files::FileError e;
  for (int i = 0; i < 8; ++i) {
    if (!ctx.text_files.ReadLine(1, lines[i], e)) {
      CloseTextFile(ctx, 1);
      ReportFileError(ctx, Failure::Read, path, e, "DISKUNIT");
      ctx.main.form.SetEnabled(true);
      err = 1;
      return;
    }
  }
  const bool has_flags = !ctx.text_files.AtEnd(1) && ctx.text_files.ReadLine(1, lines[8], e);
  CloseTextFile(ctx, 1);

  in.text = Field(lines[0], 1, 10);
  in.mode = Field(lines[0], 11, 1);
  in.code = Field(lines[0], 13, 3);
  in.program_drive = Fixed(lines[1], 2);
  in.data_drive = Fixed(lines[2], 2);
  in.third_drive = Fixed(lines[3], 2);
  in.program_folder = Fixed(lines[4], 7);
  in.data_folder = Fixed(lines[5], 7);
  in.note = Fixed(lines[6], 12);
  in.shared_drive_a = Field(lines[7], 1, 2);
  in.shared_drive_n = Field(lines[7], 3, 2);
  in.first_flag = has_flags && !lines[8].empty() ? lines[8].substr(0, 1) : "*";
  in.last_flag = has_flags && !lines[8].empty() ? lines[8].substr(lines[8].size() - 1) : "*";

  auto yes_no = [](const std::string& f) { return f == "J" || f == "N"; };
  if (in.mode == "A") {
    in.shared_drive = in.shared_drive_a;
    if (!yes_no(in.first_flag)) in.first_flag = "J";
    if (!yes_no(in.last_flag)) in.last_flag = "N";
  } else if (in.mode == "N") {
    in.shared_drive = in.shared_drive_n;
    if (!yes_no(in.first_flag)) in.first_flag = "N";
    if (!yes_no(in.last_flag)) in.last_flag = "J";
  } else {
    in.shared_drive.clear();
  }
  ctx.main.form.SetEnabled(true);
  err = 0;
}

std::string LinkAreaLine(const LinkArea& l, int line) {
  switch (line) {
    case 1:
      return Fixed(l.date_written, 10) + Fixed(l.time_written, 8) + Fixed(l.calling_program, 8) +
             Fixed(l.program_to_start, 8) + Fixed(l.text_a, 30) + Fixed(l.code_a, 3);
    case 2:
      return Fixed(l.flag_a, 1) + Fixed(l.system_code, 3) + Fixed(l.owner_short_name, 4) +
             Fixed(l.text_b, 30) + Fixed(l.flag_b, 1) + Fixed(l.code_b, 3);
    case 3:
      return Fixed(l.company_id, 3) + Fixed(l.link_data, 60) + Fixed(l.flag_c, 1) +
             Fixed(l.code_c, 3) + Fixed(l.return_kind, 1) + l.tail;
    case 4:
      return Line4(l);
    case 5:
      return Fixed(l.code_d, 8);
    case 6:
      return Fixed(l.code_e, 3);
  }
  return {};
}

void ReadLinkArea(Context& ctx, int16_t& err) {
  LinkArea& l = ctx.link;
  const std::string path = SystemFolder(ctx) + "LINKAREA.DAT";
  ctx.main.form.SetEnabled(false);
  OpenTextFile(ctx, 1, "R", path, err);
  if (err != 0) {
    ctx.main.form.SetEnabled(true);
    return;
  }
  std::string lines[6];
  files::FileError e;
  for (auto& line : lines) {
    if (!ctx.text_files.ReadLine(1, line, e)) {
      CloseTextFile(ctx, 1);
      ReportFileError(ctx, Failure::Read, path, e, "LINKAREA");
      ctx.main.form.SetEnabled(true);
      err = 1;
      return;
    }
  }
  // Taken into a copy first, so that a damaged file leaves the fields as they were.
  LinkArea read = l;
  read.date_written = Field(lines[0], 1, 10);
  read.time_written = Field(lines[0], 11, 8);
  read.calling_program = Field(lines[0], 19, 8);
  read.program_to_start = Field(lines[0], 27, 8);
  read.text_a = Field(lines[0], 35, 30);
  read.code_a = Field(lines[0], 65, 3);
  read.flag_a = Field(lines[1], 1, 1);
  read.system_code = Field(lines[1], 2, 3);
  read.owner_short_name = Field(lines[1], 5, 4);
  read.text_b = Field(lines[1], 9, 30);
  read.flag_b = Field(lines[1], 39, 1);
  read.code_b = Field(lines[1], 40, 3);
  read.company_id = Field(lines[2], 1, 3);
  read.link_data = Field(lines[2], 4, 60);
  read.flag_c = Field(lines[2], 64, 1);
  read.code_c = Field(lines[2], 65, 3);
  read.return_kind = Field(lines[2], 68, 1);
  read.tail = lines[2].size() > 68 ? lines[2].substr(68) : std::string();
  try {
    ParseLine4(lines[3], read);
  } catch (const BadField& bad) {
    CloseTextFile(ctx, 1);
    ReportFileError(ctx, Failure::Incomplete, path, bad.error, "LINKAREA");
    ctx.main.form.SetEnabled(true);
    err = 1;
    return;
  }
  read.code_d = Field(lines[4], 1, 8);
  read.code_e = Field(lines[5], 1, 3);
  l = read;
  ctx.frame.company_id = l.company_id;
  ctx.frame.owner_short_name = l.owner_short_name;

  RefreshDateAndTime(ctx);
  // The link area is consumed by the program that reads it; a file that stays is reported, but
  // the read itself succeeded.
  int16_t deleted = 0;
  DeleteTextFile(ctx, 1, path, deleted);

  if (!IsBlank(l.owner_short_name)) {
    ctx.frame.window_title = ReplaceAll(ctx.frame.window_title, "KVOR", l.owner_short_name);
    ctx.main.form.SetCaption(ctx.frame.window_title);
  }
  ctx.frame.called_by_own_name = l.program_addressed == ctx.frame.program_code ? "J" : "N";
  ctx.main.form.SetEnabled(true);
  dialogs::Pause(ctx, 10);
  err = 0;
}

void WriteLinkArea(Context& ctx, int16_t& err) {
  const bool was_enabled = ctx.main.form.Enabled();
  if (was_enabled) ctx.main.form.SetEnabled(false);
  const std::string path = SystemFolder(ctx) + "LINKAREA.DAT";
  OpenTextFile(ctx, 1, "W", path, err);
  if (err == 0) {
    RefreshDateAndTime(ctx);
    ctx.link.date_written = ctx.frame.date;
    ctx.link.time_written = ctx.frame.time;
    files::FileError e;
    bool ok = true;
    for (int line = 1; line <= 6 && ok; ++line)
      ok = ctx.text_files.WriteLine(1, LinkAreaLine(ctx.link, line), e);
    dialogs::DoEvents(ctx);
    if (ok) ok = ctx.text_files.Close(1, e);
    CloseTextFile(ctx, 1);
    if (!ok) {
      ReportFileError(ctx, Failure::Write, path, e, "LINKAREA");
      err = 1;
    }
  }
  if (was_enabled) ctx.main.form.SetEnabled(true);
}

void ReadRegistrySettings(Context& ctx, int16_t& err) {
  Installation& in = ctx.install;
  std::string value, why;
  if (!sys::ReadSetting("STANDARD", "KVOR", "KOD", "", value, why)) {
    dialogs::ReportTrappedError(ctx, "Avsedd LÄSNING från REGISTRET för WINDOWS misslyckad!"_w,
                                TrappedError{"REGISTRY", 75, why});
    err = 1;
    return;
  }
  in.separator_kind = "SKV";
  in.installation_kind = "ISP";
  in.settings_flag = "N";
  in.script_window = "N";
  if (value.size() >= 20) {
    in.separator_kind = value.substr(11, 3);
    in.installation_kind = value.substr(15, 3);
    in.settings_flag = value.substr(19, 1);
    if (value.size() > 20) in.script_window = value.substr(21, 1);
    if (in.separator_kind != "SKV" && in.separator_kind != "CSV" && in.separator_kind != "TAB")
      in.separator_kind = "SKV";
    if (in.installation_kind != "STU" && in.installation_kind != "PTV" &&
        in.installation_kind != "PIL")
      in.installation_kind = "ISP";
    if (in.settings_flag != "J" && in.settings_flag != "N") in.settings_flag = "N";
    if (in.script_window != "J" && in.script_window != "N") in.script_window = "N";
  }
  in.list_separator = in.separator_kind == "CSV" ? "," : in.separator_kind == "TAB" ? "\t" : ";";
  err = 0;
}

void ReadLanguageTable(Context& ctx, int16_t& err) {
  Installation& in = ctx.install;
  const std::string path = SharedSystemFolder(ctx) + "LANGUAGE.DAT";
  in.language_count = 0;
  in.highest_language = 0;
  in.highest_language_text = "0";
  in.languages.fill("");
  int16_t info = 0;
  FileInformation(ctx, path, info);
  if (info != 0) {
    dialogs::ShowMessage(ctx,
                         Paragraphs("Avsedda SPRÅK skall REGISTRERAS via SPRÅKEN i SIP-menyn!"_w,
                                    "Filen '" + path + "' saknas!"),
                         kKindNotice);
    CloseTextFile(ctx, 1);
    err = 2;
    return;
  }
  OpenTextFile(ctx, 1, "R", path, err);
  if (err != 0) return;
  std::string line;
  files::FileError e;
  // The table holds codes 0 to 9; further lines are read past and take no code.
  while (!ctx.text_files.AtEnd(1)) {
    if (!ctx.text_files.ReadLine(1, line, e)) {
      CloseTextFile(ctx, 1);
      ReportFileError(ctx, Failure::Read, path, e, "LANGUAGE");
      err = 1;
      return;
    }
    if (in.language_count < 10) in.languages[in.language_count++] = Upper(RemoveBlanks(line));
    dialogs::DoEvents(ctx);
  }
  CloseTextFile(ctx, 1);
  if (in.language_count > 0) in.highest_language = static_cast<int16_t>(in.language_count - 1);
  in.highest_language_text = std::to_string(in.highest_language);
  err = 0;
}

void TestLanguageCode(Context& ctx, const std::string& identity, const std::string& system_code,
                      const std::string& identity_kind, const std::string& code) {
  dialogs::ShowMessage(ctx,
                       Paragraphs("Läst "_w + identity_kind + "-identitet '" + identity +
                                      "' har EJ tillåten SPRÅK-kod!"_w,
                                  "SPRÅK-kod: "_w + code),
                       kKindNotice);
  const std::string& highest = ctx.install.highest_language_text;
  dialogs::ShowMessage(
      ctx,
      Paragraphs("Avbryt BEARBETNINGEN och ÄNDRA dess KOD för SPRÅKET via "_w + system_code +
                     "-V02 programmet!",
                 "Tillåtna SPRÅK-koder: 0-"_w + highest.substr(highest.size() - 1)),
      kKindNotice);
}

void ReadCompanyIdentity(Context& ctx, int16_t& err) {
  if (IsBlank(ctx.frame.owner_short_name)) ctx.frame.owner_short_name = "KVOR";
  const std::string line = ReadFirstLine(ctx, ctx.install.shared_drive, "COMPANYS.DAT", 1, err);
  if (err != 0) {
    dialogs::ShowMessage(
        ctx,
        Paragraphs("För EPOST skall FÖRETAGS-identitet VÄLJAS via SMSEPOST-programmet!"_w,
                   "Programmet STARTAS via UPPSTART och EXTRA-valet!"),
        kKindNotice);
    return;
  }
  ctx.frame.company_id = Field(line, 1, 3);
  const std::string rest = line.size() > 3 ? line.substr(3) : std::string();
  const std::size_t star = rest.find('*');
  ctx.install.email_identity = Trim(rest.substr(0, star));
  ctx.install.email_extra = star == std::string::npos ? std::string() : rest.substr(star + 1);
}

void RefreshDateAndTime(Context& ctx) {
  const sys::LocalTime now = ctx.clock.Now();
  const Timestamp t = MakeTimestamp(now.year, now.month, now.day, now.hour, now.minute, now.second);
  FrameState& f = ctx.frame;
  f.date = t.date;
  f.date_compact = t.compact_date;
  f.year = t.year;
  f.month = t.month;
  f.day = t.day;
  f.time = t.time;
  f.time_compact = t.compact_time;
  f.hour = t.hour;
  f.minute = t.minute;
}

}  // namespace kvor::settings
