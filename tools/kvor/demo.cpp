#include "demo.h"

#include <sys/stat.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <vector>

#include "common/cp1252.h"
#include "demo_invoices.h"
#include "demo_printing.h"
#include "platform/files/drive_map.h"
#include "platform/recman/engine.h"
#include "reg.h"
#include "registers/admin.h"
#include "settings/settings.h"

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

// The installation's upload script (C:\WINKVOR\PYCODES\UPLOAD\FTP-UL-ORNAB.PY) that the send
// button runs: Python 3 with its standard library only. Written with CR LF like the other files
// of the installation.
std::string UploadScript() {
  const std::string text =
      R"PY(# FTP-UL-ORNAB.PY: sends one e-invoice file to the receiver's FTP server.
#
#   python3 FTP-UL-ORNAB.PY HOST PORT USER PASSWORD FOLDER FILE WINDOW
#
# FOLDER is the Windows path of the file's folder (C:\KVOR\FAKTUROR). Its drive letter X: is the
# folder X beside the drive this script lies on (ROOT/C/WINKVOR/PYCODES/UPLOAD/ gives ROOT/X),
# unless KVOR_DRIVES maps it ("C:=/srv/kvor/c;D:=/srv/kvor/d"). Trailing blanks of folder names
# are dropped and names are matched without regard to case, as on Windows. The file goes into
# the login folder of USER. WINDOW "J" writes each step to standard error; "N" only a failure.
#
# Exit codes:
#    0  the file was sent
#    1  wrong arguments (not seven, one of them empty, or PORT not a number)
#    2  the file is missing
#   10  the server cannot be reached (refused, unknown host, no answer)
#   11  the server refused the login
#   12  the transfer failed
import ftplib
import os
import sys


def fail(code, text):
    sys.stderr.write("FTP-UL-ORNAB: %s\n" % text)
    sys.exit(code)


def drive_folder(letter):
    for part in os.environ.get("KVOR_DRIVES", "").split(";"):
        name, _, folder = part.partition("=")
        if name.strip().upper() == letter + ":" and folder:
            return folder
    here = os.path.dirname(os.path.abspath(__file__))
    own_drive = os.path.normpath(os.path.join(here, "..", "..", ".."))
    return os.path.join(os.path.dirname(own_drive), letter)


def host_path(windows_path):
    drive, _, rest = windows_path.partition(":")
    path = drive_folder(drive.upper())
    for name in rest.replace("\\", "/").split("/"):
        name = name.rstrip(" ")
        if not name:
            continue
        exact = os.path.join(path, name)
        if not os.path.exists(exact) and os.path.isdir(path):
            same = [n for n in os.listdir(path) if n.upper() == name.upper()]
            if same:
                exact = os.path.join(path, same[0])
        path = exact
    return path


def main(args):
    if len(args) != 7 or not all(args) or not args[1].isdigit():
        fail(1, "wrong arguments: HOST PORT USER PASSWORD FOLDER FILE WINDOW")
    host, port, user, password, folder, name, window = args
    say = (lambda text: sys.stderr.write(text + "\n")) if window == "J" else (lambda text: None)
    local = host_path(folder.rstrip("\\") + "\\" + name)
    if not os.path.isfile(local):
        fail(2, "file missing: " + local)
    ftp = ftplib.FTP()
    try:
        say("connecting to %s port %s" % (host, port))
        ftp.connect(host, int(port), timeout=30)
    except (OSError, EOFError, ftplib.Error) as e:
        fail(10, "cannot reach %s port %s: %s" % (host, port, e))
    try:
        say("logging in as " + user)
        ftp.login(user, password)
    except (OSError, EOFError, ftplib.Error) as e:
        fail(11, "login refused: %s" % e)
    try:
        say("sending " + local)
        with open(local, "rb") as f:
            ftp.storbinary("STOR " + name, f)
        ftp.quit()
    except (OSError, EOFError, ftplib.Error) as e:
        fail(12, "transfer failed: %s" % e)
    say("sent " + name)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
)PY";
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return crlf;
}

// The sample company's register records, one entry a record: the register, then field = value.
// Fields not named are blank. Invoices, customers and their rows are not part of it yet.
struct DemoRecord {
  const char* code;
  std::vector<reg::Assignment> fields;
};

