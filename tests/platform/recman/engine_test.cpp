// The register engine on both stores, SQLite files and the server, driven the way the channel
// layer drives it; then what only one of the stores does.
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <signal.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/recman/engine.h"
#include "support/network_share.h"
#include "support/pg_server.h"
#include "support/run_program.h"

namespace kvor::recman {
namespace {

constexpr uint16_t kRecordLength = 40;
constexpr uint8_t kKeyLength = 8;

// A record of the test files: key padded to the key length, then text, blanks to the end.
std::string Rec(std::string key, const std::string& text = "") {
  key.resize(kKeyLength, ' ');
  std::string record = key + text;
  record.resize(kRecordLength, ' ');
  return record;
}

// Record n of the walk file has key "K" and 2n in five digits, so that odd numbers fall between.
std::string KeyOf(int n) {
  return Rec("K" + std::to_string(100000 + n).substr(1)).substr(0, kKeyLength);
}

// Where a test's register files live: SQLite files in a temporary folder, or an installation of
// its own on the test binary's server.
class Place {
 public:
  std::string registers;  // server: the URL of an engine of this place; empty for files
  std::string error;      // why the place cannot be used; empty when it can

  explicit Place(bool on_server) : on_server_(on_server) {
    static int made = 0;
    if (!on_server_) {
      dir_ = kvor::test::TempFolder();
      return;
    }
    kvor::test::PgServer& server = kvor::test::PgServer::Get();
    error = server.error();
    registers = server.url();
    folder_ = "T" + std::to_string(getpid()) + "_" + std::to_string(++made);
  }
  ~Place() {
    if (!on_server_)
      std::filesystem::remove_all(dir_);
    else if (error.empty())
      Bare("DROP SCHEMA IF EXISTS \"" + folder_ + "\" CASCADE");
  }
  Place(const Place&) = delete;
  Place& operator=(const Place&) = delete;

  // The name Open and Create take for the register file `file` ("SVF-FTHD.BTR").
  std::string Name(const std::string& file) const {
    return on_server_ ? "C:\\" + folder_ + "\\" + file : dir_ + "/" + file;
  }

  // Keeps every writer of the file waiting until the returned value goes.
  std::shared_ptr<void> HoldWriters(const std::string& file) {
    if (!on_server_) {
      sqlite3* db = nullptr;
      sqlite3_open(Name(file).c_str(), &db);
      EXPECT_EQ(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
      // Closing ends the transaction.
      return std::shared_ptr<void>(db, [](void* db) { sqlite3_close(static_cast<sqlite3*>(db)); });
    }
    return std::shared_ptr<void>(Run("BEGIN; LOCK TABLE " + Table(file) + " IN EXCLUSIVE MODE"),
                                 [](void* conn) { PQfinish(static_cast<PGconn*>(conn)); });
  }

  // The server's table of a register file, and of the installation's layouts ("registers.").
  std::string Table(const std::string& file) const {
    return "\"" + folder_ + "\".\"" + file.substr(0, file.rfind('.')) + "\"";
  }
  // Statements run on the server on a connection of their own, which is closed again.
  void Bare(const std::string& sql) { PQfinish(Run(sql)); }

 private:
  // A connection of its own to the server, which has run sql.
  PGconn* Run(const std::string& sql) {
    PGconn* conn = PQconnectdb(registers.c_str());
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    PGresult* r = PQexec(conn, sql.c_str());
    EXPECT_TRUE(PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK)
        << sql << ": " << PQerrorMessage(conn);
    PQclear(r);
    return conn;
  }

  bool on_server_;
  std::string dir_;     // files: the temporary folder
  std::string folder_;  // server: the installation's data folder
};

// A handle of an engine, called as the channel layer calls it.
class Client {
 public:
  std::string record, key;  // what the last read that found a record gave

  explicit Client(Engine& engine, uint8_t key_length = kKeyLength)
      : engine_(engine), key_length_(key_length) {
    position_.fill(' ');
  }

  int16_t Open(const std::string& name, int16_t key_number = -32) {
    char stat[kStatSize] = {};
    return OnFile(op::kOpen, name, stat, key_number);
  }
  // Makes the file name empty with this layout, in place of any file of that name.
  int16_t Create(const std::string& name, uint16_t record_length = kRecordLength,
                 uint8_t key_length = kKeyLength, uint16_t page_size = 4096) {
    char layout[kStatSize] = {};
    for (auto [at, value] :
         {std::pair{kStatRecordLength, record_length}, {kStatPageSize, page_size}}) {
      layout[at] = static_cast<char>(value & 0xff);
      layout[at + 1] = static_cast<char>(value >> 8);
    }
    layout[kStatKeyLength] = static_cast<char>(key_length);
    return OnFile(op::kCreate, name, layout, 0);
  }
  int16_t Close() { return Write(op::kClose, ""); }
  int16_t Unlock() { return Write(op::kUnlock, ""); }
  int16_t Delete() { return Write(op::kDelete, ""); }

