#include "registers/readers.h"

#include <string_view>

#include "common/cp1252.h"
#include "common/input_tests.h"
#include "common/numbers.h"
#include "common/text.h"
#include "dialogs/messages.h"
#include "registers/database.h"

namespace kvor::registers {

namespace {

namespace st = recman::status;

const Layout& LayoutOf(std::string_view code) {
  return *FindLayout(code);
}

std::string CompanyId(const Context& ctx) {
  return Fixed(ctx.frame.company_id, 3);
}

char Char(const Record& r, int position) {
  return r.At(position, 1)[0];
}
void Put(Record& r, int position, char c) {
  r.SetAt(position, 1, std::string(1, c));
}

// A one-character setting outside `allowed` becomes `fallback`.
void Restrict(Record& r, int position, std::string_view allowed, char fallback) {
  const char c = Char(r, position);
  if (allowed.find(c) == std::string_view::npos) Put(r, position, fallback);
}

// Blanks of a code shown as middle dots, so that an empty part can be seen in a message.
std::string Dotted(std::string text) {
  for (char& c : text)
    if (c == ' ') c = kMiddleDot;
  return text;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Digits with blanks around them and nothing else.
bool IsWholeNumber(std::string_view text) {
  const std::string t = Trim(text);
  return !t.empty() && t.find_first_not_of("0123456789") == std::string::npos;
}

// The reader routines' read: read equal straight through the channel layer. Returns STATUSKOD.
// The key also goes where a status error looks for the key of the failed read.
int16_t ReadEqual(Context& ctx, int16_t channel, const std::string& key, int16_t meddela) {
  Database& db = Db(ctx);
  std::string k = key;
  db.kanal = channel;
  db.subio_key = key;
  db.statuskod = wrard::kGetEqual;
  BTRWRARD(ctx, k, db.statuskod, channel, meddela);
  return db.statuskod;
}

bool NotFound(Context& ctx) {
  return Db(ctx).statuskod == st::kKeyNotFound;
}

// --- SYS-FRTG -----------------------------------------------------------------------------------

struct OneCharSetting {
  int16_t position;
  const char* allowed;
  char fallback;
};

constexpr OneCharSetting kCompanySettings[] = {
    {43, "JN", 'N'},      {175, "PBF", 'N'},      {176, "JN", 'J'}, {177, "HMF", 'F'},
    {178, "AN", 'B'},     {179, "VGBN", 'X'},     {367, "JN", 'J'}, {368, "JN", 'J'},
    {369, "JN", 'N'},     {370, "JN", 'J'},       {371, "JN", 'N'}, {374, "JN", 'J'},
    {376, "JN", 'N'},     {377, "JN", 'N'},       {425, "JN", 'N'}, {426, "012345", '0'},
    {427, "012345", '0'}, {428, "01234567", '0'}, {429, "JN", 'N'}, {430, "JN", 'J'},
    {445, "JN", 'N'},     {462, "JN", 'N'},       {463, "JN", 'N'}, {464, "JN", 'N'},
    {465, "JN", 'N'},     {469, "JN", 'J'},       {471, "JN", 'N'}, {491, "JN", 'N'},
    {492, "JN", 'N'},
};

// Position 470 follows the first of the ten settings cells of FRTG_P213: "N" while that cell is
// not above "0".
constexpr int kCellOf470 = 0;

// The company's master setting is FRTG_P176: when it is "N" the article settings 425, 429 and 430
// are set to "N" together, the minimum article length 428 to "0", and 178 to "X".
constexpr int kMasterSetting = 176;

void NormaliseCompany(Record& r, const CompanySettings& settings) {
  for (const OneCharSetting& s : kCompanySettings) Restrict(r, s.position, s.allowed, s.fallback);
  if (settings.cells[kCellOf470] <= '0') {
    Put(r, 470, 'N');
  } else {
    Restrict(r, 470, "KF", 'F');
  }
  if (Char(r, kMasterSetting) == 'N') {
    for (int position : {425, 429, 430}) Put(r, position, 'N');
    Put(r, 428, '0');
    Put(r, 178, 'X');
  }
}

// --- SYS-DATA -----------------------------------------------------------------------------------

void NormalisePrintSettings(Record& r) {
  Restrict(r, 54, "JN", 'N');
  Restrict(r, 55, "JN", 'N');
  Restrict(r, 56, "01234", '1');
  Restrict(r, 58, "RU", 'R');
  Restrict(r, 59, "JN", 'J');
  Restrict(r, 60, "JN", 'J');
  Restrict(r, 61, "0123", '0');
  Restrict(r, 62, "0123", '0');
  Restrict(r, 63, "012", '0');
  Restrict(r, 64, "JN", 'N');
  if (Char(r, 60) == 'N') Put(r, 64, 'N');
  // The company name is printed in the head only where no logo is, and only when position 56
  // asks for it (any digit above "0").
  Put(r, 57, Char(r, 54) == 'N' && Char(r, 56) > '0' ? 'J' : 'N');
}

// --- KRK-XTRA -----------------------------------------------------------------------------------

// The company's J/N setting that decides the customer extra defaults: FRTG_P469.
constexpr int kExtraSettingsFlag = 469;
constexpr int kThirdCell = 215;  // the third of the ten settings of FRTG_P213

constexpr int kExtraFlags[] = {47, 48, 55, 56, 57, 232, 233, 234, 235, 236, 237, 239};
constexpr char kExtraDigitDefaults[] = {'4', '1', '3', '3'};  // positions 308 to 311

// A percentage counts when it is a whole number from 0 to 100.
bool IsPercentage(std::string_view text) {
  return IsWholeNumber(text) && NumericValue(text) <= 100;
}

void DefaultCustomerExtra(Record& x, bool settings_on, char third_cell) {
  for (int position : kExtraFlags) Put(x, position, 'N');
  Put(x, 238, '0');
  Put(x, 240, '0');
  if (settings_on) {
    for (int i = 0; i < 4; ++i) Put(x, 308 + i, kExtraDigitDefaults[i]);
    Put(x, 312, third_cell);
    x.SetAt(224, 3, "100");
  } else {
    for (int position = 308; position <= 312; ++position) Put(x, position, '0');
    x.SetAt(224, 3, "");
  }
}

// A found record keeps every setting that is valid and gets the missing-record default for each
// one that is not: J/N flags "N", the digits 238 and 240 "0", the setting digits 308 to 312 their
// defaults, the percentage "100" (or blanks while the company setting is off), and position 218
// keeps six digits or becomes blanks.
void AdjustCustomerExtra(Record& x, bool settings_on, char third_cell) {
  for (int position : kExtraFlags) Restrict(x, position, "JN", 'N');
  Restrict(x, 238, "0123456789", '0');
  Restrict(x, 240, "0123456789", '0');
  if (x.At(218, 6).find_first_not_of("0123456789") != std::string::npos) x.SetAt(218, 6, "");
  const std::string percentage = x.At(224, 3);
  if (settings_on ? !IsPercentage(percentage) : !IsBlank(percentage) && !IsPercentage(percentage)) {
    x.SetAt(224, 3, settings_on ? "100" : "");
  }
  for (int i = 0; i < 4; ++i)
    Restrict(x, 308 + i, "0123456789", settings_on ? kExtraDigitDefaults[i] : '0');
  Restrict(x, 312, "0123456789", settings_on && IsDigit(third_cell) ? third_cell : '0');
}

// --- SVP-LFID -----------------------------------------------------------------------------------

// A table number counts when it is a whole number from 1 to 999; the lower of a pair must not
// be above the upper one, else both get their defaults.
bool IsTableNumber(std::string_view text) {
  return IsWholeNumber(text) && NumericValue(text) >= 1;
}

void RestrictPair(Record& r, int low, const char* low_default, int high, const char* high_default) {
  if (!IsTableNumber(r.At(low, 3))) r.SetAt(low, 3, low_default);
  if (!IsTableNumber(r.At(high, 3))) r.SetAt(high, 3, high_default);
  if (NumericValue(r.At(low, 3)) > NumericValue(r.At(high, 3))) {
    r.SetAt(low, 3, low_default);
    r.SetAt(high, 3, high_default);
  }
}

void NormaliseLengthTable(Record& r) {
  Restrict(r, 189, "13", '3');
  Restrict(r, 190, "01234", '3');
  Restrict(r, 191, "LGFBN", 'N');
  Restrict(r, 192, "JN", 'N');
  Put(r, 219, Char(r, 189) == '1' ? 'N' : 'J');
  RestrictPair(r, 220, "  5", 223, "150");
  RestrictPair(r, 226, "  9", 229, "300");
}

}  // namespace

LengthTable::LengthTable() {
  for (auto& row : rows) row.fill(std::string(4, ' '));
}

std::string LengthTable::Entry(int index) const {
  if (index < 1 || index > 45) return std::string(4, ' ');
  return rows[(index - 1) / 3][(index - 1) % 3];
}

// --- Customer and company ---------------------------------------------------------------------

void ReadCompany(Context& ctx, int16_t channel, CompanySettings& settings, int16_t& err) {
  const Layout& layout = LayoutOf("SYS-FRTG");
  if (!CheckChannel(ctx, channel, layout.FileName())) {
    err = 1;
    return;
  }
  settings = CompanySettings{};
  if (ReadEqual(ctx, channel, CompanyId(ctx), kTellMissing) != 0) {
    // The channel layer has told the user. Without its company no invoice can be printed, so the
    // start-up is stopped.
    Clear(ctx, layout);
    err = 1;
    return;
  }
  Transfer(ctx, layout);
  Record& r = Fields(ctx, "SYS-FRTG");
  for (int i = 0; i < 10; ++i) settings.cells[i] = Char(r, 213 + i);
  NormaliseCompany(r, settings);
  ctx.main.LblFtgid->SetText(r.Get("FRTG_P001"));
  ctx.main.LblFnamn->SetText(Upper(Trim(r.Get("FRTG_P004"))));
  settings.setting_426 = static_cast<int16_t>(Char(r, 426) - '0');
  settings.setting_427 = static_cast<int16_t>(Char(r, 427) - '0');
  settings.min_article_length = static_cast<int16_t>(Char(r, 428) - '0');
  err = 0;
}

void ReadBank(Context& ctx, int16_t channel, int16_t& err) {
  const Layout& layout = LayoutOf("SYS-BANK");
  if (!CheckChannel(ctx, channel, layout.FileName())) {
    err = 1;
    return;
  }
  err = 0;
  const std::string code = Fields(ctx, "SYS-FRTG").Get("FRTG_P299");
  if (code.find_first_not_of(" 0") == std::string::npos) {
    Clear(ctx, layout);
    return;
  }
  if (ReadEqual(ctx, channel, CompanyId(ctx) + code, kSilent) == 0) {
    Transfer(ctx, layout);
  } else {
    Clear(ctx, layout);
  }
}

void ReadIban(Context& ctx, int16_t channel, const std::string& currency, int16_t& err) {
  const Layout& layout = LayoutOf("SYS-IBAN");
  if (!CheckChannel(ctx, channel, layout.FileName())) {
    err = 1;
    return;
  }
  const std::string own = Fields(ctx, "SYS-FRTG").Get("FRTG_P372");
  const std::string wanted = IsBlank(currency) ? own : Fixed(currency, 2);
  int16_t status = ReadEqual(ctx, channel, CompanyId(ctx) + wanted, kSilent);
  if (status != 0 && wanted != own) status = ReadEqual(ctx, channel, CompanyId(ctx) + own, kSilent);
  if (status == 0) {
    Transfer(ctx, layout);
    err = 0;
  } else {
    Clear(ctx, layout);
    err = 1;
  }
}

void ReadPrintCode(Context& ctx, const std::string& print_code, int16_t channel, int16_t& err) {
  const Layout& layout = LayoutOf("SYS-DATA");
  if (!CheckChannel(ctx, channel, layout.FileName())) {
    err = 1;
    return;
  }
  if (ReadEqual(ctx, channel, CompanyId(ctx) + Fixed(print_code, 2), kSilent) != 0) {
    Clear(ctx, layout);
    if (NotFound(ctx)) {
      dialogs::ShowMessage(ctx,
                           Paragraphs("Gällande UTSKRIFTS-kod '"_w + print_code +
                                          "' för UTSKRIFTER finns EJ registrerad!"_w,
                                      "Utför REGISTRERING av KODEN via SYS-S01 programmet!"_w),
                           dialogs::kError);
    }
    err = 1;
    return;
  }
  Transfer(ctx, layout);
  Record& r = Fields(ctx, "SYS-DATA");
  MasterWindow& w = ctx.main;
  // The stored J/N settings as the main window shows them: logo, company data, and the three
  // further ones in the code row.
  struct Shown {
    int position;
    forms::Control* label;
  };
  const Shown tested[] = {{54, w.LblLkod},
                          {60, w.LblData[5]},
                          {55, w.LblCode[0]},
                          {59, w.LblCode[1]},
                          {64, w.LblCode[2]}};
  bool wrong = false;
  for (const Shown& t : tested) {
    std::string value = r.At(t.position, 1);
    FieldColours colours;
    int16_t test_err = 0;
    TestYesNo(ctx.Msg(), value, colours, test_err);
    r.SetAt(t.position, 1, value);
    t.label->SetText(value);
    t.label->SetBackColor(colours.back);
    t.label->SetForeColor(colours.fore);
    wrong = wrong || test_err != 0;
  }
  if (wrong) {
    dialogs::ShowMessage(
        ctx,
        Paragraphs("Visade FEL för [J] och [N] skall ÅTGÄRDAS via SYS-S01 programmet!"_w,
                   "Aktuella FÄLT är BLÅ-markerade!"_w),
        dialogs::kError);
  }
  NormalisePrintSettings(r);
  w.LblData[4]->SetText(r.At(57, 1));
  w.LblData[6]->SetText(r.At(61, 1));
  err = 0;
}

void ReadEdi(Context& ctx, int16_t channel, int16_t& err) {
  const Layout& layout = LayoutOf("SYS-EDIH");
  if (!CheckChannel(ctx, channel, layout.FileName())) {
    err = 1;
    return;
  }
  if (ReadEqual(ctx, channel, CompanyId(ctx), kSilent) == 0) {
    Transfer(ctx, layout);
    err = 0;
  } else {
    Clear(ctx, layout);
    if (NotFound(ctx)) {
      dialogs::ShowMessage(ctx,
                           Paragraphs("Aktuellt FÖRETAGS-id '"_w + ctx.frame.company_id +
                                          "' har EJ någon EDI registrerad!"_w,
                                      "Utför REGISTRERING av EDI via SYS-V07-programmet!"_w),
                           dialogs::kNotice);
    }
    err = 1;
  }
  Record& r = Fields(ctx, "SYS-EDIH");
  Restrict(r, 158, "JN", 'N');
}

void ReadCustomerExtra(Context& ctx, int16_t channel, int16_t& err) {
  const Layout& layout = LayoutOf("KRK-XTRA");
  if (!CheckChannel(ctx, channel, layout.FileName())) {
    err = 1;
    return;
  }
  const Record& company = Fields(ctx, "SYS-FRTG");
  const bool settings_on = Char(company, kExtraSettingsFlag) == 'J';
  const char third_cell = Char(company, kThirdCell);
  // The customer key is that of the customer record last read, as its fields hold it; a missing
  // record is the normal case for most customers, so it is read without the not-found notice.
  std::string key = Fields(ctx, "KRK-KUND").At(1, layout.key_length);
  Laser(ctx, key, channel, laser::kReadLocked, kSilent, err);
  if (err > 0) {
    if (!NotFound(ctx)) return;
    Clear(ctx, layout);
    DefaultCustomerExtra(Fields(ctx, "KRK-XTRA"), settings_on, third_cell);
    err = 0;
    return;
  }
  Transfer(ctx, layout);
  AdjustCustomerExtra(Fields(ctx, "KRK-XTRA"), settings_on, third_cell);
  Build(ctx, layout);
  Skriver(ctx, key, channel, skriver::kUpdate, kTellMissing, err);
  if (err == 0) Transfer(ctx, layout);
}

void NormaliseEInvoiceFields(Context& ctx) {
  Record& k = Fields(ctx, "KRK-KUND");
  Restrict(k, 409, "JN", 'N');
  Restrict(k, 348, "JN", 'N');
  if (Char(k, 409) != 'J') {
    for (int position : {410, 416, 461}) Put(k, position, 'N');
    return;
  }
  Put(k, 410, 'H');
  Restrict(k, 416, "VG", 'A');
  Restrict(k, 461, "OG", 'G');
}

void ShowEInvoiceData(Context& ctx, int16_t& language, int16_t& second) {
  MasterWindow& m = ctx.main;
  NormaliseEInvoiceFields(ctx);
  const Record& customer = Fields(ctx, "KRK-KUND");
  m.state.language_code = customer.At(308, 1);
  language = static_cast<int16_t>(NumericValue(m.state.language_code));
  std::string flag = customer.At(409, 1);
  FieldColours colours;
  TestYesNo(ctx.Msg(), flag, colours, m.state.error);
  m.LblEkod->SetText(flag);
  m.LblEkod->SetForeColor(colours.fore);
  m.LblEkod->SetBackColor(colours.back);
  m.LblSpkod->SetText(m.state.language_code);
  second = 0;
}

// --- Code registers -----------------------------------------------------------------------------

void ReadBusinessArea(Context& ctx, int16_t channel, const std::string& record_type,
                      const std::string& code, int16_t& err) {
  const Layout& layout = LayoutOf("VSH-DATA");
  if (!CheckChannel(ctx, channel, layout.FileName())) {
    err = 1;
    return;
  }
  if (ReadEqual(ctx, channel, record_type + code, kSilent) == 0) {
    Transfer(ctx, layout);
    err = 0;
    return;
  }
  if (NotFound(ctx)) {
    dialogs::ShowMessage(ctx,
                         Paragraphs("Angiven VERKSAMHETS-kod '" + Dotted(code) + "' för '"_w +
                                        Dotted(record_type) + "' finns EJ och MÅSTE registreras!"_w,
                                    "Skall REGISTRERAS via PROGRAM för VÅRD i VSH-systemet!"_w),
                         dialogs::kNotice);
  }
  Clear(ctx, layout);
  err = 1;
}

void VshSprak(Context& ctx, int16_t channel, const std::string& key, int16_t language,
              std::string& result, int16_t& err) {
  const Layout& layout = LayoutOf("VSH-TEXT");
  result = std::string(24, ' ');
  if (!CheckChannel(ctx, channel, layout.FileName())) {
    err = 1;
    return;
  }
  if (key.size() != 3 || language < 0 || language > 9) {
    dialogs::ReportError(
        ctx, Paragraphs("Modulen VSHSPRÅK för TEXTER mot SPRÅK får FELAKTIG parameter!"_w,
                        "Nyckel: " + key + std::string(kDotSeparator) + "Språk:"_w +
                            WithSignPlace(language)));
    err = 1;
    return;
  }
  const std::string registration =
      "Utför REGISTRERING via "_w + (key[0] == 'F' ? "VSH-T03" : "VSH-T02") + " programmet!";
  // Read plain, without the channel layer's notice. Both messages are notices of kind 2 with the
  // language as a last line; a missing text gives 1, which stops the caller, a blank one 0, so
  // that the page goes on with an empty caption.
  const std::string language_line = "Språk:"_w + WithSignPlace(language);
  std::string k = key;
  Laser(ctx, k, channel, laser::kRead, kSilent, err);
  if (err > 0) {
    Db(ctx).datapost.assign(kRecordBuffer, ' ');
    Transfer(ctx, layout);
    if (NotFound(ctx)) {
      dialogs::ShowMessage(
          ctx,
          Paragraphs("För LÄSNING finns EJ avsett TEXT-nummer "_w + key + " registrerat!",
                     registration, language_line),
          dialogs::kNotice);
    }
    return;
  }
  Transfer(ctx, layout);
  result = Fields(ctx, "VSH-TEXT").At(4 + 24 * language, 24);
  if (IsBlank(result)) {
    dialogs::ShowMessage(
        ctx,
        Paragraphs("För LÄSNING är TEXT-nummer "_w + key + " endast BLANKT angivet!"_w,
                   registration, language_line),
        dialogs::kNotice);
  }
}

void ReadLengthTable(Context& ctx, int16_t channel, const std::string& table_id, LengthTable& table,
                     int16_t& err) {
  const Layout& layout = LayoutOf("SVP-LFID");
  if (!CheckChannel(ctx, channel, layout.FileName())) {
    err = 1;
    return;
  }
  table = LengthTable{};
  table.table_id = table_id;
  std::string key = CompanyId(ctx) + table_id;
  Laser(ctx, key, channel, laser::kRead, kSilent,
        err);  // plain, without the channel layer's notice
  if (err > 0) {
    if (!NotFound(ctx)) return;
    // A missing table is told of as a notice and let pass (2): the rows then print their stored
    // lengths.
    dialogs::ShowMessage(
        ctx,
        Paragraphs("Gällande LÄNGD-FÖRDELNINGS-tabell '"_w + table_id + "' finns EJ registrerad!",
                   "Skall REGISTRERAS via SVP-V01 programmet!"),
        dialogs::kNotice);
    err = 2;
    return;
  }
  Transfer(ctx, layout);
  Record& r = Fields(ctx, "SVP-LFID");
  NormaliseLengthTable(r);
  for (int row = 0; row < 15; ++row) {
    table.rows[row][0] = r.At(9 + 4 * row, 4);
    table.rows[row][1] = r.At(69 + 4 * row, 4);
    table.rows[row][2] = r.At(129 + 4 * row, 4);
  }
}

// --- Invoice registers --------------------------------------------------------------------------

void ReadSvfData(Context& ctx, int16_t channel, const std::string& language_code, int16_t& err) {
  const Layout& layout = LayoutOf("SVF-DATA");
  if (!CheckChannel(ctx, channel, layout.FileName())) {
    err = 1;
    return;
  }
  if (ReadEqual(ctx, channel, CompanyId(ctx) + language_code, kSilent) == 0) {
    Transfer(ctx, layout);
    err = 0;
    return;
  }
  if (NotFound(ctx)) {
    dialogs::ShowMessage(ctx,
                         Paragraphs("Läst SPRÅK-kod '"_w + language_code +
                                        "' för MÄRKNING och UPPLYSNING finns EJ registrerat!"_w,
                                    "Skall REGISTRERAS via SVF-V01 programmet!"),
                         dialogs::kNotice);
  }
  err = 1;
}

void LookUpLoadSpecificationRow(Context& ctx, int16_t channel, int16_t& err) {
  const Layout& layout = LayoutOf("SVF-LSSP");
  if (!CheckChannel(ctx, channel, layout.FileName())) {
    err = 1;
    return;
  }
  Record& row = Fields(ctx, "SVF-FTSP");
  std::string length_part(4, ' ');
  if (Char(Fields(ctx, "KRK-KUND"), 457) != 'N' && Char(Fields(ctx, "SYS-FRTG"), 465) != 'N') {
    const std::string length = row.Get("FTSP_P034");
    const double l = NumericValue(length);
    if (l > 45) {
      length_part = length;
    } else {
      if (l > 0 && NumericValue(row.Get("FTSP_P239")) == 0) row.Set("FTSP_P239", length.substr(2));
      const std::string index = row.Get("FTSP_P239");
      if (NumericValue(index) > 0) length_part = index + "00";
    }
  }
  std::string key = CompanyId(ctx) + "S" + Fields(ctx, "SVF-FTHD").Get("SPECNR") +
                    row.Get("FTSP_P011") + row.Get("FTSP_P012") + row.Get("FTSP_P023") +
                    row.Get("FTSP_P013") + row.Get("FTSP_P018") + row.Get("FTSP_P025") +
                    row.Get("FTSP_P030") + row.Get("FTSP_P032") + length_part +
                    row.Get("FTSP_P038");
  // Read with the not-found notice: a row without its load-specification row ends the row loop of
  // the print run, and the user should see which key was missing.
  Laser(ctx, key, channel, laser::kRead, kTellMissing, err);
  if (err <= 0) Transfer(ctx, layout);
}

void WriteLoadSpecificationCertification(Context& ctx, int16_t channel, int16_t& err) {
  const Layout& layout = LayoutOf("SVF-LSKA");
  if (!CheckChannel(ctx, channel, layout.FileName())) {
    err = 1;
    return;
  }
  Record& lshd = Fields(ctx, "SVF-LSHD");
  char code = Char(lshd, 750);
  char flag = Char(lshd, 58);
  if (code == 'N') {
    flag = 'N';
  } else if (code != 'B' && code != 'F' && code != 'P') {
    code = 'N';
    flag = 'N';
  }
  if (flag != 'J' && flag != 'N') flag = 'N';
  Put(lshd, 750, code);
  Put(lshd, 58, flag);

  const std::string order = lshd.At(11, 6);
  const std::string suffix = NumericValue(lshd.At(17, 3)) == 0 ? "   " : lshd.At(17, 3);
  std::string key = CompanyId(ctx) + "S" + (NumericValue(order) > 0 ? order : std::string(6, ' ')) +
                    lshd.At(5, 6);
  Record& cert = Fields(ctx, "SVF-LSKA");
  auto fill = [&] {
    cert.SetAt(17, 3, suffix);
    Put(cert, 20, code);
    Put(cert, 21, flag);
    cert.SetAt(22, 4, ctx.frame.owner_short_name);
    cert.SetAt(26, 8, ctx.frame.date_compact);
  };
  Laser(ctx, key, channel, laser::kReadLocked, kSilent, err);
  if (err > 0) {
    // Only a missing record is created; any other failure has been reported and ends here.
    if (!NotFound(ctx)) return;
    Clear(ctx, layout);
    fill();
    Build(ctx, layout);
    Skriver(ctx, key, channel, skriver::kInsert, kTellMissing, err);
  } else {
    Transfer(ctx, layout);
    fill();
    Build(ctx, layout);
    Skriver(ctx, key, channel, skriver::kUpdate, kTellMissing, err);
  }
  if (err != 1) Transfer(ctx, layout);
}

void WritePrintedMark(Context& ctx, int16_t channel, int16_t& err) {
  const Layout& layout = LayoutOf("SVF-FTHD");
  if (!CheckChannel(ctx, channel, layout.FileName())) {
    err = 1;
    return;
  }
  Record& header = Fields(ctx, "SVF-FTHD");
  header.Set("UTSKRIVEN", "J");
  header.Set("UTSKRDATUM", ctx.frame.date_compact);
  Build(ctx, layout);
  std::string key = Db(ctx).channels[channel].senastnyckel;
  Skriver(ctx, key, channel, skriver::kUpdate, kTellMissing, err);
  if (err == 0) Transfer(ctx, layout);
}

void WriteSentMark(Context& ctx, int16_t channel, const std::string& invoice_number, int16_t& err) {
  const Layout& layout = LayoutOf("SVF-FTHD");
  if (!CheckChannel(ctx, channel, layout.FileName())) {
    err = 1;
    return;
  }
  std::string key = CompanyId(ctx) + "F" + Fixed(invoice_number, 6);
  Laser(ctx, key, channel, laser::kReadLockedOrCancel, kTellMissing, err);
  if (err > 0) return;
  Transfer(ctx, layout);
  Fields(ctx, "SVF-FTHD").Set("SKICKAD", "J");
  Build(ctx, layout);
  Skriver(ctx, key, channel, skriver::kUpdate, kTellMissing, err);
  if (err == 0) Transfer(ctx, layout);
}

}  // namespace kvor::registers