std::vector<DemoRecord> CompanyRecords() {
  return {
      {"SYS-FRTG",
       {{"FRTG_P001", "001"},
        {"FRTG_P004", "Trädgårdens Sågverk AB"_w},
        {"FRTG_P029", "SE"},  // VAT number SE 556677-8899 01
        {"FRTG_P031", "556677"},
        {"FRTG_P037", "8899"},
        {"FRTG_P041", "01"},
        {"FRTG_P043", "J"},  // holds F-tax
        {"FRTG_P044", "Sågvägen 12"_w},
        {"FRTG_P069", "352 46 Växjö"_w},
        {"FRTG_P094", "Sverige"},
        {"FRTG_P114", "Karin Lindqvist"},
        {"FRTG_P134", "info@tradgarden.se"},  // the company text of the foot
        {"FRTG_P175", "N"},
        {"FRTG_P176", "J"},
        {"FRTG_P177", "F"},
        {"FRTG_P178", "B"},
        {"FRTG_P179", "X"},
        {"FRTG_P183", "0470-123 45"},
        {"FRTG_P198", "070-312 45 67"},
        {"FRTG_P213", "0000000000"},
        {"FRTG_P299", "0001"},  // bank code: SYS-BANK 001 0001
        {"FRTG_P367", "J"},
        {"FRTG_P368", "J"},
        {"FRTG_P369", "N"},
        {"FRTG_P370", "J"},
        {"FRTG_P371", "N"},
        {"FRTG_P372", "SE"},  // the company's currency, as the invoices' two-character code
        {"FRTG_P374", "J"},
        {"FRTG_P376", "N"},
        {"FRTG_P377", "N"},
        {"FRTG_P388", "5050-1055"},  // bank giro
        {"FRTG_P401", "4711-2345"},  // plus giro
        {"FRTG_P425", "N"},
        {"FRTG_P426", "0"},
        {"FRTG_P427", "0"},
        {"FRTG_P428", "0"},
        {"FRTG_P429", "N"},
        {"FRTG_P430", "J"},
        {"FRTG_P445", "N"},
        {"FRTG_P462", "N"},
        {"FRTG_P463", "N"},
        {"FRTG_P464", "N"},
        {"FRTG_P465", "N"},
        {"FRTG_P469", "J"},
        {"FRTG_P470", "F"},
        {"FRTG_P471", "N"},
        {"FRTG_P473", "tradgarden.se"},  // the foot prints it after "www."
        {"FRTG_P491", "N"},
        {"FRTG_P492", "N"}}},
      {"SYS-BANK",
       {{"BANK_P001", "001"},
        {"BANK_P004", "0001"},
        {"BANK_P008", "6"},  // account: 6-123456789
        {"BANK_P009", "SMBKSESS"},
        {"BANK_P017", "Smålandsbanken Växjö"_w},
        {"BANK_P122", "123456789"}}},
      // IBAN by currency: the company's own (SE) and euro (EU).
      {"SYS-IBAN",
       {{"IBAN_P001", "001"},
        {"IBAN_P004", "SE"},
        {"IBAN_P006", "SE"},
        {"IBAN_P008", "45"},
        {"IBAN_P010", "5000 0000 0583 9825 7466"}}},
      {"SYS-IBAN",
       {{"IBAN_P001", "001"},
        {"IBAN_P004", "EU"},
        {"IBAN_P006", "SE"},
        {"IBAN_P008", "64"},
        {"IBAN_P010", "5000 0000 0583 9825 7512"}}},
      // Print code "FT": the invoice print's settings.
      {"SYS-DATA",
       {{"SYSDATA_P001", "001"},
        {"SYSDATA_P004", "FT"},
        {"SYSDATA_P006", "Virke från skogarna i Småland sedan 1921"_w},
        {"SYSDATA_P054", "J"},  // logo
        {"SYSDATA_P055", "N"},
        {"SYSDATA_P056", "1"},
        {"SYSDATA_P058", "R"},  // the invoice date is printed
        {"SYSDATA_P059", "J"},
        {"SYSDATA_P060", "J"},
        {"SYSDATA_P061", "1"},  // one copy after the first print
        {"SYSDATA_P062", "0"},
        {"SYSDATA_P063", "0"},
        {"SYSDATA_P064", "N"}}},
      // Business areas: invoicing ("F" + "OTK", read at start-up) and the currencies ("VK" +
      // the invoices' two-character code), each with its three-letter designation.
      {"VSH-DATA",
       {{"VSHDATA_P001", "FOTK"}, {"VSHDATA_P017", "Kundfakturor"}, {"VSHDATA_P044", "20220101"}}},
      {"VSH-DATA",
       {{"VSHDATA_P001", "VKSE"},
        {"VSHDATA_P005", "1.00000"},
        {"VSHDATA_P012", "SEK"},
        {"VSHDATA_P015", "SE"},
        {"VSHDATA_P017", "Svenska kronor"},
        {"VSHDATA_P037", "N"},
        {"VSHDATA_P038", "SE"},
        {"VSHDATA_P040", "0752"},
        {"VSHDATA_P044", "20220101"}}},
      {"VSH-DATA",
       {{"VSHDATA_P001", "VKEU"},
        {"VSHDATA_P005", "11.4500"},
        {"VSHDATA_P012", "EUR"},
        {"VSHDATA_P015", "EU"},
        {"VSHDATA_P017", "Euro"},
        {"VSHDATA_P037", "J"},
        {"VSHDATA_P038", "EU"},
        {"VSHDATA_P040", "0978"},
        {"VSHDATA_P044", "20220101"}}},
      // Length table "L" "0001": 15 rows of three columns, lengths in millimetres from 1800 to 9900
      // (the last two places unused).
      {"SVP-LFID",
       {{"LFID_P001", "001"},  {"LFID_P004", "L"},    {"LFID_P005", "0001"}, {"LFID_P009", "1800"},
        {"LFID_P013", "2100"}, {"LFID_P017", "2400"}, {"LFID_P021", "2700"}, {"LFID_P025", "3000"},
        {"LFID_P029", "3300"}, {"LFID_P033", "3600"}, {"LFID_P037", "3900"}, {"LFID_P041", "4200"},
        {"LFID_P045", "4500"}, {"LFID_P049", "4800"}, {"LFID_P053", "5100"}, {"LFID_P057", "5400"},
        {"LFID_P061", "5700"}, {"LFID_P065", "6000"}, {"LFID_P069", "1950"}, {"LFID_P073", "2250"},
        {"LFID_P077", "2550"}, {"LFID_P081", "2850"}, {"LFID_P085", "3150"}, {"LFID_P089", "3450"},
        {"LFID_P093", "3750"}, {"LFID_P097", "4050"}, {"LFID_P101", "4350"}, {"LFID_P105", "4650"},
        {"LFID_P109", "4950"}, {"LFID_P113", "5250"}, {"LFID_P117", "5550"}, {"LFID_P121", "5850"},
        {"LFID_P125", "6150"}, {"LFID_P129", "6300"}, {"LFID_P133", "6600"}, {"LFID_P137", "6900"},
        {"LFID_P141", "7200"}, {"LFID_P145", "7500"}, {"LFID_P149", "7800"}, {"LFID_P153", "8100"},
        {"LFID_P157", "8400"}, {"LFID_P161", "8700"}, {"LFID_P165", "9000"}, {"LFID_P169", "9300"},
        {"LFID_P173", "9600"}, {"LFID_P177", "9900"}, {"LFID_P181", "0000"}, {"LFID_P185", "0000"},
        {"LFID_P189", "3"},    {"LFID_P190", "3"},    {"LFID_P191", "L"},    {"LFID_P192", "N"},
        {"LFID_P193", "1800"}, {"LFID_P197", "9900"}, {"LFID_P219", "J"},    {"LFID_P220", "  5"},
        {"LFID_P223", "150"},  {"LFID_P226", "  9"},  {"LFID_P229", "300"}}},
  };
}

