#include "settings/open_file.h"

#include "common/cp1252.h"
#include "common/numbers.h"
#include "common/text.h"
#include "dialogs/messages.h"

namespace kvor::settings {

namespace {

constexpr int16_t kKindNotice = dialogs::kNotice;
constexpr int16_t kKindError = dialogs::kError;

std::string HostPath(const Context& ctx, const std::string& path) {
  return ctx.drives.ToHost(path);
}

}  // namespace

void ReportFileError(Context& ctx, Failure what, const std::string& path, const files::FileError& e,
                     const std::string& module) {
  const std::string head = what == Failure::Read         ? "Filen '" + path + "' kan EJ läsas!"_w
                           : what == Failure::Incomplete ? "Filen '" + path + "' är EJ komplett!"_w
                                                         : "Filen '" + path + "' kan EJ skrivas!"_w;
  dialogs::ShowMessage(ctx,
                       Paragraphs(head,
                                  "Fel:" + WithSignPlace(e.number) + std::string(kDotSeparator) +
                                      "Anropat: " + module,
                                  e.description),
                       kKindError);
}

void CheckDrive(Context& ctx, const std::string& path, int16_t& err) {
  if (path.empty()) {
    dialogs::ShowMessage(
        ctx, Paragraphs("Ingen ENHET för KONTROLL är TILLDELAD funktionen!"_w, "Modulen: OPENFILE"),
        kKindNotice);
    return;
  }
  const char letter = path[0];
  if (!files::FolderExists(ctx.drives.Folder(letter))) {
    dialogs::ShowMessage(
        ctx,
        Paragraphs("Tilldelad DISK-enhet '" + std::string(1, letter) + "' finns EJ tillgänglig!"_w,
                   "Gör KONTROLL att ENHETEN finns!"_w),
        kKindError);
    err = 1;
  }
}

void OpenTextFile(Context& ctx, int file_number, const std::string& mode, const std::string& path,
                  int16_t& err) {
  err = 0;
  CheckDrive(ctx, path, err);
  if (err == 1) return;
  CloseTextFile(ctx, file_number);
  const std::string host = HostPath(ctx, path);
  files::FileError e;
  if (mode == "A" || mode == "W") {
    if (mode == "W" && files::FileExists(host)) files::ForceDelete(host, e);
    if (!ctx.text_files.Open(
            file_number, host,
            mode == "A" ? files::TextFiles::Mode::Append : files::TextFiles::Mode::Write, e)) {
      ReportFileError(ctx, Failure::Write, path, e, "OPENFILE");
      err = 1;
    }
  } else if (mode == "R") {
    if (!files::FileExists(host)) {
      dialogs::ShowMessage(ctx, "Filen '" + path + "' finns EJ skapad!", kKindError);
      err = 1;
    } else if (!ctx.text_files.Open(file_number, host, files::TextFiles::Mode::Read, e)) {
      ReportFileError(ctx, Failure::Read, path, e, "OPENFILE");
      err = 1;
    }
  } else {
    dialogs::ShowMessage(
        ctx,
        Paragraphs("Tilldelad FUNKTIONS-typ [" + mode + "] är EJ tillåten!"_w, "Modulen: OPENFILE"),
        kKindError);
    err = 1;
  }
  dialogs::DoEvents(ctx);
}

void CloseTextFile(Context& ctx, int file_number) {
  files::FileError ignored;
  ctx.text_files.Close(file_number, ignored);
}

void DeleteTextFile(Context& ctx, int file_number, const std::string& path, int16_t& err) {
  if (file_number > 0) CloseTextFile(ctx, file_number);
  const std::string host = HostPath(ctx, path);
  files::FileError e;
  if (files::FileExists(host) && !files::ForceDelete(host, e)) {
    dialogs::ShowMessage(ctx,
                         Paragraphs("Filen '" + path + "' kan EJ makuleras!",
                                    "Fel:" + WithSignPlace(e.number) + std::string(kDotSeparator) +
                                        "Anropat: OPENFILE",
                                    e.description),
                         kKindError);
    err = 1;
  }
}

files::FileInfo FileInformation(Context& ctx, const std::string& path, int16_t& err) {
  if (path.size() < 5) {
    dialogs::ReportError(ctx, "Tilldelat FIL-namn '" + path + "' är EJ tillåtet!"_w);
    err = 1;
    return {};
  }
  files::FileInfo info = files::Inspect(HostPath(ctx, path));
  err = info.exists ? 0 : 2;
  return info;
}

std::string ReadFirstLine(Context& ctx, const std::string& drive, const std::string& file_name,
                          int file_number, int16_t& err) {
  const std::string path = drive + "\\WINKVOR\\SYSTEM\\" + file_name;
  OpenTextFile(ctx, file_number, "R", path, err);
  if (err != 0) return {};
  std::string line;
  files::FileError e;
  if (ctx.text_files.AtEnd(file_number)) {
    err = 1;
  } else if (!ctx.text_files.ReadLine(file_number, line, e)) {
    ReportFileError(ctx, Failure::Read, path, e, file_name.substr(0, file_name.find('.')));
    err = 1;
  }
  CloseTextFile(ctx, file_number);
  return line;
}

}  // namespace kvor::settings
