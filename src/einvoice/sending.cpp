#include "einvoice/sending.h"

#include <cstdio>
#include <cstdlib>

#include "common/cp1252.h"
#include "common/numbers.h"
#include "common/text.h"
#include "dialogs/messages.h"
#include "platform/system/process.h"
#include "registers/database.h"
#include "registers/layouts.h"
#include "registers/readers.h"
#include "settings/open_file.h"

namespace kvor::einvoice {

namespace {

using registers::Record;

constexpr int kLogFile = 9;  // file number of the transfer log while it is appended to

// A bare interpreter name ("python3") is looked up along PATH, as a shell would; the process
// layer starts programs by their path only.
std::string InterpreterPath(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos) return name;
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = end > start ? folders.substr(start, end - start) : ".";
    if (sys::IsExecutable(folder + "/" + name)) return folder + "/" + name;
    start = end + 1;
  }
  return name;
}

std::string WithDots(std::string s) {
  for (char& c : s)
    if (c == ' ') c = kMiddleDot;
  return s;
}

// The command with one word a line, for the message of a failed script.
std::string OneWordALine(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == ' ')
      out += kLineBreak;
    else
      out += c;
  }
  return out;
}

// Windows keeps no trailing blanks in folder names: "C:\KVOR   \FAKTUROR" is C:\KVOR\FAKTUROR.
// Without them the folder is one word of the command line, as the script receives it.
std::string WithoutFolderBlanks(const std::string& path) {
  std::string out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = path.find('\\', start);
    std::string part = path.substr(start, end == std::string::npos ? end : end - start);
    while (!part.empty() && part.back() == ' ') part.pop_back();
    out += part;
    if (end == std::string::npos) return out;
    out += '\\';
    start = end + 1;
  }
}

std::string TwoDigits(int n) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", n);
  return text;
}

// One line into the transfer log: when, which invoice and file, and how the script ended. A log
// that cannot be written is told about and the send goes on.
void LogTransfer(Context& ctx, const std::string& invoice_number, int return_code) {
  const sys::LocalTime t = ctx.clock.Now();
  const std::string outcome = return_code < 0 ? "EJ STARTAD" : return_code == 0 ? "SKICKAD" : "FEL";
  const std::string line = std::to_string(t.year) + "-" + TwoDigits(t.month) + "-" +
                           TwoDigits(t.day) + " " + TwoDigits(t.hour) + ":" + TwoDigits(t.minute) +
                           ":" + TwoDigits(t.second) + ";" + invoice_number + ";" +
                           ctx.einvoice.path + ";" + std::to_string(return_code) + ";" + outcome;
  const std::string path = TransferLog(ctx);
  int16_t err = 0;
  settings::OpenTextFile(ctx, kLogFile, "A", path, err);
  if (err != 0) return;
  files::FileError e;
  bool written = ctx.text_files.WriteLine(kLogFile, line, e);
  files::FileError on_close;
  if (!ctx.text_files.Close(kLogFile, on_close) && written) {
    written = false;
    e = on_close;
  }
  if (!written) settings::ReportFileError(ctx, settings::Failure::Write, path, e, "SANDLOGG");
}

// Steps up to the run of the script. False when the flow ends before it.
bool PrepareSend(Context& ctx, std::vector<std::string>& command, std::string& invoice_number) {
  MasterWindow& m = ctx.main;
  const std::string company = Fixed(ctx.frame.company_id, 3);
  int16_t err = 0;
  registers::ReadRecord(ctx, "SVF-FTHD", company + "F" + m.TxtNmmr->Text(), registers::laser::kRead,
                        registers::kTellMissing, err);
  if (err > 0) return false;
  const Record& h = registers::Fields(ctx, "SVF-FTHD");
  invoice_number = h.Get("FAKTNR");
  const std::string file_name = ctx.einvoice.base_name + ".XML";

  if (h.Get("SKICKAD") == "J") {
    dialogs::AskQuestion(
        ctx,
        Paragraphs("För FAKTURA-nummer '"_w + invoice_number + "' har MARKERATS som SKICKAD redan!",
                   "Skall FAKTURA-filen '" + file_name + "' åter SKICKAS igen?"_w),
        0, 2);
    if (ctx.msg.answer != dialogs::kAnswerYes) return false;
  }

  registers::ReadRecord(ctx, "KRK-KUND",
                        company + h.Get("LANDKOD") + h.Get("KUNDGRUPP") + h.Get("KUNDIDENT"),
                        registers::laser::kRead, registers::kTellMissing, err);
  if (err > 0) return false;
  registers::ReadCustomerExtra(ctx, registers::FindLayout("KRK-XTRA")->channel, err);
  if (err == 1) return false;
  int16_t language = 0, second = 0;
  registers::ShowEInvoiceData(ctx, language, second);
  registers::ReadEdi(ctx, registers::FindLayout("SYS-EDIH")->channel, err);
  if (err == 1) return false;
  const Record& edi = registers::Fields(ctx, "SYS-EDIH");
  m.LblLkgln->SetText(WithDots(edi.Get("EDIH_P004")));
  m.LblFtgln->SetText(WithDots(edi.Get("EDIH_P006")));

  const std::string file_type = registers::Fields(ctx, "KRK-KUND").Get("KUND_P410");
  if (file_type != "B" && file_type != "P" && file_type != "H") return false;

  command = {UploadScript(ctx),
             RemoveBlanks(edi.Get("EDIH_P247")),
             RemoveBlanks(edi.Get("EDIH_P267")),
             RemoveBlanks(edi.Get("EDIH_P272")),
             RemoveBlanks(edi.Get("EDIH_P295")),
             WithoutFolderBlanks(DataFolder(ctx) + "FAKTUROR"),
             file_name,
             ctx.install.script_window};
  return true;
}

}  // namespace

