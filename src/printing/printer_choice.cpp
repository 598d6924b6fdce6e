#include "printing/printer_choice.h"

#include "common/cp1252.h"
#include "common/numbers.h"
#include "common/text.h"
#include "dialogs/messages.h"
#include "platform/printer/printer_set.h"
#include "printing/page_engine.h"
#include "settings/open_file.h"

namespace kvor::printing {

namespace {

constexpr int kTableFile = 1;

// The printer code "01" to "15" at the start of a line of the printer table; 0 for anything else.
int PrinterCode(const std::string& line) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (line.size() < 2 || !digit(line[0]) || !digit(line[1])) return 0;
  const int code = (line[0] - '0') * 10 + (line[1] - '0');
  return code >= 1 && code <= 15 ? code : 0;
}

constexpr forms::Color kListPrompt = 0xFFFF00;
constexpr forms::Color kListBusy = 0xFFFFC0;
constexpr forms::Color kListNoPrinterOff = 0xEBEBEB;
constexpr forms::Color kListNoPrinterOn = 0xC00000;

}  // namespace

void LoadPrinterTable(Context& ctx, int16_t& err) {
  err = 0;
  DisablePrintControls(ctx);
  ctx.print.table.fill("");
  const std::string path = SystemFolder(ctx) + "SKRIVARE.DAT";
  settings::OpenTextFile(ctx, kTableFile, "R", path, err);
  if (err != 0) return;
  std::string line;
  files::FileError e;
  while (!ctx.text_files.AtEnd(kTableFile)) {
    if (!ctx.text_files.ReadLine(kTableFile, line, e)) {
      settings::CloseTextFile(ctx, kTableFile);
      dialogs::ReportError(ctx, Paragraphs("Filen '" + path + "' kan EJ läsas!"_w,
                                           "Modulen: PRINTSET", e.description));
      err = 1;
      return;
    }
    if (line.size() > 4) {
      const int code = PrinterCode(line);
      if (code > 0) {
        ctx.print.table[code] = line.substr(2);
      } else {
        dialogs::ShowMessage(
            ctx,
            Paragraphs("Filen '" + path + "' måste UPPDATERAS via SIP-menyns SKRIVARE-program!"_w,
                       "Data: " + line),
            dialogs::kNotice);
        // The suite's printer set-up program reads the file with this routine and reads on.
        if (ctx.frame.program_code != "SKRIVARE") {
          settings::CloseTextFile(ctx, kTableFile);
          err = 1;
          return;
        }
      }
    }
    dialogs::DoEvents(ctx);
  }
  settings::CloseTextFile(ctx, kTableFile);
}

void ListPrinters(Context& ctx, int16_t& err) {
  PrintState& p = ctx.print;
  std::vector<std::string> names;
  try {
    if (!p.printers) {
      const std::string folder =
          !p.pdf_folder.empty() ? p.pdf_folder : ctx.drives.ToHost(DataFolder(ctx) + "UTSKRIFT");
      p.printers = std::make_shared<printer::PrinterSet>(folder, p.system_printers);
      // PDF files are named by the program's date, which --today may fix.
      p.printers->SetClock([&clock = ctx.clock] { return clock.Seconds(); });
      if (p.prepare_printers) p.prepare_printers(*p.printers);
    }
    names = p.printers->DeviceNames();
  } catch (const printer::Fault& fault) {
    dialogs::ReportTrappedError(
        ctx,
        Paragraphs("Tilldela VAL av SKRIVARE kan EJ utföras!"_w,
                   "SKRIVAR-antal:" + WithSignPlace(p.installed.size()), "Modulen: PRINTSET"),
        TrappedOf(ctx, fault));
    err = 1;
    return;
  }
  if (names.empty()) {
    dialogs::ShowMessage(ctx,
                         Paragraphs("Inga SKRIVARE finns INSTALLERADE för ARBETS-stationen!"_w,
                                    "Utför INSTALLATION av SKRIVARE via WINDOWS-funktion!"_w),
                         dialogs::kError);
    p.installed.clear();
    err = 1;
    return;
  }
  err = 0;
  p.installed = names;
  ctx.main.CboPrnt->ClearItems();
  for (const std::string& name : names) ctx.main.CboPrnt->AddItem(name);
  ctx.main.LblLine->SetText(std::to_string(names.size()));
  dialogs::Pause(ctx, 1);
  ctx.main.LblLine->SetText("");
}

