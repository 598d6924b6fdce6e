// The register look-ups and write-backs on real register files of a sample installation: what
// each finds, normalises, shows and writes, and what it tells the user when a record is missing.
// Messages are answered by the scripted user and read from the transcript.
#include "registers/readers.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "common/cp1252.h"
#include "common/text.h"
#include "registers/admin.h"
#include "registers/database.h"
#include "support/open_registers.h"

namespace kvor::registers {
namespace {

using Parts = std::vector<std::pair<int, std::string>>;  // 1-based position, text

const Layout& LayoutOf(const char* code) {
  return *FindLayout(code);
}

class Readers : public test::OpenRegisters {
 protected:
  void SetUp() override {
    OpenRegisters::SetUp();
    ctx().frame.company_id = "001";
    ctx().frame.owner_short_name = "KVOR";
  }
  Record& F(const char* code) { return Fields(ctx(), code); }
  void Store(const char* code, const Parts& parts) {
    Record r(LayoutOf(code));
    for (const auto& [position, text] : parts) r.SetAt(position, text.size(), text);
    Put(code, r.Text());
  }
  void Put(const char* code, const std::string& record) {
    std::string error;
    ASSERT_TRUE(PutRecord(ctx(), LayoutOf(code), record, error)) << error;
  }
  std::string Stored(const char* code, const std::string& key) {
    std::string record, error;
    return GetRecord(ctx(), LayoutOf(code), key, record, error) ? record : "(none)";
  }
  // Stores and reads company 001: settings cells "1273456789", currency "SE", then `more`.
  void Company(const Parts& more = {}) {
    Parts parts{{1, "001"}, {213, "1273456789"}, {372, "SE"}};
    parts.insert(parts.end(), more.begin(), more.end());
    Store("SYS-FRTG", parts);
    int16_t err = 9;
    ReadCompany(ctx(), 1, settings, err);
    ASSERT_EQ(err, 0);
  }
  // The message and message-box lines shown since the last call.
  std::string Messages() {
    const std::string all = run.Lines();
    const std::string shown = test::MessageLines(all.substr(seen_), true);
    seen_ = all.size();
    return shown;
  }
  CompanySettings settings;