// The printed captions (VSH-TEXT) in Swedish, English and German: key, then languages 0 to 2.
struct Caption {
  const char* key;
  std::string_view sv, en, de;
};

const Caption kCaptions[] = {
    // Page head
    {"005", "FAKTURA", "INVOICE", "RECHNUNG"},
    {"011", "Fakturadatum", "Invoice date", "Rechnungsdatum"},
    {"051", "Sida", "Page", "Seite"},
    {"053", "Er referens", "Your reference", "Ihre Referenz"},
    {"033", "Säljare"_w, "Salesperson", "Verkäufer"_w},
    {"014", "Leveransadress", "Delivery address", "Lieferadresse"},
    {"015", "Fakturaadress", "Invoice address", "Rechnungsadresse"},
    {"099", "FAS-belopp", "FAS amount", "FAS-Betrag"},
    {"094", "ORIGINAL", "ORIGINAL", "ORIGINAL"},
    {"095", "Kopia", "Copy", "Kopie"},
    // First-page blocks
    {"021", "Betalningsvillkor", "Terms of payment", "Zahlungsbedingungen"},
    {"052", "Förfallodatum"_w, "Due date", "Fälligkeitsdatum"_w},
    {"022", "Ert ordernummer", "Your order number", "Ihre Bestellnummer"},
    {"017", "Vårt ordernummer"_w, "Our order number", "Unsere Auftragsnummer"},
    {"023", "Ert kontrakt", "Your contract", "Ihr Vertrag"},
    {"018", "Leveransvillkor", "Terms of delivery", "Lieferbedingungen"},
    {"028", "Anmärkning"_w, "Remarks", "Bemerkung"},
    {"027", "Valuta", "Currency", "Währung"_w},
    {"012", "Kund", "Customer", "Kunde"},
    {"024", "Telefon", "Telephone", "Telefon"},
    {"026", "E-post", "E-mail", "E-Mail"},
    {"025", "Mobiltelefon", "Mobile phone", "Mobiltelefon"},
    {"106", "Fartyg", "Vessel", "Schiff"},
    {"097", "SPECIFIKATION", "SPECIFICATION", "SPEZIFIKATION"},
    {"079", "Specifikationsnr", "Specification no.", "Spezifikationsnr."},
    // Row columns, and the deduction line of a row ("101" + "102")
    {"055", "Benämning"_w, "Description", "Bezeichnung"},
    {"043", "Längd"_w, "Length", "Länge"_w},
    {"101", "Avdrag", "Deduction", "Abzug"},
    {"102", "Vrak", "Reject", "Ausschuss"},
    {"061", "Pris", "Price", "Preis"},
    {"113", "Kvantitet", "Quantity", "Menge"},
    {"062", "Enhet", "Unit", "Einheit"},
    {"065", "Rabatt", "Discount", "Rabatt"},
    {"063", "Belopp", "Amount", "Betrag"},
    // Totals block
    {"046", "Valutabelopp", "Currency amount", "Währungsbetrag"_w},
    {"035", "Netto", "Net amount", "Nettobetrag"},
    {"036", "Moms", "VAT", "MwSt."},
    {"037", "Öresavrundning"_w, "Rounding", "Rundung"},
    {"038", "Att betala", "Amount due", "Zu zahlen"},
    {"039", "Transport", "Carried forward", "Übertrag"_w},
    // Company foot
    {"091", "Momsreg.nr", "VAT reg. no.", "USt-IdNr."},
    {"092", "Bankgiro", "Bank giro", "Bankgiro"},
    {"093", "Plusgiro", "Plus giro", "Plusgiro"},
    {"103", "Org.nr", "Reg. no.", "Handelsreg.-Nr."},
};