void ChoosePrinterByCode(Context& ctx, int16_t code, int16_t& err) {
  if (code < 1 || code > 15) {
    dialogs::ReportError(
        ctx, Paragraphs("Angiven KOD för VAL av SKRIVARE får FELAKTIG parameter!"_w,
                        "SKRIVAR-valet:" + WithSignPlace(code) + std::string(kDotSeparator) +
                            "Modulen: PRINTSET"));
    err = 1;
    return;
  }
  err = 0;
  ctx.main.CboPrnt->SetText(ctx.print.table[code]);
  ctx.print.current_code = code;
}

int16_t InstalledPrinterCount(const Context& ctx) {
  return static_cast<int16_t>(ctx.print.installed.size());
}

void PromptPrinterChoice(Context& ctx, const std::string& job_name) {
  MasterWindow& m = ctx.main;
  m.Mf->SetText("Välj SKRIVARE med [UPP]/[NER] för "_w + job_name + "-utskrift!");
  m.CboPrnt->SetBackColor(kListPrompt);
  m.CmdKlar->Enable(false, colour::kButtonOff);
  ctx.print.chosen_name = m.CboPrnt->Text();
}

void RefuseTypedPrinter(Context& ctx) {
  dialogs::ShowMessage(ctx, "Tillåter ENDAST att VÄLJA visade SKRIVAR-val!"_w, dialogs::kNotice);
  // Put back without raising the refusal a second time.
  const int16_t suppressed = ctx.frame.events_suppressed;
  ctx.frame.events_suppressed = 1;
  const int16_t code = ctx.print.current_code;
  ctx.main.CboPrnt->SetText(code >= 1 && code <= 15 ? ctx.print.table[code] : "");
  ctx.frame.events_suppressed = suppressed;
  EnablePrintControls(ctx);
  ctx.main.CboPrnt->SetFocus();
}

void ApplyPrinterChoice(Context& ctx, int16_t& err) {
  MasterWindow& m = ctx.main;
  PrintState& p = ctx.print;
  p.chosen_name = RemoveBlanks(Upper(m.CboPrnt->Text()));
  m.form.SetEnabled(false);
  err = 1;
  for (const std::string& name : p.installed) {
    if (RemoveBlanks(Upper(name)) != p.chosen_name) continue;
    p.device = name;
    ResetCounters(ctx);
    err = 0;
    break;
  }
  if (err != 0) {
    dialogs::ShowMessage(ctx,
                         Paragraphs("Vald SKRIVARE fick EJ någon TRÄFF på INSTALLERADE skrivare!"_w,
                                    "Gör KONTROLL av SKRIVARE via SKRIVAR-programmet!"_w),
                         dialogs::kNotice);
  }
  ctx.frame.idle_counter = 0;
  EnablePrintControls(ctx);
  m.form.SetEnabled(true);
  dialogs::DoEvents(ctx);
}

void DisablePrintControls(Context& ctx) {
  MasterWindow& m = ctx.main;
  m.CmdBryt->Enable(false, colour::kButtonOff);
  m.CboPrnt->Enable(false, ctx.print.installed.empty() ? kListNoPrinterOff : kListBusy);
}

void EnablePrintControls(Context& ctx) {
  MasterWindow& m = ctx.main;
  m.CmdBryt->Enable(true, colour::kStopOn);
  m.CboPrnt->Enable(true, ctx.print.installed.empty() ? kListNoPrinterOn : colour::kFieldOn);
}

void CancelQuestion(Context& ctx, int16_t& err) {
  MasterWindow& m = ctx.main;
  dialogs::KeepStatusText(ctx);
  m.Mf->SetText("Besvara VISAT meddelande!");
  m.Mf->SetForeColor(0x000000);
  m.Mb->SetBackColor(colour::kStopOn);
  const std::string title = Upper(m.CboPrnt->Text());
  const std::string text = "Skall AVBRYT pågående UTSKRIFT utföras?"_w;
  ctx.transcript.Box(title, text);
  const forms::BoxAnswer a = ctx.ui.MessageBox(title, text, forms::BoxButtons::YesNo,
                                               forms::BoxIcon::Question, forms::BoxAnswer::No);
  dialogs::RestoreStatusLine(ctx);
  if (a != forms::BoxAnswer::Yes) {
    err = 0;
    return;
  }
  m.CmdBryt->Enable(false, colour::kButtonOff);
  ctx.frame.stop = 1;
  ctx.msg.wait_flag = 0;
  ctx.print.job_begun = 0;
  ctx.frame.print_busy = 0;
  err = 1;
}

}  // namespace kvor::printing
