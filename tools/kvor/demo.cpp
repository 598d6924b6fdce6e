#include "demo.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "common/cp1252.h"
#include "frame/settings.h"
#include "platform/files/drive_map.h"
#include "registers/admin.h"

namespace kvor::demo {

namespace fs = std::filesystem;

namespace {

bool WriteLines(const std::string& path, std::initializer_list<std::string> lines,
                std::string& error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const std::string& l : lines) out << l << "\r\n";
  out.flush();
  if (!out) error = "cannot write " + path;
  return static_cast<bool>(out);
}

// A stand-in for one of the suite's programs: a shell script that appends one line to the log
// (its name and arguments, plus what it was handed) and ends.
std::string StandIn(const std::string& name, const std::string& log_from_here,
                    const std::string& extra) {
  return "#!/bin/sh\n"
         "# Stand-in for the suite's program " +
         name +
         ": notes that it was started, then ends.\n"
         "here=$(cd \"$(dirname \"$0\")\" && pwd)\n"
         "log=\"$here/" +
         log_from_here +
         "\"\n"
         "{\n"
         "  printf '%s' '" +
         name +
         "'\n"
         "  for a in \"$@\"; do printf ' %s' \"$a\"; done\n" +
         extra +
         "  printf '\\n'\n"
         "} >> \"$log\"\n";
}

bool WriteScript(const std::string& path, const std::string& text, std::string& error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out || ::chmod(path.c_str(), 0755) != 0) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace

bool WriteRegisters(const std::string& dir, std::string& error) {
  files::DriveMap map;
  map.SetRoot(dir);
  recman::Engine engine([&map](const std::string& path) { return map.ToHost(path); });
  for (const registers::Layout& layout : registers::AllLayouts()) {
    const std::string path = "C:\\KVOR   \\" + layout.System() + "\\" + layout.FileName();
    if (!registers::CreateRegisterFile(engine, path, layout, error)) return false;
  }
  return true;
}

std::string HostPath(const std::string& dir, const std::string& windows_path) {
  files::DriveMap map;
  map.SetRoot(dir);
  return map.ToHost(windows_path);
}

std::string StartedLog(const std::string& dir) {
  return dir + "/C/WINKVOR/STARTAS/STARTED.LOG";
}

LinkArea MenuLinkArea(const std::string& invoice_number) {
  LinkArea l;
  l.calling_program = "TRV00377";
  l.program_to_start = "TRV00381";
  l.system_code = "TRV";
  l.company_id = "001";
  l.link_data = invoice_number;
  l.return_kind = "U";
  return l;
}

bool WriteLinkArea(const std::string& dir, const LinkArea& link, std::string& error) {
  const std::string path = HostPath(dir, "C:\\WINKVOR\\SYSTEM\\LINKAREA.DAT");
  LinkArea l = link;
  if (l.date_written.empty()) l.date_written = "2026-12-04";
  if (l.time_written.empty()) l.time_written = "08:00:00";
  return WriteLines(
      path,
      {frame::LinkAreaLine(l, 1), frame::LinkAreaLine(l, 2), frame::LinkAreaLine(l, 3),
       frame::LinkAreaLine(l, 4), frame::LinkAreaLine(l, 5), frame::LinkAreaLine(l, 6)},
      error);
}

bool WriteInstallation(const std::string& dir, std::string& error) {
  const std::string c = dir + "/C";
  std::error_code ec;
  // The data folder is "KVOR   " in DISKUNIT.DAT: seven characters, blanks included.
  for (const char* folder :
       {"WINKVOR/SYSTEM", "WINKVOR/STARTAS/WORKS", "WINKVOR/STARTAS/ERROR", "WINKVOR/TRV",
        "KVOR/BILDER", "KVOR/FAKTUROR", "KVOR/KREDITAR", "KVOR/SVF", "KVOR/SVP", "KVOR/SYS",
        "KVOR/KRK", "KVOR/VSH", "KVOR/ARV", "KVOR/SAK"}) {
    fs::create_directories(c + "/" + folder, ec);
    if (ec) {
      error = "cannot create " + c + "/" + folder + ": " + ec.message();
      return false;
    }
  }
  const std::string system = c + "/WINKVOR/SYSTEM/";
  if (!WriteLines(
          system + "DISKUNIT.DAT",
          {"KVOR DEMO A KVR", "C:", "C:", "C:", "WINKVOR", "KVOR   ", "DEMO STATION", "C:C:", "JN"},
          error))
    return false;
  if (!WriteLines(system + "LANGUAGE.DAT", {"SVENSKA", "ENGELSKA", "TYSKA", "NORSKA", "FINSKA"},
                  error))
    return false;
  if (!WriteLines(system + "COMPANYS.DAT", {"001faktura@tradgarden.example*DEMO"}, error))
    return false;
  if (!WriteLinkArea(dir, MenuLinkArea(), error)) return false;

  const std::string log_line_menu =
      "  if [ -f \"$here/../SYSTEM/LINKAREA.DAT\" ]; then printf ' | link area: '; "
      "tr '\\r\\n' '|' < \"$here/../SYSTEM/LINKAREA.DAT\"; fi\n";
  const std::string log_line_stop =
      "  if [ -n \"$KVOR_CLIPBOARD\" ] && [ -f \"$KVOR_CLIPBOARD\" ]; then printf ' | clipboard: "
      "'; "
      "tr '\\r\\n' '|' < \"$KVOR_CLIPBOARD\"; fi\n";
  if (!WriteRegisters(dir, error)) return false;
  return WriteScript(c + "/WINKVOR/TRV/TRV00377.EXE",
                     StandIn("TRV00377.EXE", "../STARTAS/STARTED.LOG", log_line_menu), error) &&
         WriteScript(c + "/WINKVOR/STARTAS/WORKS/PROGSTOP.EXE",
                     StandIn("PROGSTOP.EXE", "../STARTED.LOG", log_line_stop), error) &&
         WriteScript(c + "/WINKVOR/STARTAS/ERROR/OPENFAIL.EXE",
                     StandIn("OPENFAIL.EXE", "../STARTED.LOG", ""), error);
}

}  // namespace kvor::demo