std::vector<DemoRecord> CaptionRecords() {
  std::vector<DemoRecord> out;
  for (const Caption& c : kCaptions) {
    const std::string key = c.key;
    out.push_back({"VSH-TEXT",
                   {{"VSHTEXT_P001", key.substr(0, 2)},
                    {"VSHTEXT_P003", key.substr(2)},
                    {"VSHTEXT_P004", std::string(c.sv)},
                    {"VSHTEXT_P028", std::string(c.en)},
                    {"VSHTEXT_P052", std::string(c.de)}}});
  }
  return out;
}

}  // namespace

bool WriteRegisters(const std::string& dir, std::string& error, const std::string& registers) {
  files::DriveMap map;
  map.SetRoot(dir);
  recman::Engine engine([&map](const std::string& path) { return map.ToHost(path); }, registers);
  auto path_of = [](const registers::Layout& layout) {
    return "C:\\KVOR   \\" + layout.System() + "\\" + layout.FileName();
  };
  for (const registers::Layout& layout : registers::AllLayouts())
    if (!registers::CreateRegisterFile(engine, path_of(layout), layout, error)) return false;
  std::vector<DemoRecord> records = CompanyRecords();
  for (DemoRecord& caption : CaptionRecords()) records.push_back(std::move(caption));
  for (SampleRecord& r : InvoiceRecords()) records.push_back({r.code, std::move(r.fields)});

  // One handle a register for all its records: every open and close of a file costs a
  // checkpoint of its log, which would make the sample many times slower to write.
  for (const registers::Layout& layout : registers::AllLayouts()) {
    std::array<char, recman::kPositionBlockSize> block;
    block.fill(' ');
    std::string name = path_of(layout);
    name.resize(255, ' ');
    char stat[recman::kStatSize] = {};
    uint16_t length = sizeof stat;
    int16_t status =
        engine.Call(recman::op::kOpen, block.data(), stat, length, name.data(), 255, -32);
    for (const DemoRecord& demo : records) {
      if (status != recman::status::kOk) break;
      if (layout.code != std::string_view(demo.code)) continue;
      std::string record;
      if (!reg::SetFields(layout, demo.fields, record, error)) {
        error = std::string("sample ") + demo.code + ": " + error;
        return false;
      }
      std::string key(layout.key_length, ' ');
      length = static_cast<uint16_t>(record.size());
      status = engine.Call(recman::op::kInsert, block.data(), record.data(), length, key.data(),
                           static_cast<uint8_t>(layout.key_length), 0);
    }
    if (status != recman::status::kOk) {
      error = std::string("cannot write the sample records of ") + layout.code + ": status " +
              std::to_string(status);
      return false;
    }
    length = 0;
    engine.Call(recman::op::kClose, block.data(), nullptr, length, nullptr, 0, 0);
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
      {settings::LinkAreaLine(l, 1), settings::LinkAreaLine(l, 2), settings::LinkAreaLine(l, 3),
       settings::LinkAreaLine(l, 4), settings::LinkAreaLine(l, 5), settings::LinkAreaLine(l, 6)},
      error);
}