std::string UploadScript(const Context& ctx) {
  return ctx.install.shared_drive + "\\WINKVOR\\PYCODES\\UPLOAD\\FTP-UL-ORNAB.PY";
}

std::string TransferLog(const Context& ctx) {
  return DataFolder(ctx) + "FAKTUROR\\SANDLOGG.TXT";
}

std::string CommandText(const std::vector<std::string>& command) {
  std::string text;
  for (const std::string& word : command) text += (text.empty() ? "" : " ") + word;
  return text;
}

void RunPython(Context& ctx, const std::vector<std::string>& command, int16_t window_style,
               int& return_code, int16_t& err) {
  if (ctx.install.script_window == "J") window_style = 1;
  const std::string text = CommandText(command);
  ctx.einvoice.python_command = "PYTHON.EXE " + text;

  std::vector<std::string> args;
  if (!command.empty()) args.push_back(ctx.drives.ToHost(command[0]));
  for (std::size_t i = 1; i < command.size(); ++i) args.push_back(command[i]);
  std::string why;
  // The script finds the file's folder through this program's drive map.
  return_code = sys::RunAndWait(InterpreterPath(ctx.install.python_interpreter), args,
                                {{"KVOR_DRIVES", ctx.drives.AsList()}}, why);
  ctx.einvoice.python_return_code = return_code;
  if (return_code == -1) {
    if (window_style != 0) {
      dialogs::ReportTrappedError(
          ctx,
          Paragraphs("Funktion PYTHON för '"_w + text + "' kan EJ utföras!"_w,
                     "Kräver INSTALLATION av PYTHON-programmet!"_w),
          TrappedError{"PGPYTHON", 53, ctx.install.python_interpreter + ": " + why});
    }
    err = 1;
    return;
  }
  err = 0;
  if (return_code <= 0) return;
  if (return_code <= 9) {
    dialogs::ShowMessage(
        ctx,
        Paragraphs("Modulen PGPYTHON kunde EJ utföra PYTHON-funktionen!"_w,
                   "Funktion: " + OneWordALine(text), "RETUR-kod:" + WithSignPlace(return_code)),
        dialogs::kError);
  } else if (window_style == 1 && Trim(ctx.frame.program_code) != "BACKUPIT") {
    dialogs::ShowMessage(ctx,
                         Paragraphs("Funktionen '" + text + "' kunde EJ utföras!"_w,
                                    "RETUR-kod:" + WithSignPlace(return_code)),
                         dialogs::kNotice);
  }
  err = 1;
}

void SendInvoice(Context& ctx) {
  std::vector<std::string> command;
  std::string invoice_number;
  if (!PrepareSend(ctx, command, invoice_number)) return;
  int return_code = 0;
  int16_t err = 0;
  RunPython(ctx, command, 1, return_code, err);
  LogTransfer(ctx, invoice_number, return_code);
  // The script has told of its own failure; the file may still have arrived, so the transfer
  // is reported and the invoice marked as sent either way.
  dialogs::ShowMessage(ctx,
                       Paragraphs("Aktuellt FAKTURA-nummer '" + invoice_number +
                                      "' har ÖVERFÖRTS till FTP-servern!"_w,
                                  "Fil " + ctx.einvoice.path),
                       dialogs::kInformation);
  err = 0;
  registers::WriteSentMark(ctx, registers::FindLayout("SVF-FTHD")->channel, invoice_number, err);
}

}  // namespace kvor::einvoice
