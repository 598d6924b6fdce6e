// The channel layer and the generic register access on real register files of a sample
// installation. Messages are answered by the scripted user and read from the transcript.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <stdexcept>

#include "common/cp1252.h"
#include "common/text.h"
#include "platform/recman/sqlite_store.h"
#include "registers/admin.h"
#include "registers/database.h"
#include "support/network_share.h"
#include "support/open_registers.h"
#include "support/run_program.h"

namespace kvor::registers {
namespace {

constexpr int16_t kHeader = 2;  // SVF-FTHD

using Channels = test::OpenRegisters;

// Each of the texts is among the messages shown.
void ExpectShown(const std::string& messages, std::initializer_list<std::string> texts) {
  for (const std::string& text : texts)
    EXPECT_NE(messages.find(text), std::string::npos) << text << "\nnot in:\n" << messages;
}

TEST_F(Channels, RecordsAreInsertedReadTransferredAndWrittenBack) {
  // Company 002: the sample invoices are company 001's.
  Record& fields = Fields(ctx(), "SVF-FTHD");
  fields.MutableText().assign(999, ' ');
  fields.Set("FTGID", "002");
  fields.Set("REGTYP", "F");
  fields.Set("FAKTNR", "000001");
  fields.Set("FAKTNAMN", "Sågverket i Växjö"_w);
  Build(ctx(), Header());
  std::string key = "002F000001";
  int16_t err = 9;
  Skriver(ctx(), key, kHeader, 1, 1, err);
  ASSERT_EQ(err, 0) << run.Lines();
  Clear(ctx(), Header());
  Laser(ctx(), key, kHeader, 0, 1, err);
  ASSERT_EQ(err, 0);
  Transfer(ctx(), Header());
  EXPECT_EQ(fields.Get("FAKTNR"), "000001");
  EXPECT_EQ(fields.Get("FAKTNAMN"), Fixed("Sågverket i Växjö"_w, 30));
  EXPECT_EQ(Db(ctx()).channels[kHeader].postnyckel, "002F000001");

  // A write-back after a read without a lock warns and still writes. A write-back after a locked
  // read keeps every other character: the readers' header marks show it.
  fields.Set("SKICKAD", "J");
  Build(ctx(), Header());
  Skriver(ctx(), key, kHeader, 2, 0, err);
  EXPECT_EQ(err, 0);
  std::string stored, error;
  ASSERT_TRUE(GetRecord(ctx(), Header(), key, stored, error));
  EXPECT_EQ(stored[852], 'J');
  // A key other than the one read is refused as a buffer error.
  key = "002F 0000";
  Skriver(ctx(), key, kHeader, 2, 0, err);
  EXPECT_EQ(Db(ctx()).statuskod, -1);

  // A missing key and a duplicate insert with the message flag: the notice, indicator 1.
  key = "002F000009";
  Laser(ctx(), key, kHeader, 0, 1, err);
  EXPECT_EQ(err, 1);
  key = "002F000001";
  Skriver(ctx(), key, kHeader, 1, 1, err);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(Db(ctx()).statuskod, 5);
  ExpectShown(Messages(),
              {"message 2 Nyckel '002F000001' har EJ en LÅSNING utförts!",
               "Nyckel '002F·0000·' ger BUFFERT-fel! ¶ Buffert: 002F000001 ¶ Record: 002F000001 ¶ "
               "Nyckel: 002F000001 ¶ Databas C:\\KVOR   \\SVF\\SVF-FTHD.BTR",
               "message 2 Angiven DATA-nyckel SAKNAS som DATABAS-nyckel! ¶ Nyckel: 002F000009 ¶ "
               "Databas C:\\KVOR   \\SVF\\SVF-FTHD.BTR\n",
               "message 2 Angiven DATA-nyckel FINNS redan SKAPAD som DATABAS-nyckel! ¶ Nyckel: "
               "002F000001"});
}

TEST_F(Channels, RefusalsBeforeAnyEngineCall) {
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
  int16_t err = 0;
  Laser(ctx(), key, kHeader, 0, 0, err);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(Db(ctx()).statuskod, -1);

  // Update before any record was transferred on the channel.
  key = "001F000001";
  Skriver(ctx(), key, kHeader, 2, 0, err);
  EXPECT_EQ(Db(ctx()).statuskod, -1);

  // Unlock without a lock makes no call and answers 0.
  status = 0;
  BTRWRARD(ctx(), key, status, kHeader, 0);
  EXPECT_EQ(status, 0);

  // Wrong parameters of the generic calls.
  Laser(ctx(), key, kHeader, 3, 0, err);
  EXPECT_EQ(err, 1);
  Skriver(ctx(), key, kHeader, 1, 2, err);
  EXPECT_EQ(err, 1);

  // Closing a channel that is not open makes no call.
  BTROPASS(ctx(), "C:\\X.BTR", status = 2, 40);
  EXPECT_EQ(status, 0);
  ExpectShown(
      Messages(),
      {"Databas C:\\KVOR   \\SVF\\SVF-FTHD.BTR är ÖPPNEN redan! ¶ Kanal: 9",
       "Filen 'N:\\SVF-FTHD.BTR' kan EJ öppnas! ¶ Register på en NÄTVERKS-disk delas via en "
       "DATABAS-server: ange --registers eller KVOR_REGISTERS!",
       "Nyckel '001F·000011' har FEL längd! ¶ Databas C:\\KVOR   \\SVF\\SVF-FTHD.BTR ¶ Längd: 10 · "
       "Läser: 11 · Kanal: 2",
       "För ÅTERSKRIV är LÄSNING av DATABAS-posten EJ utförd!",
       "Modulen BTRSUBIO för DATABASANROP får FELAKTIG parameter! ¶ Funktion: LÄSER · Kanal: 2 · "
       "Typen: 3 · Koden: 0",
       "Funktion: SKRIVER · Kanal: 2 · Typen: 1 · Koden: 2"});
}

TEST_F(Channels, AFileOfAnotherLayoutIsRefusedAndNeverOverrunsTheRecordBuffer) {
  const std::string path = RegisterPath(ctx(), Header());
  std::string error;
  int16_t status = 2, err = 0;
  for (const int16_t key_length : {9, 10}) {
    Layout other = Header();
    other.record_end = key_length == 10 ? 3000 : 999;
    other.key_length = key_length;
    BTROPASS(ctx(), path, status = 2, kHeader);
    ASSERT_TRUE(CreateRegisterFile(ctx(), other, error)) << error;
    ASSERT_TRUE(PutRecord(ctx(), other, DistinctRecord("001F000001"), error)) << error;
    Open(ctx(), Header(), err);
    EXPECT_EQ(err, 1);
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
  std::string key = "001F000001";
  Laser(ctx(), key, kHeader, 0, 0, err);
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
  int16_t status = 2, err = 0;
  BTROPASS(ctx(), RegisterPath(ctx(), Header()), status, kHeader);
  Open(ctx(), Header(), err);  // the statistics fail; the file stays open on the channel
  EXPECT_EQ(Db(ctx()).statuskod, -2);
  std::string key = "001F241001";
  Laser(ctx(), key, kHeader, 0, 0, err);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(Db(ctx()).statuskod, -3);
  ExpectShown(Messages(), {"Modulen BTROPASS kan EJ utföra PROGRAM-koden! ¶ Projekt: BTROPASS ¶ ",
                           "Funktionen BTRCALL kan EJ utföras! ¶ Databas C:\\KVOR   "
                           "\\SVF\\SVF-FTHD.BTR · Kanal: 2 ¶ Funktion: LIKA · Kod: 5 ¶ Projekt: "
                           "BTRWRARD ¶ ",
                           "the store broke down"});
}

}  // namespace
}  // namespace kvor::registers