 private:
  std::size_t seen_ = 0;
};

TEST_F(Readers, CompanySettingsAreNormalisedAndShownAndItsBankAndIbanReadQuietly) {
  Company({{4, "Sågverket ab"_w},
           {213, "5"},
           {175, "QJxN?"},
           {425, "J69J?x"},
           {470, "Q"},
           {299, "0000"}});
  const Record& r = F("SYS-FRTG");
  EXPECT_EQ(r.At(175, 5), "NJFNX");
  EXPECT_EQ(r.At(425, 6), "J000NJ");
  EXPECT_EQ(r.At(367, 3), "JJN");  // blanks become the defaults
  EXPECT_EQ(r.At(470, 1), "F");    // its settings cell is above "0"
  EXPECT_EQ(ctx().main.LblFnamn->Text(), "SÅGVERKET AB"_w);

  // No bank: no engine call is made. A currency without its IBAN record takes the company
  // currency's.
  Db(ctx()).statuskod = 77;
  int16_t err = 9;
  ReadBank(ctx(), 11, err);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(Db(ctx()).statuskod, 77);
  Store("SYS-IBAN", {{1, "001SE"}});
  ReadIban(ctx(), 12, "US", err);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(F("SYS-IBAN").At(4, 2), "SE");
  EXPECT_EQ(Messages(), "");

  // The master setting off resets the article group; a settings cell of "0" makes 470 "N".
  Company({{213, "0"}, {176, "NAN"}, {425, "J457JJ"}, {470, "K"}, {372, "NO"}});
  EXPECT_EQ(r.At(176, 3), "NFX");
  EXPECT_EQ(r.At(425, 6), "N450NN");
  EXPECT_EQ(r.At(470, 1), "N");
  EXPECT_EQ(settings.setting_426 * 10 + settings.setting_427, 45);
  ReadIban(ctx(), 12, "US", err);
  EXPECT_EQ(err, 1);
  EXPECT_TRUE(IsBlank(F("SYS-IBAN").Text()));
  EXPECT_EQ(Messages(), "");

  // No company: blank fields, empty settings and 1 (with the channel layer's notice).
  ctx().frame.company_id = "002";
  ReadCompany(ctx(), 1, settings, err);
  EXPECT_EQ(err, 1);
  EXPECT_TRUE(IsBlank(r.Text()));
}

TEST_F(Readers, PrintCodeMarksWrongSettingsAndNormalisesThem) {
  Store("SYS-DATA", {{1, "001FT"}, {54, "x+3?QJn712J"}});  // positions 54 to 64
  int16_t err = 9;
  ReadPrintCode(ctx(), "FT", 10, err);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(F("SYS-DATA").At(54, 11), "NJ3JRJN012N");
  EXPECT_EQ(ctx().main.LblLkod->Text(), "X");
  EXPECT_EQ(ctx().main.LblLkod->ForeColor(), 0x000080u);  // the blue mark
  EXPECT_EQ(ctx().main.LblData[4]->Text(), "J");          // no logo: the company name is printed
  EXPECT_EQ(Messages(),
            "box Felmeddelande: Endast TECKEN-värdet [ J ] eller [ N ] tillåtes! ¶ Angivet EJ "
            "tillåtet!\n"
            "message 3 Visade FEL för [J] och [N] skall ÅTGÄRDAS via SYS-S01 programmet! ¶ "
            "Aktuella FÄLT är BLÅ-markerade!\n");
}

TEST_F(Readers, LanguageTextsAreReadAndMissingRecordsToldInTheProgramsWords) {
  Store("VSH-TEXT", {{1, "005"}, {52, "Rechnung"}});  // language 2; language 3 blank
  std::string text;
  int16_t err = 9;
  VshSprak(ctx(), 28, "005", 2, text, err);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(text, Fixed("Rechnung", 24));
  VshSprak(ctx(), 28, "005", 3, text, err);
  EXPECT_EQ(err, 0);

  ctx().frame.company_id = "002";  // the sample company 001 has its EDI connection
  LengthTable table;
  ReadPrintCode(ctx(), "XX", 10, err);
  EXPECT_EQ(err, 1);
  ReadEdi(ctx(), 25, err);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(F("SYS-EDIH").At(158, 1), "N");
  ReadBusinessArea(ctx(), 13, "VK", "U ", err);
  EXPECT_EQ(err, 1);
  ReadSvfData(ctx(), 27, "7", err);
  EXPECT_EQ(err, 1);
  ReadLengthTable(ctx(), 24, "L0002", table, err);
  EXPECT_EQ(err, 2);  // let pass: the rows keep their stored lengths
  VshSprak(ctx(), 28, "F12", 0, text, err);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(
      Messages(),
      "message 2 För LÄSNING är TEXT-nummer 005 endast BLANKT angivet! ¶ Utför REGISTRERING "
      "via VSH-T02 programmet! ¶ Språk: 3\n"
      "message 3 Gällande UTSKRIFTS-kod 'XX' för UTSKRIFTER finns EJ registrerad! ¶ Utför "
      "REGISTRERING av KODEN via SYS-S01 programmet!\n"
      "message 2 Aktuellt FÖRETAGS-id '002' har EJ någon EDI registrerad! ¶ Utför REGISTRERING "
      "av EDI via SYS-V07-programmet!\n"
      "message 2 Angiven VERKSAMHETS-kod 'U·' för 'VK' finns EJ och MÅSTE registreras! ¶ Skall "
      "REGISTRERAS via PROGRAM för VÅRD i VSH-systemet!\n"
      "message 2 Läst SPRÅK-kod '7' för MÄRKNING och UPPLYSNING finns EJ registrerat! ¶ Skall "
      "REGISTRERAS via SVF-V01 programmet!\n"
      "message 2 Gällande LÄNGD-FÖRDELNINGS-tabell 'L0002' finns EJ registrerad! ¶ Skall "
      "REGISTRERAS via SVP-V01 programmet!\n"
      "message 2 För LÄSNING finns EJ avsett TEXT-nummer F12 registrerat! ¶ Utför REGISTRERING "
      "via VSH-T03 programmet! ¶ Språk: 0\n");

  // A text number or language out of range is refused as a fault of the caller.
  VshSprak(ctx(), 28, "05", 0, text, err);
  EXPECT_EQ(err, 1);
  err = 0;
  VshSprak(ctx(), 28, "005", 10, text, err);
  EXPECT_EQ(err, 1);
  EXPECT_NE(Messages().find("Modulen VSHSPRÅK för TEXTER mot SPRÅK får FELAKTIG parameter! ¶ "
                            "Nyckel: 005 · Språk: 10"),
            std::string::npos);
}

TEST_F(Readers, LengthTableIsBuiltAndItsSettingsNormalised) {
  Parts parts{{1, "001L0001"}, {189, "17QJ"}, {219, "J  x0   40  7"}};
  for (int i = 0; i < 45; ++i) parts.emplace_back(9 + 4 * i, std::to_string(1000 + i));
  Store("SVP-LFID", parts);
  LengthTable table;
  int16_t err = 9;
  ReadLengthTable(ctx(), 24, "L0001", table, err);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(F("SVP-LFID").At(189, 4), "13NJ");
  // 220 "  x" and 223 "0" are out of range; the pair 40 and 7 is out of order.
  EXPECT_EQ(F("SVP-LFID").At(219, 13), "N  5150  9300");
  EXPECT_EQ(table.rows[0][0] + table.rows[0][1] + table.rows[14][2], "100010151044");
  EXPECT_EQ(table.Entry(2), "1015");
  EXPECT_EQ(table.Entry(46), "    ");
}

TEST_F(Readers, CustomerExtraGetsDefaultsOrIsAdjustedAndWrittenBack) {
  const std::string customer = "001SE100KUND-4711      ";
  F("KRK-KUND").SetAt(1, 23, customer);
  // A missing record gets the defaults and is not written.
  Company({{469, "J"}});
  int16_t err = 9;
  ReadCustomerExtra(ctx(), 26, err);
  EXPECT_EQ(err, 0);
  const Record& x = F("KRK-XTRA");
  EXPECT_EQ(x.At(47, 2) + x.At(55, 3) + x.At(232, 9), "NNNNNNNNNNN0N0");
  EXPECT_EQ(x.At(308, 5) + x.At(224, 3), "41337100");  // 312: the company's third settings cell
  EXPECT_EQ(Stored("KRK-XTRA", customer), "(none)");
  Company({{469, "N"}});
  ReadCustomerExtra(ctx(), 26, err);
  EXPECT_EQ(x.At(308, 5) + x.At(224, 3), "00000   ");

  // A stored record has its settings adjusted and keeps every other character.
  Company({{469, "J"}});
  std::string original = DistinctRecord(customer).substr(0, 337);
  original[308 - 1] = '7';                         // a valid setting digit stays
  original.replace(241 - 1, 13, "7312345678901");  // the GLN, not a setting
  Put("KRK-XTRA", original);
  ReadCustomerExtra(ctx(), 26, err);
  ASSERT_EQ(err, 0) << run.Lines();
  std::string expected = original;
  for (const auto& [position, text] : Parts{{47, "NN"},          // U, V
                                            {55, "NNN"},         // C, D, E
                                            {218, "      "},     // J to O: not six digits
                                            {224, "100"},        // P, Q, R: no percentage
                                            {232, "NNNNNN0N0"},  // X to F; 238 and 240 digits
                                            {309, "1337"}})      // W to Z: the defaults
    expected.replace(position - 1, text.size(), text);
  EXPECT_EQ(Stored("KRK-XTRA", customer), expected);
  EXPECT_EQ(x.Text(), expected);  // the fields hold the record as written
  EXPECT_EQ(Messages(), "");      // read with a lock: no warning
}

TEST_F(Readers, LoadSpecificationRowKeyAndItsLength) {
  Company({{465, "J"}});
  F("KRK-KUND").Set("KUND_P457", "J");
  F("SVF-FTHD").Set("SPECNR", "000777");
  Record& row = F("SVF-FTSP");
  row.SetAt(11, 23, "1A333334444422555556677");  // 11 to 33 in record order
  row.Set("FTSP_P038", "8");
  for (const char* length : {"  60", "1200", "    "})
    Store("SVF-LSSP",
          {{1, "001S0007771A223333344444555556677"}, {34, length}, {38, "8"}, {39, length}});
  auto look_up = [&](const char* length, const char* index) {
    row.Set("FTSP_P034", length);
    row.Set("FTSP_P239", index);
    int16_t err = 9;
    LookUpLoadSpecificationRow(ctx(), 19, err);
    return err == 0 ? "[" + F("SVF-LSSP").Get("LSSP_P039").substr(0, 4) + "]"
                    : "err" + std::to_string(err);
  };
  EXPECT_EQ(look_up("  60", "  "), "[  60]");  // above 45: the length as stored
  EXPECT_EQ(look_up("  12", "00"), "[1200]");  // the index taken from the length
  EXPECT_EQ(row.Get("FTSP_P239"), "12");
  EXPECT_EQ(look_up("   0", "00"), "[    ]");
  F("KRK-KUND").Set("KUND_P457", "N");  // the customer wants no length part
  EXPECT_EQ(look_up("  60", "  "), "[    ]");
  F("KRK-KUND").Set("KUND_P457", "J");
  EXPECT_EQ(look_up("  13", "  "), "err1");
}

TEST_F(Readers, CertificationRecordIsCreatedThenUpdated) {
  Record& lshd = F("SVF-LSHD");
  lshd.SetAt(1, 19, "001S000777000000000");  // order 000000, suffix 000
  lshd.Set("LSHD_P750", "X");
  lshd.Set("LSHD_P058", "J");
  int16_t err = 9;
  WriteLoadSpecificationCertification(ctx(), 8, err);
  ASSERT_EQ(err, 0) << run.Lines();
  EXPECT_EQ(lshd.Get("LSHD_P750") + lshd.Get("LSHD_P058"), "NN");
  const std::string key = "001S      000777";
  EXPECT_EQ(Stored("SVF-LSKA", key), key + "   NNKVOR20261204");

  lshd.Set("LSHD_P750", "P");
  lshd.Set("LSHD_P058", "?");
  ctx().frame.owner_short_name = "SKOG";
  WriteLoadSpecificationCertification(ctx(), 8, err);
  ASSERT_EQ(err, 0) << run.Lines();
  EXPECT_EQ(Stored("SVF-LSKA", key), key + "   PNSKOG20261204");

  lshd.SetAt(11, 9, "123456001");  // an order number and suffix that are not zero
  WriteLoadSpecificationCertification(ctx(), 8, err);
  EXPECT_EQ(Stored("SVF-LSKA", "001S123456000777"), "001S123456000777001PNSKOG20261204");
  EXPECT_EQ(Messages(), "");
}

constexpr const char* kHeaderKey = "001F000123";

TEST_F(Readers, HeaderMarksKeepEveryOtherCharacter) {
  const std::string original = DistinctRecord(kHeaderKey);
  Put("SVF-FTHD", original);
  int16_t err = 9;
  WriteSentMark(ctx(), 2, "000123", err);
  ASSERT_EQ(err, 0) << run.Lines();
  std::string expected = original;
  expected[853 - 1] = 'J';
  EXPECT_EQ(Stored("SVF-FTHD", kHeaderKey), expected);

  // The print run holds the header locked and may have replaced the invoice address.
  std::string key = kHeaderKey;
  Laser(ctx(), key, 2, 2, 1, err);
  ASSERT_EQ(err, 0);
  Transfer(ctx(), LayoutOf("SVF-FTHD"));
  F("SVF-FTHD").Set("FAKTNAMN", "Kund AB");
  WritePrintedMark(ctx(), 2, err);
  ASSERT_EQ(err, 0) << run.Lines();
  expected.replace(407 - 1, 30, Fixed("Kund AB", 30));
  expected[881 - 1] = 'J';
  expected.replace(974 - 1, 8, "20261204");
  EXPECT_EQ(Stored("SVF-FTHD", kHeaderKey), expected);
  EXPECT_EQ(F("SVF-FTHD").Text(), expected);
  EXPECT_EQ(Messages(), "");
}

}  // namespace
}  // namespace kvor::registers