bool WriteInstallation(const std::string& dir, std::string& error, const std::string& registers) {
  const std::string c = dir + "/C";
  std::error_code ec;
  // The data folder is "KVOR   " in DISKUNIT.DAT: seven characters, blanks included.
  for (const char* folder :
       {"WINKVOR/SYSTEM", "WINKVOR/STARTAS/WORKS", "WINKVOR/STARTAS/ERROR", "WINKVOR/TRV",
        "WINKVOR/PYCODES/UPLOAD", "KVOR/BILDER", "KVOR/FAKTUROR", "KVOR/KREDITAR", "KVOR/SVF",
        "KVOR/SVP", "KVOR/SYS", "KVOR/KRK", "KVOR/VSH", "KVOR/ARV", "KVOR/SAK"}) {
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
  if (!WritePrinting(dir, error)) return false;

  const std::string log_line_menu =
      "  if [ -f \"$here/../SYSTEM/LINKAREA.DAT\" ]; then printf ' | link area: '; "
      "tr '\\r\\n' '|' < \"$here/../SYSTEM/LINKAREA.DAT\"; fi\n";
  const std::string log_line_stop =
      "  if [ -n \"$KVOR_CLIPBOARD\" ] && [ -f \"$KVOR_CLIPBOARD\" ]; then printf ' | clipboard: "
      "'; "
      "tr '\\r\\n' '|' < \"$KVOR_CLIPBOARD\"; fi\n";
  if (!WriteRegisters(dir, error, registers)) return false;
  return WriteScript(c + "/WINKVOR/PYCODES/UPLOAD/FTP-UL-ORNAB.PY", UploadScript(), error) &&
         WriteScript(c + "/WINKVOR/TRV/TRV00377.EXE",
                     StandIn("TRV00377.EXE", "../STARTAS/STARTED.LOG", log_line_menu), error) &&
         WriteScript(c + "/WINKVOR/STARTAS/WORKS/PROGSTOP.EXE",
                     StandIn("PROGSTOP.EXE", "../STARTED.LOG", log_line_stop), error) &&
         WriteScript(c + "/WINKVOR/STARTAS/ERROR/OPENFAIL.EXE",
                     StandIn("OPENFAIL.EXE", "../STARTED.LOG", ""), error);
}

}  // namespace kvor::demo
