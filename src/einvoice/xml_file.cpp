#include "einvoice/xml_file.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "common/cp1252.h"
#include "common/input_tests.h"
#include "common/numbers.h"
#include "common/text.h"
#include "dialogs/messages.h"
#include "registers/database.h"
#include "settings/open_file.h"

namespace kvor::einvoice {

namespace {

// An element of a block, and whether its line is left out when the value is empty.
struct Element {
  const char* name;
  bool left_out_when_empty = false;
};

constexpr Element kHeaderElements[] = {
    {"H_Posttyp"},
    {"H_Typ_av_faktura"},
    {"H_S_Momsregistreringsnr"},
    {"H_S_KONTAKT_Namn"},
    {"H_S_Bankgiro", true},
    {"H_S_Postgiro", true},
    {"H_S_KONTAKT_Telefon", true},
    {"H_K_KONTAKT_Telefon", true},
    {"H_Fakturanr"},
    {"H_Fakturadatum"},
    {"H_Leveransdatum"},
    {"H_K_Identitet"},
    {"H_K_Momsregistreringsnr"},
    {"H_K_KONTAKT_Namn"},
    {"H_K_Namn"},
    {"H_K_GataBox"},
    {"H_K_Postnr"},
    {"H_K_Ort"},
    {"H_K_Land"},
    {"H_L_Namn"},
    {"H_L_Godsadress"},
    {"H_L_Postnr"},
    {"H_L_Ort"},
    {"H_L_Land"},
    {"H_Bet_Villkor_Kod"},
    {"H_Bet_Villkor_Text"},
    {"H_Forfallodatum"},
    {"H_REF_Leveransavi"},
    {"H_REF_Saljarens_bestnr"},
    {"H_REF_Koparens_referens"},
    {"H_ANM_LA1"},
    {"H_ANM_LA2"},
    {"H_Bet_Valuta"},
    {"H_Summa_Detaljrader"},
    {"H_Summa_ExklMoms"},
    {"H_MOMS_Momspliktigt_belopp1"},
    {"H_MOMS_Procent1"},
    {"H_MOMS_Momsbelopp1"},
    {"H_Oresutjamning"},
    {"H_Att_betala"},
};

// The certificate elements are written only for a certified timber row: their values are empty
// otherwise, and so are their lines.
constexpr Element kRowElements[] = {
    {"R_Posttyp"},
    {"R_Radnr"},
    {"R_Artikelnr_Saljarens"},
    {"R_Beskrivning1", true},
    {"R_Beskrivning2", true},
    {"R_Beskrivning3", true},
    {"R_Kvantitet"},
    {"R_Enhet"},
    {"R_Pris"},
    {"R_Summa"},
    {"R_CertPEFCReferenceNo", true},
    {"R_CertPEFCReferencePercent", true},
    {"R_CertFSCReferenceNo", true},
    {"R_CertFSCReferencePercent", true},
};

// Names and addresses: Swedish letters as UTF-8 pairs, "&" as "o" (nothing in the file is
// escaped, and a bare "&" would break it).
constexpr const char* kNameFields[] = {"H_K_Namn",         "H_K_GataBox",     "H_K_Ort", "H_K_Land",
                                       "H_L_Namn",         "H_L_Godsadress",  "H_L_Ort", "H_L_Land",
                                       "H_S_KONTAKT_Namn", "H_K_KONTAKT_Namn"};
constexpr const char* kHeaderTextFields[] = {"H_Bet_Villkor_Text", "H_REF_Leveransavi",
                                             "H_REF_Koparens_referens", "H_ANM_LA1"};
constexpr const char* kRowDescriptions[] = {"R_Beskrivning1", "R_Beskrivning2", "R_Beskrivning3"};

// Characters that would take the file out of its folder or that no Windows file name may hold.
constexpr std::string_view kRefusedInName = "\\/:*?\"<>|";

std::string& Value(Context& ctx, const char* element) {
  return ctx.einvoice.values[element];
}

// Runs the operation with the main window disabled.
template <typename Work>
void WithWindowDisabled(Context& ctx, Work work) {
  ctx.main.form.SetEnabled(false);
  work();
  ctx.main.form.SetEnabled(true);
}

// True for "F" and "K"; otherwise the wrong-parameter message of `operation` and indicator 1.
bool TypeAccepted(Context& ctx, const std::string& type, const std::string& operation,
                  int16_t& err) {
  if (type == "F" || type == "K") return true;
  dialogs::ShowMessage(
      ctx,
      Paragraphs("Modulen EFTKNFIL för "_w + operation + " får FELAKTIG parameter!"_w,
                 "Typen: " + type),
      dialogs::kError);
  err = 1;
  return false;
}

// The failed write of the file, told once: the file is cut off from here on.
void CutOff(Context& ctx, const files::FileError& e, int16_t& err) {
  if (!ctx.einvoice.cut_off)
    settings::ReportFileError(ctx, settings::Failure::Write, ctx.einvoice.path, e, "EftknFil");
  ctx.einvoice.cut_off = true;
  err = 1;
}

// Writes the lines to the open file; a failure gives indicator 1.
void WriteLines(Context& ctx, int file_number, std::initializer_list<std::string> lines,
                int16_t& err) {
  for (const std::string& line : lines) {
    files::FileError e;
    if (!ctx.text_files.WriteLine(file_number, line, e)) {
      CutOff(ctx, e, err);
      return;
    }
  }
}

// One block: its wrapper tags and an element a line, indented by two blanks.
void WriteBlock(Context& ctx, int file_number, const char* wrapper, const Element* begin,
                const Element* end, int16_t& err) {
  WriteLines(ctx, file_number, {"<" + std::string(wrapper) + ">"}, err);
  for (const Element* e = begin; e != end && err == 0; ++e) {
    const std::string& value = Value(ctx, e->name);
    if (value.empty() && e->left_out_when_empty) continue;
    WriteLines(ctx, file_number,
               {"  <" + std::string(e->name) + ">" + value + "</" + e->name + ">"}, err);
  }
  if (err == 0) WriteLines(ctx, file_number, {"</" + std::string(wrapper) + ">"}, err);
}

std::string Customer(Context& ctx, std::string_view field) {
  return registers::Fields(ctx, "KRK-KUND").Get(field);
}

// The customer's identity by the identity type, with the length it must have: a GLN ("G"), the
// organisation number inside the VAT number ("O"), or else the customer number as it is.
void CustomerIdentity(Context& ctx, const std::string& customer_number, std::string& identity,
                      int& expected_length) {
  const std::string kind = Customer(ctx, "KUND_P461");
  if (kind == "G") {
    const registers::Record& extra = registers::Fields(ctx, "KRK-XTRA");
    identity = RemoveBlanks(extra.Get("XTRA_P241") + extra.Get("XTRA_P243") +
                            extra.Get("XTRA_P248") + extra.Get("XTRA_P253"));
    expected_length = 13;
  } else if (kind == "O") {
    identity = RemoveBlanks(Customer(ctx, "KUND_P176") + Customer(ctx, "KUND_P182"));
    expected_length = 10;
  } else {
    identity = customer_number;
    expected_length = static_cast<int>(identity.size());
  }
}

// The customer checks before anything is written: the file type and the identity's length.
bool CustomerAccepted(Context& ctx, const std::string& customer_number) {
  const std::string file_type = Customer(ctx, "KUND_P410");
  if (file_type != "H") {
    dialogs::ShowMessage(
        ctx,
        Paragraphs(
            "För ÖVERFÖRING är KUND-koden '"_w + file_type + "' för FIL-typen EJ tillåten!"_w,
            "Skall ÄNDRAS för KUNDEN via KRK-V02 programmet!"_w, "Kund: " + customer_number),
        dialogs::kNotice);
    return false;
  }
  std::string identity;
  int expected = 0;
  CustomerIdentity(ctx, customer_number, identity, expected);
  if (static_cast<int>(identity.size()) != expected) {
    dialogs::ShowMessage(
        ctx,
        Paragraphs("Tillhörande KUND-id '"_w + customer_number + "' har EJ rätt GLN/ORG-kod!"_w,
                   "Skall ÄNDRAS för KUNDEN via KRK-V02-EV programmet!"_w,
                   "GLN/ORG-kod: " + identity + std::string(kDotSeparator) + "Längd:"_w +
                       WithSignPlace(expected)),
        dialogs::kNotice);
    return false;
  }
  Value(ctx, "H_K_Identitet") = identity;
  ctx.einvoice.expected_identity_length = expected;
  return true;
}

void CleanHeader(Context& ctx, const std::string& customer_number) {
  const auto fill = [&](const char* element, const std::string& with) {
    std::string& v = Value(ctx, element);
    if (IsBlank(v)) v = with;
  };
  fill("H_REF_Leveransavi", registers::Fields(ctx, "SVF-FTHD").Get("SPECNR"));
  fill("H_REF_Koparens_referens", customer_number);
  fill("H_ANM_LA1", ".........");
  for (const char* element : kHeaderTextFields) {
    std::string& v = Value(ctx, element);
    v = SingleBlanks(v);
    ToUtf8Letters(v);
  }
  for (const char* element : kNameFields) {
    std::string& v = Value(ctx, element);
    ToUtf8Letters(v);
    std::replace(v.begin(), v.end(), '&', 'o');
  }
  for (const char* element : {"H_S_Momsregistreringsnr", "H_K_Momsregistreringsnr"})
    Value(ctx, element) = RemoveBlanks(Value(ctx, element));
}

}  // namespace

void OpenInvoiceXml(Context& ctx, int file_number, const std::string& type,
                    const std::string& base_name, int16_t& err) {
  WithWindowDisabled(ctx, [&] {
    err = 0;
    ctx.einvoice.path.clear();
    ctx.einvoice.cut_off = false;
    if (!TypeAccepted(ctx, type, "ÖPPNA avsedd XML"_w, err)) return;
    // The name comes from register data; a separator in it would write the file elsewhere.
    if (base_name.find_first_of(kRefusedInName) != std::string::npos) {
      dialogs::ShowMessage(ctx,
                           Paragraphs("Namnet '" + base_name + "' för XML-filen är EJ tillåtet!"_w,
                                      "FÖRETAGS-id och FAKTURA-nummer får EJ innehålla tecknen "_w +
                                          std::string(kRefusedInName) + " !"),
                           dialogs::kError);
      err = 1;
      return;
    }
    ctx.einvoice.base_name = base_name;
    const std::string path =
        DataFolder(ctx) + (type == "F" ? "FAKTUROR\\" : "KREDITAR\\") + base_name + ".XML";
    settings::OpenTextFile(ctx, file_number, "W", path, err);
    if (err == 0) ctx.einvoice.path = path;
  });
}

void WriteInvoiceHeader(Context& ctx, int file_number, const std::string& type, int16_t& err) {
  WithWindowDisabled(ctx, [&] {
    err = 0;
    if (!TypeAccepted(ctx, type, "HUVUD till XML", err)) return;
    const std::string customer_number = RemoveBlanks(
        Customer(ctx, "KUND_P004") + Customer(ctx, "KUND_P006") + Customer(ctx, "KUND_P009"));
    if (!CustomerAccepted(ctx, customer_number)) {
      err = 1;
      return;
    }
    ctx.einvoice.type_code = type == "F" ? "380" : "381";
    Value(ctx, "H_Posttyp") = "H";
    Value(ctx, "H_Typ_av_faktura") = ctx.einvoice.type_code;
    CleanHeader(ctx, customer_number);
    WriteLines(ctx, file_number,
               {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "<ORNWEB>", "<FAKTURA>"}, err);
    if (err == 0)
      WriteBlock(ctx, file_number, "FAKTURAHUVUD", std::begin(kHeaderElements),
                 std::end(kHeaderElements), err);
  });
}

void WriteInvoiceRow(Context& ctx, int file_number, const std::string& type, int16_t& err) {
  WithWindowDisabled(ctx, [&] {
    err = 0;
    if (!TypeAccepted(ctx, type, "RADER till XML", err)) return;
    if (Customer(ctx, "KUND_P410") != "H") return;  // the other file types take no rows
    Value(ctx, "R_Posttyp") = "R";
    Value(ctx, "R_Radnr") = std::to_string(++ctx.einvoice.row_number);
    ToUtf8Letters(Value(ctx, "R_Artikelnr_Saljarens"));
    for (const char* element : kRowDescriptions) {
      std::string& v = Value(ctx, element);
      ToUtf8Letters(v);
      v = SingleBlanks(v);
    }
    WriteBlock(ctx, file_number, "FAKTURARAD", std::begin(kRowElements), std::end(kRowElements),
               err);
  });
}

void EndInvoiceXml(Context& ctx, int file_number, const std::string& type, int16_t& err) {
  WithWindowDisabled(ctx, [&] {
    err = 0;
    if (!TypeAccepted(ctx, type, "SLUT till XML", err)) return;
    WriteLines(ctx, file_number, {"</FAKTURA>", "</ORNWEB>"}, err);
  });
}

void CloseInvoiceXml(Context& ctx, int file_number, int16_t& err) {
  files::FileError e;
  if (!ctx.text_files.Close(file_number, e)) CutOff(ctx, e, err);
  if (ctx.einvoice.cut_off) err = 1;
}

}  // namespace kvor::einvoice