  // A read by operation (add op::kSingleLock to lock) from the key wanted; on success record and
  // key hold what came back.
  int16_t Read(int16_t operation, std::string wanted = "") {
    std::string data(1024, ' ');
    uint16_t length = static_cast<uint16_t>(data.size());
    wanted.resize(key_length_, ' ');
    const int16_t st = Raw(operation, data.data(), length, wanted.data(), key_length_);
    if (st == 0) {
      record = data.substr(0, length);
      key = wanted;
    }
    return st;
  }
  // The record a read by operation finds, or "status N" when it fails.
  std::string Got(int16_t operation, const std::string& wanted = "") {
    const int16_t st = Read(operation, wanted);
    return st == 0 ? record : "status " + std::to_string(st);
  }
  std::string Find(const std::string& wanted) { return Got(op::kGetEqual, wanted); }
  // Reads the record of wanted and writes it with text: the status of the read, or of the write.
  int16_t Rewrite(const std::string& wanted, const std::string& text) {
    const int16_t st = Read(op::kGetEqual, wanted);
    return st != 0 ? st : Update(Rec(wanted, text));
  }
  int16_t Insert(std::string data) { return Write(op::kInsert, std::move(data)); }
  int16_t Update(std::string data) { return Write(op::kUpdate, std::move(data)); }

  // A call with every argument given.
  int16_t Raw(int16_t operation, char* data, uint16_t& length, char* key, uint8_t key_length,
              int16_t key_number = 0) {
    return engine_.Call(operation, position_.data(), data, length, key, key_length, key_number);
  }

  char* position_block() { return position_.data(); }

 private:
  int16_t Write(int16_t operation, std::string data) {
    uint16_t length = static_cast<uint16_t>(data.size());
    std::string blank_key(key_length_, ' ');
    return Raw(operation, data.data(), length, blank_key.data(), key_length_);
  }
  // Open and Create: the file name in a key buffer of 255 blank-padded bytes.
  int16_t OnFile(int16_t operation, std::string name, char* data, int16_t key_number) {
    name.resize(255, ' ');
    uint16_t length = kStatSize;
    return Raw(operation, data, length, name.data(), 255, key_number);
  }

  Engine& engine_;
  uint8_t key_length_;
  std::array<char, kPositionBlockSize> position_;
};

// Opens name on c with every SQLite connection the open makes running pragma first.
int16_t OpenWithPragma(Client& c, const std::string& name, const char* pragma) {
  static const char* given;
  given = pragma;
  using Init = int (*)(sqlite3*, const char**, const sqlite3_api_routines*);
  static const Init init = [](sqlite3* db, const char**, const sqlite3_api_routines*) {
    return sqlite3_exec(db, given, nullptr, nullptr, nullptr);
  };
  sqlite3_auto_extension(reinterpret_cast<void (*)()>(init));
  const int16_t opened = c.Open(name);
  sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(init));
  return opened;
}

// A register file SVF-FTHD.BTR in a place of its own, with two handles a and b on one engine.
class OnStore : public ::testing::Test {
 protected:
  explicit OnStore(bool on_server) : place(on_server) {}
  void SetUp() override { ASSERT_EQ(place.error, ""); }

  // A fresh file holding these keys, inserted in the order given, opened on client a.
  void MakeFile(const std::vector<std::string>& keys) {
    ASSERT_EQ(a.Create(path), 0);
    ASSERT_EQ(a.Open(path), 0);
    for (const std::string& key : keys) ASSERT_EQ(a.Insert(Rec(key, "data of " + key)), 0);
  }

  Place place;
  std::string path = place.Name("SVF-FTHD.BTR");
  Engine engine{{}, place.registers};
  Client a{engine}, b{engine};
};

// The store's behaviour through the engine, the same on files and on the server.
class recmanEngine : public OnStore, public ::testing::WithParamInterface<bool> {
 protected:
  static constexpr int kRecords = 600;  // a walk file: more than several fetches ahead

  recmanEngine() : OnStore(GetParam()) {}

  // Keys met walking with operation from the record start gave, until a non-zero status; without
  // the blanks that pad them.
  std::vector<std::string> Walk(int16_t start, int16_t operation) {
    std::vector<std::string> keys;
    for (int16_t st = a.Read(start); st == 0; st = a.Read(operation))
      keys.push_back(a.key.substr(0, a.key.find(' ')));
    return keys;
  }
  // Whether a client of another engine can lock the record of key, as another program would.
  bool OthersCanLock(const std::string& key) {
    Engine engine2({}, place.registers);
    Client c(engine2);
    return c.Open(path) == 0 && c.Read(op::kGetEqual + op::kSingleLock, key) == 0;
  }

