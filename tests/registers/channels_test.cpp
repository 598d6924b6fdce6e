// The channel layer and the generic register access on real register files of a sample
// installation. Messages are answered by the scripted user and read from the transcript.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "common/cp1252.h"
#include "common/text.h"
#include "platform/recman/client.h"
#include "platform/recman/sqlite_store.h"
#include "registers/admin.h"
#include "registers/database.h"
#include "settings/settings.h"
#include "support/network_share.h"
#include "support/open_registers.h"
#include "support/run_program.h"

namespace kvor::registers {
namespace {

namespace op = recman::op;

constexpr int16_t kHeader = 2;  // SVF-FTHD

using Channels = test::OpenRegisters;

TEST_F(Channels, RecordsAreInsertedReadAndTransferred) {
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

  // A missing key with the message flag: the notice, indicator 1.
  key = "002F000009";
  Laser(ctx(), key, kHeader, 0, 1, err);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(Messages(),
            "message 2 Angiven DATA-nyckel SAKNAS som DATABAS-nyckel! ¶ Nyckel: 002F000009 ¶ "
            "Databas C:\\KVOR   \\SVF\\SVF-FTHD.BTR\n");
  // A duplicate insert with the message flag.
  key = "002F000001";
  Build(ctx(), Header());
  Skriver(ctx(), key, kHeader, 1, 1, err);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(Db(ctx()).statuskod, 5);
}

TEST_F(Channels, RefusalsBeforeAnyEngineCall) {
  int16_t status = 0;
  BTROPASS(ctx(), RegisterPath(ctx(), Header()), status, 9);  // open on another channel
  EXPECT_EQ(status, -1);
  EXPECT_EQ(Db(ctx()).channels[9].regnamn, RegisterPath(ctx(), *FindLayout("SVF-TEXT")));

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
  status = 2;
  BTROPASS(ctx(), "C:\\X.BTR", status, 40);
  EXPECT_EQ(status, 0);

  const std::string m = Messages();
  EXPECT_NE(m.find("Databas C:\\KVOR   \\SVF\\SVF-FTHD.BTR är ÖPPNEN redan! ¶ Kanal: 9"),
            std::string::npos)
      << m;
  EXPECT_NE(m.find("Nyckel '001F·000011' har FEL längd! ¶ Databas C:\\KVOR   \\SVF\\SVF-FTHD.BTR ¶ "
                   "Längd: 10 · Läser: 11 · Kanal: 2"),
            std::string::npos)
      << m;
  EXPECT_NE(m.find("För ÅTERSKRIV är LÄSNING av DATABAS-posten EJ utförd!"), std::string::npos)
      << m;
  EXPECT_NE(m.find("Modulen BTRSUBIO för DATABASANROP får FELAKTIG parameter! ¶ Funktion: LÄSER · "
                   "Kanal: 2 · "
                   "Typen: 3 · Koden: 0"),
            std::string::npos)
      << m;
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

// The real store of a file, throwing from every call once `failing` is set, as a broken disk or
// library might.
struct FailingStore : recman::Store {
  FailingStore(std::unique_ptr<recman::Store> r, const bool& f) : real(std::move(r)), failing(f) {}
  void Fail() const {
    if (failing) throw std::runtime_error("the store broke down");
  }
  const recman::Layout& layout() const override { return real->layout(); }
  int16_t Find(recman::Seek s, std::string_view k, recman::Record& o) override {
    return Fail(), real->Find(s, k, o);
  }
  int16_t FindById(int64_t id, recman::Record& o) override { return Fail(), real->FindById(id, o); }
  int16_t StepAfter(int64_t id, recman::Record& o) override {
    return Fail(), real->StepAfter(id, o);
  }
  int16_t Count(uint32_t& n) override { return Fail(), real->Count(n); }
  int16_t Insert(std::string_view d, recman::Record& o) override {
    return Fail(), real->Insert(d, o);
  }
  int16_t Update(const recman::Record& r, std::string_view d, int64_t& v) override {
    return Fail(), real->Update(r, d, v);
  }
  int16_t Delete(const recman::Record& r) override { return Fail(), real->Delete(r); }
  bool TryLock(int64_t id) override { return real->TryLock(id); }
  void Unlock(int64_t id) override { real->Unlock(id); }
  std::unique_ptr<recman::Store> real;
  const bool& failing;
};

TEST_F(Channels, AFaultBelowTheChannelLayerIsReportedAndTheRunGoesOn) {
  bool failing = true;
  Db(ctx()).engine.SetStoreOpener(
      [&](const std::string& path, std::unique_ptr<recman::Store>& out) {
        std::unique_ptr<recman::Store> real;
        const int16_t status = recman::OpenSqliteStore(path, real);
        if (status == 0) out = std::make_unique<FailingStore>(std::move(real), failing);
        return status;
      });
  int16_t status = 2, err = 0;
  BTROPASS(ctx(), RegisterPath(ctx(), Header()), status, kHeader);
  Open(ctx(), Header(), err);  // the statistics fail
  EXPECT_EQ(Db(ctx()).statuskod, -2);
  BTROPASS(ctx(), RegisterPath(ctx(), Header()), status = 2, kHeader);
  failing = false;
  Open(ctx(), Header(), err);
  ASSERT_EQ(err, 0);
  failing = true;
  std::string key = "001F241001";
  Laser(ctx(), key, kHeader, 0, 0, err);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(Db(ctx()).statuskod, -3);
  const std::string m = Messages();
  EXPECT_NE(m.find("Modulen BTROPASS kan EJ utföra PROGRAM-koden! ¶ Projekt: BTROPASS ¶ "),
            std::string::npos)
      << m;
  EXPECT_NE(m.find("Funktionen BTRCALL kan EJ utföras! ¶ Databas C:\\KVOR   \\SVF\\SVF-FTHD.BTR · "
                   "Kanal: 2 ¶ Funktion: LIKA · Kod: 5 ¶ Projekt: BTRWRARD ¶ "),
            std::string::npos)
      << m;
  EXPECT_NE(m.find("the store broke down"), std::string::npos) << m;
}

TEST_F(Channels, AFileOnANetworkShareIsRefusedWithTheServerSetting) {
  const std::string share = run.install.dir + "/NETWORK-SHARE";
  std::filesystem::create_directory(share);
  std::filesystem::copy_file(ctx().drives.ToHost(RegisterPath(ctx(), Header())),
                             share + "/SVF-FTHD.BTR");
  ctx().drives.Set('N', share);
  int16_t status = 0;
  BTROPASS(ctx(), "N:\\SVF-FTHD.BTR", status, 40);
  EXPECT_EQ(status, recman::status::kOnNetworkShare);
  EXPECT_NE(
      Messages().find("Filen 'N:\\SVF-FTHD.BTR' kan EJ öppnas! ¶ Register på en NÄTVERKS-disk "
                      "delas via en DATABAS-server: ange --registers eller KVOR_REGISTERS!"),
      std::string::npos)
      << Messages();
}

// A write-back after a locked read keeps every other character: the readers' header marks show
// it. Here: one after a plain read warns, and one under another key is refused.
TEST_F(Channels, WriteBackWithoutALockWarnsAndUnderAnotherKeyIsRefused) {
  std::string error;
  ASSERT_TRUE(PutRecord(ctx(), Header(), DistinctRecord("001F 00123"), error)) << error;
  std::string key = "001F 00123", stored;
  int16_t err = 0;
  Record& fields = Fields(ctx(), "SVF-FTHD");
  // Read without a lock: the update warns and still writes.
  Laser(ctx(), key, kHeader, 0, 0, err);
  Transfer(ctx(), Header());
  fields.Set("SKICKAD", "J");
  Build(ctx(), Header());
  Skriver(ctx(), key, kHeader, 2, 0, err);
  EXPECT_EQ(err, 0);
  ASSERT_TRUE(GetRecord(ctx(), Header(), key, stored, error));
  EXPECT_EQ(stored[852], 'J');
  // A key other than the one read is refused as a buffer error.
  key = "001F 0012";
  Skriver(ctx(), key, kHeader, 2, 0, err);
  EXPECT_EQ(Db(ctx()).statuskod, -1);
  const std::string m = Messages();
  EXPECT_NE(m.find("message 2 Nyckel '001F·00123' har EJ en LÅSNING utförts!"), std::string::npos)
      << m;
  EXPECT_NE(m.find("Nyckel '001F·0012·' ger BUFFERT-fel! ¶ Buffert: 001F·00123 ¶ Record: "
                   "001F·00123 ¶ Nyckel: 001F·00123 ¶ Databas C:\\KVOR   \\SVF\\SVF-FTHD.BTR"),
            std::string::npos)
      << m;
}

// Holds a record lock through a handle of its own, as another program would.
struct LockHolder {
  LockHolder(Context& ctx, const std::string& key)
      : engine([&ctx](const std::string& p) { return ctx.drives.ToHost(p); }) {
    EXPECT_EQ(client.Open(RegisterPath(ctx, *FindLayout("SVF-FTHD"))), 0);
    EXPECT_EQ(client.Read(op::kGetEqual + op::kSingleLock, key), 0);
  }
  recman::Engine engine;
  recman::test::Client client{engine, 10};
};

class LockWait : public test::OpenRegisters {
 protected:
  LockWait() : OpenRegisters("answer STÄNG\nanswer STÄNG\nanswer AVBRYT\n") {}
};

TEST_F(LockWait, TheUserPacesRetriesUntilTheHolderLetsGo) {
  std::string error;
  ASSERT_TRUE(PutRecord(ctx(), Header(), DistinctRecord("001F000123"), error));
  LockHolder holder(ctx(), "001F000123");
  // The holder lets go while the second lock message is up.
  int messages = 0;
  struct Watch : forms::FormObserver {
    std::function<void()> on_message;
    void ControlChanged(forms::Control& c, forms::Prop p) override {
      if (p == forms::Prop::Text && c.Name() == "Mf" &&
          c.Text().rfind(std::string("Tryck [STÄNG]"_w), 0) == 0)
        on_message();
    }
    void FormChanged(forms::Form&, forms::Prop) override {}
    void FocusChanged(forms::Form&, forms::Control*) override {}
  } watch;
  watch.on_message = [&] {
    if (++messages == 2) holder.client.Close();
  };
  ctx().main.form.AddObserver(&watch);

  std::string key = "001F000123";
  int16_t err = 9;
  Laser(ctx(), key, kHeader, 1, 1, err);  // type 1: kind 3, only [STÄNG]
  EXPECT_EQ(err, 0);
  EXPECT_EQ(messages, 2);
  EXPECT_NE(Messages().find("message 3 Nyckel '001F000123' är LÅST av ANNAT program!"),
            std::string::npos);
  ctx().main.form.RemoveObserver(&watch);

  // Type 2 offers [AVBRYT]: giving up gives indicator 2 and leaves the lock to the other.
  Laser(ctx(), key, kHeader, 0, 0, err);  // a plain read drops our own lock first
  LockHolder other(ctx(), "001F000123");
  Laser(ctx(), key, kHeader, 2, 1, err);
  EXPECT_EQ(err, 2);
  EXPECT_NE(Messages().find("message 4 Nyckel '001F000123' är LÅST av ANNAT program!"),
            std::string::npos);
}

}  // namespace
}  // namespace kvor::registers
