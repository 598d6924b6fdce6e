// The register layer on real register files of a sample installation: the layouts, the channel
// layer with the generic register access, and the look-ups and write-backs of the readers (what
// each finds, normalises, shows and writes, and what it tells the user when a record is missing).
// Messages are answered by the scripted user and read from the transcript.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <set>
#include <stdexcept>
#include <utility>
#include <vector>

#include "common/cp1252.h"
#include "common/numbers.h"
#include "common/text.h"
#include "platform/recman/sqlite_store.h"
#include "registers/admin.h"
#include "registers/database.h"
#include "registers/layouts.h"
#include "registers/readers.h"
#include "support/network_share.h"
#include "support/open_registers.h"
#include "support/run_program.h"

namespace kvor::registers {
namespace {

constexpr int16_t kHeader = 2;  // SVF-FTHD

using Parts = std::vector<std::pair<int, std::string>>;  // 1-based position, text

// Each of the texts is among the messages shown.
void ExpectShown(const std::string& messages, std::initializer_list<std::string> texts) {
  for (const std::string& text : texts)
    EXPECT_NE(messages.find(text), std::string::npos) << text << "\nnot in:\n" << messages;
}

// The open registers of company 001.
class Registers : public test::OpenRegisters {
 protected:
  void SetUp() override {
    OpenRegisters::SetUp();
    ctx().frame.company_id = "001";
    ctx().frame.owner_short_name = "KVOR";
  }
  Record& F(const char* code) { return Fields(ctx(), code); }
  void Store(const char* code, const Parts& parts) {
    Record r(*FindLayout(code));
    for (const auto& [position, text] : parts) r.SetAt(position, text.size(), text);
    Put(code, r.Text());
  }
  void Put(const char* code, const std::string& record) {
    std::string error;
    ASSERT_TRUE(PutRecord(ctx(), *FindLayout(code), record, error)) << error;
  }
  std::string Stored(const char* code, const std::string& key) {
    std::string record, error;
    return GetRecord(ctx(), *FindLayout(code), key, record, error) ? record : "(none)";
  }
  // Calls a register routine (ctx, args..., err) with err at 9: the err it leaves.
  template <class Routine, class... Args>
  int16_t Err(Routine routine, Args&&... args) {
    int16_t err = 9;
    routine(ctx(), std::forward<Args>(args)..., err);
    return err;
  }
  // Stores and reads company 001: settings cells "1273456789", currency "SE", then `more`.
  void Company(const Parts& more = {}) {
    Parts parts{{1, "001"}, {213, "1273456789"}, {372, "SE"}};
    parts.insert(parts.end(), more.begin(), more.end());
    Store("SYS-FRTG", parts);
    ASSERT_EQ(Err(ReadCompany, 1, settings), 0);
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

using Channels = Registers;
using Readers = Registers;

TEST(Layouts, FieldsTileEveryRecordFromOneToTheRecordEnd) {
  ASSERT_EQ(AllLayouts().size(), 28u);
  for (const Layout& l : AllLayouts()) {
    SCOPED_TRACE(l.code);
    EXPECT_EQ(&LayoutOfChannel(l.channel), &l);
    int next = 1;
    std::set<std::string> names;
    for (const Field& f : l.fields) {
      EXPECT_EQ(f.position, next) << f.name;
      EXPECT_GT(f.width, 0) << f.name;
      EXPECT_TRUE(names.insert(f.name).second) << "twice: " << f.name;
      next = f.position + f.width;
    }
    EXPECT_EQ(next - 1, l.record_end);
    EXPECT_GT(l.key_length, 0);
    EXPECT_LE(l.key_length, l.record_end);
  }
}

TEST_F(Channels, RefusalsBeforeAnyEngineCallThenRecordsAreInsertedReadTransferredAndWrittenBack) {
  int16_t status = 0;
  BTROPASS(ctx(), RegisterPath(ctx(), Header()), status, 9);  // open on another channel
  EXPECT_EQ(status, -1);
  EXPECT_EQ(Db(ctx()).channels[9].regnamn, RegisterPath(ctx(), *FindLayout("SVF-TEXT")));

  // A file on a network share is shared through the server, never opened directly.
  const std::string share = run.install.dir + "/NETWORK-SHARE";
  std::filesystem::create_directory(share);
  std::filesystem::copy_file(ctx().drives.ToHost(RegisterPath(ctx(), Header())),
                             share + "/SVF-FTHD.BTR");
  ctx().drives.Set('N', share);
  BTROPASS(ctx(), "N:\\SVF-FTHD.BTR", status = 0, 40);
  EXPECT_EQ(status, recman::status::kOnNetworkShare);

  std::string key = "001F 000011";  // one character too many
  EXPECT_EQ(Err(Laser, key, kHeader, 0, 0), 1);
  EXPECT_EQ(Db(ctx()).statuskod, -1);

  // Update before any record was transferred on the channel.
  key = "001F000001";
  Err(Skriver, key, kHeader, 2, 0);
  EXPECT_EQ(Db(ctx()).statuskod, -1);

  // Unlock without a lock makes no call and answers 0.
  BTRWRARD(ctx(), key, status = 0, kHeader, 0);
  EXPECT_EQ(status, 0);

  // Wrong parameters of the generic calls.
  EXPECT_EQ(Err(Laser, key, kHeader, 3, 0), 1);
  EXPECT_EQ(Err(Skriver, key, kHeader, 1, 2), 1);

  // Closing a channel that is not open makes no call.
  BTROPASS(ctx(), "C:\\X.BTR", status = 2, 40);
  EXPECT_EQ(status, 0);

  // Company 002: the sample invoices are company 001's.
  key = "002F000001";  // company, type, invoice number
  Record& fields = Fields(ctx(), "SVF-FTHD");
  fields.MutableText().assign(999, ' ');
  fields.SetAt(1, key.size(), key);
  fields.Set("FAKTNAMN", "Sågverket i Växjö"_w);
  Build(ctx(), Header());
  ASSERT_EQ(Err(Skriver, key, kHeader, 1, 1), 0) << run.Lines();
  Clear(ctx(), Header());
  ASSERT_EQ(Err(Laser, key, kHeader, 0, 1), 0);
  Transfer(ctx(), Header());
  EXPECT_EQ(fields.Get("FAKTNR"), "000001");
  EXPECT_EQ(fields.Get("FAKTNAMN"), Fixed("Sågverket i Växjö"_w, 30));
  EXPECT_EQ(Db(ctx()).channels[kHeader].postnyckel, "002F000001");

  // A write-back after a read without a lock warns and still writes. A write-back after a locked
  // read keeps every other character: the readers' header marks show it.
  fields.Set("SKICKAD", "J");
  Build(ctx(), Header());
  EXPECT_EQ(Err(Skriver, key, kHeader, 2, 0), 0);
  EXPECT_EQ(Stored("SVF-FTHD", key).at(852), 'J');
  // A key other than the one read is refused as a buffer error.
  key = "002F 0000";
  Err(Skriver, key, kHeader, 2, 0);
  EXPECT_EQ(Db(ctx()).statuskod, -1);

  // A missing key and a duplicate insert with the message flag: the notice, indicator 1.
  key = "002F000009";
  EXPECT_EQ(Err(Laser, key, kHeader, 0, 1), 1);
  key = "002F000001";
  EXPECT_EQ(Err(Skriver, key, kHeader, 1, 1), 1);
  EXPECT_EQ(Db(ctx()).statuskod, 5);
  ExpectShown(
      Messages(),
      {"message 2 Nyckel '002F000001' har EJ en LÅSNING utförts!",
       "Nyckel '002F·0000·' ger BUFFERT-fel! ¶ Buffert: 002F000001 ¶ Record: 002F000001 ¶ "
       "Nyckel: 002F000001 ¶ Databas C:\\KVOR   \\SVF\\SVF-FTHD.BTR",
       "message 2 Angiven DATA-nyckel SAKNAS som DATABAS-nyckel! ¶ Nyckel: 002F000009 ¶ "
       "Databas C:\\KVOR   \\SVF\\SVF-FTHD.BTR\n",
       "message 2 Angiven DATA-nyckel FINNS redan SKAPAD som DATABAS-nyckel! ¶ Nyckel: "
       "002F000001",
       "Databas C:\\KVOR   \\SVF\\SVF-FTHD.BTR är ÖPPNEN redan! ¶ Kanal: 9",
       "Filen 'N:\\SVF-FTHD.BTR' kan EJ öppnas! ¶ Register på en NÄTVERKS-disk delas via en "
       "DATABAS-server: ange --registers eller KVOR_REGISTERS!",
       "Nyckel '001F·000011' har FEL längd! ¶ Databas C:\\KVOR   \\SVF\\SVF-FTHD.BTR ¶ Längd: 10 · "
       "Läser: 11 · Kanal: 2",
       "För ÅTERSKRIV är LÄSNING av DATABAS-posten EJ utförd!",
       "Modulen BTRSUBIO för DATABASANROP får FELAKTIG parameter! ¶ Funktion: LÄSER · Kanal: 2 · "
       "Typen: 3 · Koden: 0",
       "Funktion: SKRIVER · Kanal: 2 · Typen: 1 · Koden: 2"});

  // A file of another layout is refused, and the channel layer never overruns the record buffer.
  const std::string path = RegisterPath(ctx(), Header());
  std::string error;
  for (const int16_t key_length : {9, 10}) {
    Layout other = Header();
    other.record_end = key_length == 10 ? 3000 : 999;
    other.key_length = key_length;
    BTROPASS(ctx(), path, status = 2, kHeader);
    ASSERT_TRUE(CreateRegisterFile(ctx(), other, error)) << error;
    ASSERT_TRUE(PutRecord(ctx(), other, DistinctRecord("001F000001"), error)) << error;
    EXPECT_EQ(Err(Open, Header()), 1);
    EXPECT_EQ(Db(ctx()).channels[kHeader].oppen, 0);
  }
  EXPECT_EQ(
      test::Occurrences(Messages(), "Filen '" + path +
                                        "' kan EJ öppnas! ¶ Kontrollera VERSIONEN eller ÅTERSKAPA "
                                        "registret! ¶ Se [Status Codes] i "
                                        "PERVASIVE-documentationen! ¶ StatusKod: 30"),
      2);
  // The channel layer alone knows no layout, and still reads no more than its buffer holds.
  BTROPASS(ctx(), path, status = 0, kHeader);
  key = "001F000001";
  Err(Laser, key, kHeader, 0, 0);
  EXPECT_EQ(Db(ctx()).statuskod, recman::status::kDataBufferTooShort);
}

// A store over a real file whose every call but its layout throws, as a broken disk or library
// might.
struct BrokenStore : recman::Store {
  explicit BrokenStore(std::unique_ptr<recman::Store> r) : real(std::move(r)) {}
  [[noreturn]] static void Fail() { throw std::runtime_error("the store broke down"); }
  const recman::Layout& layout() const override { return real->layout(); }
  int16_t Find(recman::Seek, std::string_view, recman::Record&) override { Fail(); }
  int16_t FindById(int64_t, recman::Record&) override { Fail(); }
  int16_t StepAfter(int64_t, recman::Record&) override { Fail(); }
  int16_t Count(uint32_t&) override { Fail(); }
  int16_t Insert(std::string_view, recman::Record&) override { Fail(); }
  int16_t Update(const recman::Record&, std::string_view, int64_t&) override { Fail(); }
  int16_t Delete(const recman::Record&) override { Fail(); }
  bool TryLock(int64_t) override { Fail(); }
  void Unlock(int64_t) override { Fail(); }
  std::unique_ptr<recman::Store> real;
};

TEST_F(Channels, AFaultBelowTheChannelLayerIsReportedAndTheRunGoesOn) {
  Db(ctx()).engine.SetStoreOpener([](const std::string& path, std::unique_ptr<recman::Store>& out) {
    std::unique_ptr<recman::Store> real;
    const int16_t status = recman::OpenSqliteStore(path, real);
    if (status == 0) out = std::make_unique<BrokenStore>(std::move(real));
    return status;
  });
  int16_t status = 2;
  BTROPASS(ctx(), RegisterPath(ctx(), Header()), status, kHeader);
  Err(Open, Header());  // the statistics fail; the file stays open on the channel
  EXPECT_EQ(Db(ctx()).statuskod, -2);
  std::string key = "001F241001";
  EXPECT_EQ(Err(Laser, key, kHeader, 0, 0), 1);
  EXPECT_EQ(Db(ctx()).statuskod, -3);
  ExpectShown(Messages(), {"Modulen BTROPASS kan EJ utföra PROGRAM-koden! ¶ Projekt: BTROPASS ¶ ",
                           "Funktionen BTRCALL kan EJ utföras! ¶ Databas C:\\KVOR   "
                           "\\SVF\\SVF-FTHD.BTR · Kanal: 2 ¶ Funktion: LIKA · Kod: 5 ¶ Projekt: "
                           "BTRWRARD ¶ ",
                           "the store broke down"});
}

TEST_F(Readers, CompanySettingsAreNormalisedAndShownAndItsBankAndIbanReadQuietly) {
  Company({{4, "Sågverket ab"_w},
           {213, "5"},
           {175, "QJxN?"},
           {425, "J69J?x"},
           {470, "Q"},
           {299, "0000"}});
  const Record& r = F("SYS-FRTG");
  // 367: blanks become the defaults; 470: its settings cell is above "0".
  EXPECT_EQ(r.At(175, 5) + r.At(425, 6) + r.At(367, 3) + r.At(470, 1), "NJFNXJ000NJJJNF");
  EXPECT_EQ(ctx().main.LblFnamn->Text(), "SÅGVERKET AB"_w);

  // No bank: no engine call is made. A currency without its IBAN record takes the company
  // currency's.
  Db(ctx()).statuskod = 77;
  EXPECT_EQ(Err(ReadBank, 11), 0);
  EXPECT_EQ(Db(ctx()).statuskod, 77);
  Store("SYS-IBAN", {{1, "001SE"}});
  EXPECT_EQ(Err(ReadIban, 12, "US"), 0);
  EXPECT_EQ(F("SYS-IBAN").At(4, 2), "SE");
  EXPECT_EQ(Messages(), "");

  // The master setting off resets the article group; a settings cell of "0" makes 470 "N".
  Company({{213, "0"}, {176, "NAN"}, {425, "J457JJ"}, {470, "K"}, {372, "NO"}});
  EXPECT_EQ(r.At(176, 3) + r.At(425, 6) + r.At(470, 1), "NFXN450NNN");
  EXPECT_EQ(settings.setting_426 * 10 + settings.setting_427, 45);
  EXPECT_EQ(Err(ReadIban, 12, "US"), 1);
  EXPECT_TRUE(IsBlank(F("SYS-IBAN").Text()));
  EXPECT_EQ(Messages(), "");

  // No company: blank fields, empty settings and 1 (with the channel layer's notice).
  ctx().frame.company_id = "002";
  EXPECT_EQ(Err(ReadCompany, 1, settings), 1);
  EXPECT_TRUE(IsBlank(r.Text()));
}

TEST_F(Readers, PrintCodesAndLanguageTextsAreReadNormalisedAndMissingRecordsTold) {
  Store("SYS-DATA", {{1, "001FT"}, {54, "x+3?QJn712J"}});  // positions 54 to 64
  EXPECT_EQ(Err(ReadPrintCode, "FT", 10), 0);
  EXPECT_EQ(F("SYS-DATA").At(54, 11), "NJ3JRJN012N");
  EXPECT_EQ(ctx().main.LblLkod->Text(), "X");
  EXPECT_EQ(ctx().main.LblLkod->ForeColor(), 0x000080u);  // the blue mark
  EXPECT_EQ(ctx().main.LblData[4]->Text(), "J");          // no logo: the company name is printed
  EXPECT_EQ(Messages(),
            "box Felmeddelande: Endast TECKEN-värdet [ J ] eller [ N ] tillåtes! ¶ Angivet EJ "
            "tillåtet!\n"
            "message 3 Visade FEL för [J] och [N] skall ÅTGÄRDAS via SYS-S01 programmet! ¶ "
            "Aktuella FÄLT är BLÅ-markerade!\n");

  Store("VSH-TEXT", {{1, "005"}, {52, "Rechnung"}});  // language 2; language 3 blank
  std::string text;
  EXPECT_EQ(Err(VshSprak, 28, "005", 2, text), 0);
  EXPECT_EQ(text, Fixed("Rechnung", 24));
  EXPECT_EQ(Err(VshSprak, 28, "005", 3, text), 0);

  ctx().frame.company_id = "002";  // the sample company 001 has its EDI connection
  LengthTable table;
  EXPECT_EQ(Err(ReadPrintCode, "XX", 10), 1);
  EXPECT_EQ(Err(ReadEdi, 25), 1);
  EXPECT_EQ(F("SYS-EDIH").At(158, 1), "N");
  EXPECT_EQ(Err(ReadBusinessArea, 13, "VK", "U "), 1);
  EXPECT_EQ(Err(ReadSvfData, 27, "7"), 1);
  EXPECT_EQ(Err(ReadLengthTable, 24, "L0002", table),
            2);  // let pass: the rows keep their stored lengths
  EXPECT_EQ(Err(VshSprak, 28, "F12", 0, text), 1);
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
  EXPECT_EQ(Err(VshSprak, 28, "05", 0, text), 1);
  EXPECT_EQ(Err(VshSprak, 28, "005", 10, text), 1);
  EXPECT_NE(Messages().find("Modulen VSHSPRÅK för TEXTER mot SPRÅK får FELAKTIG parameter! ¶ "
                            "Nyckel: 005 · Språk: 10"),
            std::string::npos);
}

TEST_F(Readers, LengthTableIsBuiltAndItsSettingsNormalisedAndALoadSpecificationRowFindsItsLength) {
  Parts parts{{1, "001L0001"}, {189, "17QJ"}, {219, "J  x0   40  7"}};
  for (int i = 0; i < 45; ++i) parts.emplace_back(9 + 4 * i, std::to_string(1000 + i));
  Store("SVP-LFID", parts);
  LengthTable table;
  EXPECT_EQ(Err(ReadLengthTable, 24, "L0001", table), 0);
  // 220 "  x" and 223 "0" are out of range; the pair 40 and 7 is out of order.
  EXPECT_EQ(F("SVP-LFID").At(189, 4) + F("SVP-LFID").At(219, 13), "13NJN  5150  9300");
  EXPECT_EQ(
      table.rows[0][0] + table.rows[0][1] + table.rows[14][2] + table.Entry(2) + table.Entry(46),
      "1000101510441015    ");

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
    const int16_t err = Err(LookUpLoadSpecificationRow, 19);
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

constexpr const char* kHeaderKey = "001F000123";

TEST_F(Readers, WriteBacksOfCustomerExtraCertificationAndHeaderMarksKeepEveryOtherCharacter) {
  const std::string customer = "001SE100KUND-4711      ";
  F("KRK-KUND").SetAt(1, 23, customer);
  // A missing record gets the defaults and is not written.
  Company({{469, "J"}});
  EXPECT_EQ(Err(ReadCustomerExtra, 26), 0);
  const Record& x = F("KRK-XTRA");
  EXPECT_EQ(x.At(47, 2) + x.At(55, 3) + x.At(232, 9), "NNNNNNNNNNN0N0");
  EXPECT_EQ(x.At(308, 5) + x.At(224, 3), "41337100");  // 312: the company's third settings cell
  EXPECT_EQ(Stored("KRK-XTRA", customer), "(none)");
  Company({{469, "N"}});
  Err(ReadCustomerExtra, 26);
  EXPECT_EQ(x.At(308, 5) + x.At(224, 3), "00000   ");

  // A stored record has its settings adjusted and keeps every other character.
  Company({{469, "J"}});
  std::string original = DistinctRecord(customer).substr(0, 337);
  original[308 - 1] = '7';                         // a valid setting digit stays
  original.replace(241 - 1, 13, "7312345678901");  // the GLN, not a setting
  Put("KRK-XTRA", original);
  ASSERT_EQ(Err(ReadCustomerExtra, 26), 0) << run.Lines();
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

  Record& lshd = F("SVF-LSHD");
  lshd.SetAt(1, 19, "001S000777000000000");  // order 000000, suffix 000
  lshd.Set("LSHD_P750", "X");
  lshd.Set("LSHD_P058", "J");
  ASSERT_EQ(Err(WriteLoadSpecificationCertification, 8), 0) << run.Lines();
  EXPECT_EQ(lshd.Get("LSHD_P750") + lshd.Get("LSHD_P058"), "NN");
  const std::string lska = "001S      000777";
  EXPECT_EQ(Stored("SVF-LSKA", lska), lska + "   NNKVOR20261204");

  lshd.Set("LSHD_P750", "P");
  lshd.Set("LSHD_P058", "?");
  ctx().frame.owner_short_name = "SKOG";
  ASSERT_EQ(Err(WriteLoadSpecificationCertification, 8), 0) << run.Lines();
  EXPECT_EQ(Stored("SVF-LSKA", lska), lska + "   PNSKOG20261204");

  lshd.SetAt(11, 9, "123456001");  // an order number and suffix that are not zero
  Err(WriteLoadSpecificationCertification, 8);
  EXPECT_EQ(Stored("SVF-LSKA", "001S123456000777"), "001S123456000777001PNSKOG20261204");

  const std::string header = DistinctRecord(kHeaderKey);
  Put("SVF-FTHD", header);
  ASSERT_EQ(Err(WriteSentMark, 2, "000123"), 0) << run.Lines();
  expected = header;
  expected[853 - 1] = 'J';
  EXPECT_EQ(Stored("SVF-FTHD", kHeaderKey), expected);

  // The print run holds the header locked and may have replaced the invoice address.
  std::string key = kHeaderKey;
  ASSERT_EQ(Err(Laser, key, 2, 2, 1), 0);
  Transfer(ctx(), Header());
  F("SVF-FTHD").Set("FAKTNAMN", "Kund AB");
  ASSERT_EQ(Err(WritePrintedMark, 2), 0) << run.Lines();
  expected.replace(407 - 1, 30, Fixed("Kund AB", 30));
  expected[881 - 1] = 'J';
  expected.replace(974 - 1, 8, "20261204");
  EXPECT_EQ(Stored("SVF-FTHD", kHeaderKey), expected);
  EXPECT_EQ(F("SVF-FTHD").Text(), expected);
  EXPECT_EQ(Messages(), "");  // read with a lock: no warning
}

// The sample invoices of kvor demo, read back from a freshly written installation: their sums,
// and the GLN of the e-invoice customer. That every invoice finds the records the print run reads
// is proved by printing them all.
class DemoInvoices : public Registers {
 protected:
  // The records of the register code whose keys start with prefix.
  std::vector<Record> List(const char* code, const std::string& prefix) {
    std::vector<std::string> texts;
    std::string error;
    EXPECT_TRUE(ListRecords(ctx(), *FindLayout(code), prefix, texts, error)) << error;
    std::vector<Record> records(texts.size(), Record(*FindLayout(code)));
    for (std::size_t i = 0; i < texts.size(); ++i) records[i].MutableText() = texts[i];
    return records;
  }
  // An amount field in hundredths.
  static long long Cents(const Record& r, const char* name) {
    return std::llround(NumericValue(r.Get(name)) * 100);
  }
  // The sum of an amount field over records.
  static long long Total(const std::vector<Record>& records, const char* name) {
    long long sum = 0;
    for (const Record& r : records) sum += Cents(r, name);
    return sum;
  }
};

TEST_F(DemoInvoices, HeaderSumsAreTheRowsPlusVatAndRoundingAndTheEInvoiceCustomerHasAValidGln) {
  const std::vector<Record> headers = List("SVF-FTHD", "001F");
  ASSERT_EQ(headers.size(), 14u);
  for (const Record& h : headers) {
    const std::string key = h.Text().substr(0, 10);
    SCOPED_TRACE(key);
    const std::vector<Record> rows = List("SVF-FTSP", key), extras = List("SVF-FTAP", key);
    for (const Record& r : rows) {
      EXPECT_NEAR(Cents(r, "FTSP_P113") / 100.0,
                  std::stod(r.Get("FTSP_P213")) * std::stod(r.Get("FTSP_P047")), 0.0051);
      EXPECT_NEAR(Cents(r, "FTSP_P155"), (Cents(r, "FTSP_P113") - Cents(r, "FTSP_P099")) * 0.25,
                  0.51);
    }
    for (const Record& r : extras)
      EXPECT_NEAR(Cents(r, "FTAP_P250") / 100.0,
                  std::stod(r.Get("FTAP_P188")) * std::stod(r.Get("FTAP_P205")), 0.0051);
    const long long net_v =
        Total(rows, "FTSP_P113") - Total(rows, "FTSP_P099") + Total(extras, "FTAP_P250");
    const long long net_f =
        Total(rows, "FTSP_P127") - Total(rows, "FTSP_P085") + Total(extras, "FTAP_P264");
    const long long vat_v = Total(rows, "FTSP_P155") + Total(extras, "FTAP_P292");
    const long long vat_f = Total(rows, "FTSP_P169") + Total(extras, "FTAP_P306");
    EXPECT_EQ(Cents(h, "AVDRAGVAL"), Total(rows, "FTSP_P099"));
    EXPECT_EQ(Cents(h, "AVDRAGFTG"), Total(rows, "FTSP_P085"));
    EXPECT_EQ(Cents(h, "NETTOVAL"), net_v);
    EXPECT_EQ(Cents(h, "NETTOFTG"), net_f);
    EXPECT_EQ(Cents(h, "MOMSVAL"), vat_v);
    EXPECT_EQ(Cents(h, "MOMSFTG"), vat_f);
    EXPECT_EQ(Cents(h, "TOTALVAL"), net_v + vat_v + Cents(h, "AVRUNDVAL"));
    EXPECT_EQ(Cents(h, "TOTALFTG"), net_f + vat_f + Cents(h, "AVRUNDFTG"));
    // Rounded to whole units in the invoice currency; a foreign currency's rounding is carried
    // over at the rate, so only the company's own currency has a whole company total.
    EXPECT_LE(std::abs(Cents(h, "AVRUNDVAL")), 50);
    if (h.Get("VALKOD") == "SE") {
      EXPECT_EQ(Cents(h, "AVRUNDVAL"), 0);
      EXPECT_EQ(Cents(h, "TOTALFTG") % 100, 0);
    } else {
      EXPECT_EQ(Cents(h, "TOTALVAL") % 100, 0);
    }
    EXPECT_EQ(std::stoi(h.Get("ANTALSPEC")), static_cast<int>(rows.size()));
    EXPECT_EQ(std::stoi(h.Get("ANTALTILL")), static_cast<int>(extras.size()));
    EXPECT_EQ(h.Get("MOMSSATS"), "25.00");
  }

  // No run computes the GLN of the e-invoice customer, so its check digit is proved here.
  const std::string header = Stored("SVF-FTHD", "001F241002");
  const std::string customer = Stored("KRK-KUND", "001" + header.substr(25, 20));
  EXPECT_EQ(customer.substr(409 - 1, 2), "JH");  // KUND_P409 e-invoice, KUND_P410 its file type
  const std::string gln = Stored("KRK-XTRA", customer.substr(0, 23)).substr(240, 13);
  ASSERT_EQ(gln.find_first_not_of("0123456789"), std::string::npos) << gln;
  int sum = 0;
  for (int i = 0; i < 12; ++i) sum += (gln[i] - '0') * (i % 2 == 0 ? 1 : 3);
  EXPECT_EQ(gln[12] - '0', (10 - sum % 10) % 10) << gln;
}

}  // namespace
}  // namespace kvor::registers