  // The walk file, kRecords records, made and filled with no handle left open, so that a test may
  // fork a child. Walks in key order by Get Greater and Get Next are served from records fetched
  // ahead: a walk must see the file as it is at each step, whoever changed it meanwhile.
  void MakeWalkFile() {
    Engine filler({}, place.registers);
    Client c(filler);
    ASSERT_EQ(c.Create(path), 0);
    ASSERT_EQ(OpenWithPragma(c, path, "PRAGMA synchronous=OFF"), 0);  // no waiting for the disk
    for (const std::string& record : Records(0, kRecords - 1)) ASSERT_EQ(c.Insert(record), 0);
  }
  // The next record of a walk: Get Greater with the key that came back, as the channel layer's
  // NÄSTA does, or Get Next.
  static int16_t Next(Client& c, bool by_next) {
    return by_next ? c.Read(op::kGetNext) : c.Read(op::kGetGreater, c.key);
  }
  // Walks on from c's record until end of file; the keys met, each with the record's text.
  static std::vector<std::string> WalkOn(Client& c, bool by_next = false) {
    std::vector<std::string> met;
    int16_t st;
    while ((st = Next(c, by_next)) == 0) met.push_back(c.record);
    EXPECT_EQ(st, status::kEndOfFile);
    return met;
  }
  // Record n of the walk file as written, and records first to last.
  static std::string Record(int n) { return Rec(KeyOf(2 * n), "first"); }
  static std::vector<std::string> Records(int first, int last) {
    std::vector<std::string> records;
    for (int n = first; n <= last; ++n) records.push_back(Record(n));
    return records;
  }
};
INSTANTIATE_TEST_SUITE_P(Stores, recmanEngine, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Server" : "Files"; });

template <bool kOnServer>
struct OnOneStore : OnStore {
  OnOneStore() : OnStore(kOnServer) {}
};
// What only register files do: host paths, SQLite's own files and faults.
using recmanFiles = OnOneStore<false>;
// What only the server does: installations kept apart, its own refusals, a server that cannot be
// reached or goes away.
using recmanOnServer = OnOneStore<true>;

// Keys with Windows-1252 letters: "\x80" euro, "\xC5" Å, "\xD6" Ö, "\xE5" å.
const std::vector<std::string> kMixedKeys = {"ZETA", "\xC5SA", "alfa",  "\x80URO",
                                             "ALFA", "\xE5sa", "\xD6ST"};
const std::vector<std::string> kByteOrder = {"ALFA",   "ZETA",   "alfa",  "\x80URO",
                                             "\xC5SA", "\xD6ST", "\xE5sa"};

TEST_P(recmanEngine, KeysAreOrderedByteByByteAndReadsFindTheNearest) {
  MakeFile(kMixedKeys);
  EXPECT_EQ(Walk(op::kGetFirst, op::kGetNext), kByteOrder);
  EXPECT_EQ(Walk(op::kGetLast, op::kGetPrevious),
            std::vector<std::string>(kByteOrder.rbegin(), kByteOrder.rend()));

  // Reads by key find the nearest record.
  EXPECT_EQ(a.Find("\xC5SA"), Rec("\xC5SA", "data of \xC5SA"));
  const struct {
    int16_t operation;
    std::string given, found;
  } cases[] = {
      {op::kGetGreater, "\xC5SA", "\xD6ST"},
      {op::kGetGreaterOrEqual, "\xC5SA", "\xC5SA"},
      {op::kGetGreaterOrEqual, "\xC0", "\xC5SA"},
      {op::kGetLess, "\xC5SA", "\x80URO"},
      {op::kGetLessOrEqual, "\xC5SA", "\xC5SA"},
      {op::kGetLessOrEqual, "\xC0", "\x80URO"},
      {op::kGetGreater, "Z", "ZETA"},
      {op::kGetLess, "a", "ZETA"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(a.Read(c.operation, c.given), 0) << c.operation << " " << c.given;
    EXPECT_EQ(a.record, Rec(c.found, "data of " + c.found)) << c.operation << " " << c.given;
  }
}

TEST_P(recmanEngine, EndOfFileNoCurrentRecordStepOrderRecordLengthsAndRefusedCalls) {
  MakeFile({});
  for (int16_t read : {op::kGetFirst, op::kGetLast, op::kGetGreaterOrEqual, op::kStepNext})
    EXPECT_EQ(a.Read(read), status::kEndOfFile) << read;
  EXPECT_EQ(a.Read(op::kGetNext), status::kNoCurrentRecord);
  EXPECT_EQ(a.Read(op::kGetPrevious), status::kNoCurrentRecord);

  ASSERT_EQ(a.Insert(Rec("B")), 0);
  ASSERT_EQ(a.Insert(Rec("C")), 0);
  EXPECT_EQ(a.Read(op::kGetNext), status::kEndOfFile);  // the insert made C current
  EXPECT_EQ(a.Read(op::kGetGreater, "C"), status::kEndOfFile);
  EXPECT_EQ(a.Read(op::kGetLess, "B"), status::kEndOfFile);
  EXPECT_EQ(a.Read(op::kGetEqual, "A"), status::kKeyNotFound);
  EXPECT_EQ(a.Got(op::kGetPrevious), Rec("B"));  // failed reads keep the position at C

  // Step Next follows the order of insertion, also in the file opened again.
  ASSERT_EQ(a.Insert(Rec("A")), 0);
  ASSERT_EQ(a.Close(), 0);
  ASSERT_EQ(a.Open(path), 0);
  EXPECT_EQ(Walk(op::kStepNext, op::kStepNext), (std::vector<std::string>{"B", "C", "A"}));
  ASSERT_EQ(a.Read(op::kGetEqual, "C"), 0);
  EXPECT_EQ(a.Got(op::kStepNext), Rec("A"));

  // Shorter data is padded with blanks; data shorter than the key or longer than the record is
  // refused.
  ASSERT_EQ(a.Insert(Rec("SHORT").substr(0, kKeyLength + 2)), 0);
  EXPECT_EQ(a.Got(op::kGetEqual, "SHORT"), Rec("SHORT"));
  EXPECT_EQ(a.Insert("TINY"), status::kDataBufferTooShort);
  EXPECT_EQ(a.Insert(Rec("LONG") + "x"), status::kDataBufferTooShort);

  std::string data(kRecordLength, '#');
  std::string key = Rec("SHORT").substr(0, kKeyLength);
  // A call on these buffers with the lengths given.
  const auto call = [&](Client& c, int16_t operation, uint16_t length, uint8_t key_length) {
    return c.Raw(operation, data.data(), length, key.data(), key_length);
  };
  EXPECT_EQ(call(a, op::kGetEqual, kRecordLength - 1, kKeyLength), status::kDataBufferTooShort);
  EXPECT_EQ(call(a, op::kGetEqual, kRecordLength, kKeyLength - 1), status::kKeyBufferTooShort);
  EXPECT_EQ(call(a, op::kInsert + op::kSingleLock, kRecordLength, kKeyLength),
            status::kInvalidOperation);
  // Without an open handle: a blank position block, or one of another engine.
  Engine other;
  Client blank(engine), stranger(other);
  std::copy_n(a.position_block(), kPositionBlockSize, stranger.position_block());
  EXPECT_EQ(call(blank, op::kGetFirst, kRecordLength, kKeyLength), status::kFileNotOpen);
  EXPECT_EQ(call(stranger, op::kGetFirst, kRecordLength, kKeyLength), status::kFileNotOpen);
  EXPECT_EQ(data, std::string(kRecordLength, '#'));
}

// Every call that ends a lock, each after a locks A again; a locked read of another record holds
// that one instead, until a locks A again.
TEST_P(recmanEngine, LockEndsWithEveryCallThatEndsItAndWritesNeedAnUnchangedCurrentRecord) {
  MakeFile({"A", "B", "C"});
  const struct {
    const char* name;
    std::function<int16_t()> release;
    bool holds_b;
  } releases[] = {
      {"update", [&] { return a.Update(Rec("A", "x")); }, false},
      {"plain read of the record", [&] { return a.Read(op::kGetEqual, "A"); }, false},
      {"failed read",
       [&] { return a.Read(op::kGetEqual, "NONE") == status::kKeyNotFound ? 0 : -1; }, false},
      {"locked read of another record", [&] { return a.Read(op::kGetNext + op::kSingleLock); },
       true},
      {"locked step", [&] { return a.Read(op::kStepNext + op::kSingleLock); }, true},
      // The second unlock has nothing to release, which is no fault.
      {"unlock", [&] { return a.Unlock() == 0 ? a.Unlock() : -1; }, false},
      {"close", [&] { return a.Close(); }, false},
  };
  for (const auto& r : releases) {
    SCOPED_TRACE(r.name);
    ASSERT_EQ(a.Read(op::kGetEqual + op::kSingleLock, "A"), 0);
    EXPECT_FALSE(OthersCanLock("A"));
    ASSERT_EQ(r.release(), 0);
    EXPECT_TRUE(OthersCanLock("A"));
    EXPECT_EQ(OthersCanLock("B"), !r.holds_b);
  }
  EXPECT_EQ(a.Read(op::kGetFirst), status::kFileNotOpen);
  ASSERT_EQ(a.Open(path), 0);

  // A reset ends every handle of the engine and their locks.
  ASSERT_EQ(b.Open(path), 0);
  ASSERT_EQ(a.Read(op::kGetEqual + op::kSingleLock, "A"), 0);
  ASSERT_EQ(b.Read(op::kGetEqual + op::kSingleLock, "C"), 0);
  uint16_t length = 0;
  ASSERT_EQ(engine.Call(op::kReset, nullptr, nullptr, length, nullptr, 0, 0), 0);
  EXPECT_TRUE(OthersCanLock("A"));
  EXPECT_TRUE(OthersCanLock("C"));
  EXPECT_EQ(a.Read(op::kGetFirst), status::kFileNotOpen);
  EXPECT_EQ(b.Read(op::kGetFirst), status::kFileNotOpen);

  // Writes go to the current record.
  ASSERT_EQ(a.Open(path), 0);
  ASSERT_EQ(a.Read(op::kGetEqual, "B"), 0);
  ASSERT_EQ(a.Delete(), 0);
  EXPECT_EQ(a.Update(Rec("B")), status::kNoCurrentRecord);
  EXPECT_EQ(a.Delete(), status::kNoCurrentRecord);
  EXPECT_EQ(a.Got(op::kGetNext), Rec("C", "data of C"));
  EXPECT_EQ(Walk(op::kGetFirst, op::kGetNext), (std::vector<std::string>{"A", "C"}));

  EXPECT_EQ(a.Insert(Rec("A", "other text")), status::kDuplicateKey);
  EXPECT_EQ(a.Find("A"), Rec("A", "x"));
  // Keys are exact bytes: a trailing blank is part of the key, another case is another key.
  EXPECT_EQ(a.Insert(Rec("a")), 0);
  EXPECT_EQ(a.Insert(Rec("A ")), status::kDuplicateKey);

  // Update replaces the current record under the same key.
  ASSERT_EQ(a.Insert(Rec("B")), 0);
  EXPECT_EQ(a.Update(Rec("B", "new")), 0);  // the inserted record is current
  ASSERT_EQ(b.Open(path), 0);
  EXPECT_EQ(b.Update(Rec("B", "new")), status::kNoCurrentRecord);
  ASSERT_EQ(b.Read(op::kGetEqual, "A"), 0);
  EXPECT_EQ(b.Update(Rec("C", "moved")), status::kInvalidOperation);
  EXPECT_EQ(b.Update(Rec("A", "twice")), 0);
  EXPECT_EQ(b.Update(Rec("A", "thrice")), 0);  // its own update does not make it stale
  EXPECT_EQ(a.Find("A"), Rec("A", "thrice"));
  EXPECT_EQ(a.Find("B"), Rec("B", "new"));
  EXPECT_EQ(a.Find("C"), Rec("C", "data of C"));

  // A record another handle changed since the read, or deleted and inserted again, conflicts.
  ASSERT_EQ(a.Rewrite("A", "by a"), 0);
  EXPECT_EQ(b.Update(Rec("A", "by b")), status::kConflict);
  EXPECT_EQ(b.Delete(), status::kConflict);
  EXPECT_EQ(b.Find("A"), Rec("A", "by a"));
  EXPECT_EQ(b.Update(Rec("A", "by b")), 0);
  ASSERT_EQ(a.Read(op::kGetEqual, "C"), 0);
  ASSERT_EQ(b.Read(op::kGetEqual, "C"), 0);
  ASSERT_EQ(b.Delete(), 0);
  ASSERT_EQ(b.Insert(Rec("C")), 0);
  EXPECT_EQ(a.Update(Rec("C", "by a")), status::kConflict);
}

// What is no register file is refused and left as it was. Made or opened, a register file on a
// network share is refused, and never put in WAL mode there. A Windows name is mapped to the host.
TEST_F(recmanFiles, OpenRefusesWhatIsNoRegisterFileOrOnANetworkShareAndAFullDiskAnswers18) {
  EXPECT_EQ(a.Open(place.Name("NO-DIR/X.BTR")), status::kFileNotFound);
  EXPECT_EQ(a.Create(place.Name("NO-DIR/X.BTR")), status::kFileNotFound);
  EXPECT_EQ(a.Open(""), status::kInvalidFileName);
  EXPECT_EQ(a.Open(place.Name(".")), status::kNotRegisterFile);  // a folder

  const std::string text = place.Name("TEXT.BTR");
  const std::string bytes(3000, 'x');
  kvor::test::WriteFile(text, bytes);
  EXPECT_EQ(a.Open(text), status::kNotRegisterFile);
  EXPECT_EQ(kvor::test::ReadFile(text), bytes);  // and left as it was
  kvor::test::WriteFile(place.Name("EMPTY.BTR"), "");
  EXPECT_EQ(a.Open(place.Name("EMPTY.BTR")), status::kNotRegisterFile);

  sqlite3* db = nullptr;
  sqlite3_open(place.Name("OTHER.BTR").c_str(), &db);
  sqlite3_exec(db, "CREATE TABLE t(x)", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  EXPECT_EQ(a.Open(place.Name("OTHER.BTR")), status::kNotRegisterFile);

  const std::string shared = place.Name("NETWORK-SHARE/SVF-FTHD.BTR");
  std::filesystem::create_directory(place.Name("NETWORK-SHARE"));
  EXPECT_EQ(a.Create(shared), status::kOnNetworkShare);
  ASSERT_EQ(a.Create(path), 0);
  std::filesystem::copy_file(path, shared);
  EXPECT_EQ(a.Open(shared), status::kOnNetworkShare);
  EXPECT_FALSE(std::filesystem::exists(shared + "-wal"));

  // The name given ends at the first NUL, and its trailing blanks are dropped.
  Engine mapped([&](const std::string& name) {
    return name == "C:\\KVOR\\SVF\\SVF-FTHD.BTR" ? path : std::string();
  });
  Client c(mapped);
  ASSERT_EQ(c.Create("C:\\KVOR\\SVF\\SVF-FTHD.BTR"), 0);
  EXPECT_EQ(c.Open(std::string("C:\\KVOR\\SVF\\SVF-FTHD.BTR   ") + '\0' + "rest"), 0);
  EXPECT_EQ(c.Open("D:\\NOT\\MAPPED.BTR"), status::kFileNotFound);
  EXPECT_EQ(c.Open("C:\\KVOR\\SVF\\SVF-FTHD.BTR", 5), status::kInvalidOperation);

  // A full disk answers 18 and keeps what was written.
  ASSERT_EQ(c.Close(), 0);
  ASSERT_EQ(a.Create(path, 1000, 8), 0);
  ASSERT_EQ(OpenWithPragma(a, path, "PRAGMA max_page_count=12"), 0);  // writes run out of room

  int16_t st = 0;
  int stored = -1;  // the records written before the disk was full
  while (st == 0 && ++stored < 1000) st = a.Insert(Rec(std::to_string(100000 + stored)));
  ASSERT_EQ(st, status::kDiskFull);
  EXPECT_GT(stored, 5);
  ASSERT_EQ(b.Open(path), 0);
  EXPECT_EQ(b.Read(op::kGetEqual, std::to_string(100000 + stored)), status::kKeyNotFound);
  ASSERT_EQ(b.Read(op::kGetLast), 0);
  EXPECT_EQ(b.key.substr(0, 6), std::to_string(100000 + stored - 1));
  ASSERT_EQ(a.Read(op::kGetFirst), 0);  // the full handle still reads
}

// A file in use answers 85 after a short wait and is left as it was: made again while it is open,
// or written while another program writes it. Readers are not held up by a writer.
TEST_P(recmanEngine, AFileInUseAnswers85AndStatDescribesAFileMadeAgain) {
  MakeFile({"A", "B"});
  const auto answers85 = [](const std::function<int16_t()>& call) {
    const auto start = std::chrono::steady_clock::now();
    return call() == status::kFileLocked &&
           std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(1500);
  };
  EXPECT_TRUE(answers85([&] { return a.Create(path, 999, 37, 1024); }));
  std::shared_ptr<void> writer = place.HoldWriters("SVF-FTHD.BTR");
  EXPECT_TRUE(answers85([&] { return a.Insert(Rec("C")); }));
  EXPECT_EQ(a.Find("A"), Rec("A", "data of A"));
  writer.reset();
  ASSERT_EQ(a.Insert(Rec("C")), 0);

  ASSERT_EQ(a.Close(), 0);
  ASSERT_EQ(a.Create(path, 999, 37, 1024), 0);
  Client c(engine, 37);
  ASSERT_EQ(c.Open(path), 0);
  ASSERT_EQ(c.Insert("K01" + std::string(996, ' ')), 0);
  std::string stat(40, '#'), key(37, ' ');
  uint16_t length = 40;
  ASSERT_EQ(c.Raw(op::kStat, stat.data(), length, key.data(), 37), 0);
  EXPECT_EQ(length, kStatSize);
  // Record length 999, page size 1024, one record (the old file's went with it), key length 37;
  // nothing written beyond.
  EXPECT_EQ(stat, std::string("\xE7\x03\x00\x04\x01\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                              "\x01\x00\x25\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00",
                              32) +
                      "########");
  length = kStatSize - 1;
  EXPECT_EQ(c.Raw(op::kStat, stat.data(), length, key.data(), 37), status::kDataBufferTooShort);

  // Layouts that cannot hold a key.
  EXPECT_EQ(a.Create(place.Name("BAD.BTR"), 10, 11), status::kInvalidOperation);
  EXPECT_EQ(a.Create(place.Name("BAD.BTR"), 10, 0), status::kInvalidOperation);
  EXPECT_EQ(b.Open(place.Name("MISSING.BTR")), status::kFileNotFound);
}

TEST_F(recmanOnServer, InstallationsAreApartAndAServerOutOfReachOrGoneAnswers20) {
  Place other(/*on_server=*/true);
  ASSERT_EQ(a.Create(path), 0);
  ASSERT_EQ(a.Create(other.Name("SVF-FTHD.BTR")), 0);
  ASSERT_EQ(a.Open(path), 0);
  ASSERT_EQ(a.Insert(Rec("A")), 0);
  Client c(engine);
  ASSERT_EQ(b.Open(other.Name("SVF-FTHD.BTR")), 0);
  EXPECT_EQ(b.Read(op::kGetEqual, "A"), status::kKeyNotFound);
  // Windows names: neither the case nor the folder under the installation's makes another one.
  ASSERT_EQ(c.Open(place.Name("SVF\\svf-fthd.btr")), 0);
  EXPECT_EQ(c.Read(op::kGetEqual, "A"), 0);

  EXPECT_EQ(c.Open("SVF-FTHD.BTR"), status::kFileNotFound);  // no installation folder

  Engine nowhere({}, "postgresql:///postgres?host=" + kvor::test::TempFolder() + "&user=kvor");
  Client lost(nowhere);
  EXPECT_EQ(lost.Open(path), status::kEngineNotRunning);
  EXPECT_EQ(lost.Create(path), status::kEngineNotRunning);

  // The server ends the session, as when it stops: the next call answers 20, the record lock went
  // with the session, and the next open connects again.
  ASSERT_EQ(a.Read(op::kGetEqual + op::kSingleLock, "A"), 0);
  place.Bare(
      "SELECT pg_terminate_backend(pid, 5000) FROM pg_stat_activity"
      " WHERE application_name = 'kvor' AND pid <> pg_backend_pid()");
  EXPECT_EQ(a.Read(op::kGetEqual, "A"), status::kEngineNotRunning);
  EXPECT_EQ(a.Update(Rec("A", "lost")), status::kEngineNotRunning);
  Client d(engine);
  ASSERT_EQ(d.Open(path), 0);
  EXPECT_EQ(d.Got(op::kGetEqual + op::kSingleLock, "A"), Rec("A"));

  // A register whose layout is gone is no register file.
  place.Bare("DELETE FROM " + place.Table("registers.") + " WHERE name = 'SVF-FTHD'");
  EXPECT_EQ(c.Open(path), status::kNotRegisterFile);
}

TEST_P(recmanEngine, WalkSeesEveryRecordOnceInOrderAndAnEqualReadAgainSeesEveryChange) {
  MakeWalkFile();
  ASSERT_EQ(a.Open(path), 0);
  for (bool by_next : {false, true}) {
    EXPECT_EQ(a.Got(op::kGetFirst), Record(0));
    EXPECT_EQ(WalkOn(a, by_next), Records(1, kRecords - 1))
        << (by_next ? "Get Next" : "Get Greater");
    // End of file keeps the last record current, as any failed read does.
    EXPECT_EQ(a.Read(op::kGetNext), status::kEndOfFile);
    EXPECT_EQ(a.Got(op::kGetPrevious), Record(kRecords - 2));
  }

  // Get Greater from a key other than the one served last, and Get Next and Get Greater mixed.
  EXPECT_EQ(a.Got(op::kGetGreater, KeyOf(199)), Record(100));
  for (int n = 101; n < 140; ++n) {
    ASSERT_EQ(Next(a, n % 3 == 0), 0);
    ASSERT_EQ(a.record, Record(n));
  }
  EXPECT_EQ(a.Got(op::kGetGreater, KeyOf(20)), Record(11));  // back, in the middle of a walk
  EXPECT_EQ(a.Got(op::kGetNext), Record(12));
  ASSERT_EQ(a.Read(op::kGetEqual, KeyOf(400)), 0);  // another read, then the walk goes on from it
  EXPECT_EQ(a.Got(op::kGetNext), Record(201));

  // Get Equal outcomes are served again while the file is unchanged; any change, by whoever, is
  // seen by the next read, and so is a record that appeared or went.
  ASSERT_EQ(b.Open(path), 0);
  const std::string k10 = KeyOf(10), k11 = KeyOf(11);
  EXPECT_EQ(a.Find(k10), Rec(k10, "first"));
  ASSERT_EQ(b.Rewrite(k10, "by b"), 0);
  EXPECT_EQ(a.Find(k10), Rec(k10, "by b"));
  EXPECT_EQ(a.Update(Rec(k10, "by a")), 0);  // a holds b's version, so may write
  EXPECT_EQ(a.Find(k10), Rec(k10, "by a"));
  {
    Engine other({}, place.registers);  // another connection, as of another program
    Client c(other);
    ASSERT_EQ(c.Open(path), 0);
    ASSERT_EQ(c.Rewrite(k10, "other"), 0);
  }
  EXPECT_EQ(a.Find(k10), Rec(k10, "other"));
  EXPECT_EQ(a.Update(Rec(k10, "by a")), 0);

  EXPECT_EQ(a.Find(k11), "status 4");
  ASSERT_EQ(b.Insert(Rec(k11, "new by b")), 0);
  EXPECT_EQ(a.Find(k11), Rec(k11, "new by b"));
  ASSERT_EQ(b.Read(op::kGetEqual, k11), 0);
  ASSERT_EQ(b.Delete(), 0);
  EXPECT_EQ(a.Find(k11), "status 4");

  // Several keys are kept at once; a change to one of them is seen when it is asked again.
  const std::string k20 = KeyOf(20), k22 = KeyOf(22);
  for (const std::string& key : {k20, k22, k20}) ASSERT_EQ(a.Read(op::kGetEqual, key), 0);
  ASSERT_EQ(b.Rewrite(k22, "by b"), 0);
  EXPECT_EQ(a.Find(k20), Rec(k20, "first"));
  EXPECT_EQ(a.Find(k22), Rec(k22, "by b"));

  // A lock taken by another handle is met even when the record is served again.
  ASSERT_EQ(a.Read(op::kGetEqual, KeyOf(12)), 0);
  ASSERT_EQ(b.Read(op::kGetEqual + op::kSingleLock, KeyOf(12)), 0);
  EXPECT_EQ(a.Read(op::kGetEqual + op::kSingleLock, KeyOf(12)), status::kRecordLocked);
  ASSERT_EQ(b.Unlock(), 0);
  EXPECT_EQ(a.Read(op::kGetEqual + op::kSingleLock, KeyOf(12)), 0);
}

// Locks and changes met in a walk, made by another handle of this engine, by another engine (as
// of another program) and by the walking handle itself; a lock held by another process. Each
// change is made after the walk has passed record 40 (and fetched some records after it), and is
// met as it is when the walk gets there.
TEST_P(recmanEngine, LocksAndChangesOfOthersAreMetInAWalk) {
  MakeWalkFile();
  // Another process locks record 30 and holds the lock until it is killed. Forked before this
  // process opens the file: an SQLite connection must not cross a fork.
  const pid_t holder = fork();
  if (holder == 0) {
    Engine engine({}, place.registers);
    Client c(engine);
    if (c.Open(path) != 0) _exit(1);
    while (c.Read(op::kGetEqual + op::kSingleLock, KeyOf(60)) != 0) usleep(1000);
    pause();
  }
  std::shared_ptr<void> holding(nullptr, [holder](void*) {
    kill(holder, SIGKILL);
    kvor::test::WaitForProgram(holder);
  });
  ASSERT_TRUE(kvor::test::WaitUntil([&] { return !OthersCanLock(KeyOf(60)); }, 10));
  ASSERT_EQ(a.Open(path), 0);
  ASSERT_EQ(b.Open(path), 0);

  ASSERT_EQ(a.Read(op::kGetFirst), 0);
  for (int n = 1; n < 29; ++n) ASSERT_EQ(Next(a, n % 2 == 0), 0);
  ASSERT_EQ(a.Read(op::kGetNext + op::kSingleLock), 0);                      // 29 locks
  EXPECT_EQ(a.Read(op::kGetNext + op::kSingleLock), status::kRecordLocked);  // 30 is the other's
  EXPECT_EQ(a.Read(op::kGetGreater + op::kSingleLock, a.key), status::kRecordLocked);
  ASSERT_EQ(Next(a, true), 0);  // reading is not writing, and the refused reads did not move a
  EXPECT_EQ(a.key, KeyOf(60));
  EXPECT_EQ(a.Update(Rec(KeyOf(60), "by a")), status::kRecordLocked);
  EXPECT_EQ(a.Delete(), status::kRecordLocked);

  for (int n = 31; n <= 40; ++n) ASSERT_EQ(Next(a, n % 2 == 0), 0);
  ASSERT_EQ(b.Rewrite(KeyOf(86), "by b"), 0);  // 43
  ASSERT_EQ(b.Read(op::kGetEqual, KeyOf(104)), 0);
  Engine engine2({}, place.registers);
  Client c(engine2);
  ASSERT_EQ(c.Open(path), 0);
  ASSERT_EQ(c.Rewrite(KeyOf(104), "other"), 0);
  EXPECT_EQ(b.Update(Rec(KeyOf(104), "by b")), status::kConflict);  // the other changed it
  ASSERT_EQ(Next(a, false), 0);  // 41: the walk goes on between the changes
  ASSERT_EQ(c.Read(op::kGetEqual, KeyOf(110)), 0);
  ASSERT_EQ(c.Delete(), 0);
  ASSERT_EQ(c.Insert(Rec(KeyOf(115), "other")), 0);
  std::vector<std::string> expected = Records(42, kRecords - 1);
  expected[43 - 42] = Rec(KeyOf(86), "by b");
  expected[52 - 42] = Rec(KeyOf(104), "other");
  expected.insert(expected.begin() + (58 - 42), Rec(KeyOf(115), "other"));
  expected.erase(expected.begin() + (55 - 42));
  EXPECT_EQ(WalkOn(a), expected);

  // Its own insert just ahead of where its walk has fetched.
  ASSERT_EQ(a.Read(op::kGetEqual, KeyOf(86)), 0);
  ASSERT_EQ(Next(a, true), 0);
  ASSERT_EQ(a.Insert(Rec(KeyOf(89), "new by a")), 0);
  ASSERT_EQ(a.Read(op::kGetEqual, KeyOf(88)), 0);
  ASSERT_EQ(Next(a, false), 0);
  EXPECT_EQ(a.record, Rec(KeyOf(89), "new by a"));

  // The lock of a killed process goes with it; a server lets it go once it has seen the
  // connection close.
  EXPECT_EQ(a.Read(op::kGetEqual + op::kSingleLock, KeyOf(60)), status::kRecordLocked);
  holding.reset();
  EXPECT_TRUE(kvor::test::WaitUntil(
      [&] { return a.Read(op::kGetEqual + op::kSingleLock, KeyOf(60)) == 0; }, 5));
  EXPECT_EQ(a.Update(Rec(KeyOf(60), "by a")), 0);
}

}  // namespace
}  // namespace kvor::recman
