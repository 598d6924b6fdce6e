// Test helpers: the two stores the tests run on, a handle driven the way the channel layer drives
// the engine, and a second process to hold locks and write from.
#pragma once

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/recman/engine.h"
#include "support/pg_server.h"
#include "support/run_program.h"

namespace kvor::recman::test {

inline constexpr uint16_t kRecordLength = 40;
inline constexpr uint8_t kKeyLength = 8;

// A record of the test files: key padded to the key length, then text, blanks to the end.
inline std::string Rec(std::string key, const std::string& text = "") {
  key.resize(kKeyLength, ' ');
  std::string record = key + text;
  record.resize(kRecordLength, ' ');
  return record;
}

inline int16_t CreateFile(Engine& engine, const std::string& name,
                          uint16_t record_length = kRecordLength, uint16_t key_length = kKeyLength,
                          uint16_t page_size = 4096) {
  std::array<char, kStatSize> layout{};
  for (auto [at, value] :
       {std::pair{kStatRecordLength, record_length}, {kStatPageSize, page_size}}) {
    layout[at] = static_cast<char>(value & 0xff);
    layout[at + 1] = static_cast<char>(value >> 8);
  }
  layout[kStatKeyLength] = static_cast<char>(key_length);
  std::string key = name;
  key.resize(255, ' ');
  char position[kPositionBlockSize] = {};
  uint16_t length = kStatSize;
  return engine.Call(op::kCreate, position, layout.data(), length, key.data(), 255, 0);
}

// Where a test's register files live: SQLite files in a temporary folder, or an installation of
// its own on the test binary's server.
enum class StoreKind { kFiles, kServer };
inline void PrintTo(StoreKind kind, std::ostream* out) {
  *out << (kind == StoreKind::kFiles ? "files" : "server");
}

class Place {
 public:
  explicit Place(StoreKind kind) : kind_(kind) {
    static int made = 0;
    if (kind_ == StoreKind::kFiles) {
      dir_ = kvor::test::TempFolder();
      return;
    }
    kvor::test::PgServer& server = kvor::test::PgServer::Get();
    error_ = server.error();
    registers_ = server.url();
    folder_ = "T" + std::to_string(getpid()) + "_" + std::to_string(++made);
  }
  ~Place() {
    if (kind_ == StoreKind::kFiles)
      std::filesystem::remove_all(dir_);
    else if (error_.empty())
      Bare("DROP SCHEMA IF EXISTS \"" + folder_ + "\" CASCADE");
  }
  Place(const Place&) = delete;
  Place& operator=(const Place&) = delete;

  // Why the place cannot be used; empty when it can.
  const std::string& error() const { return error_; }
  // The registers URL of an engine of this place; empty for files.
  const std::string& registers() const { return registers_; }
  // The name Open and Create take for the register file `file` ("SVF-FTHD.BTR").
  std::string Name(const std::string& file) const {
    return kind_ == StoreKind::kFiles ? dir_ + "/" + file : "C:\\" + folder_ + "\\" + file;
  }

  // Keeps every writer of the file waiting until the returned value goes.
  std::shared_ptr<void> HoldWriters(const std::string& file) {
    if (kind_ == StoreKind::kFiles) {
      sqlite3* db = nullptr;
      sqlite3_open(Name(file).c_str(), &db);
      EXPECT_EQ(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
      return std::shared_ptr<void>(db, [](void* db) {
        sqlite3_exec(static_cast<sqlite3*>(db), "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(static_cast<sqlite3*>(db));
      });
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
    PGconn* conn = PQconnectdb(registers_.c_str());
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    PGresult* r = PQexec(conn, sql.c_str());
    EXPECT_TRUE(PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK)
        << sql << ": " << PQerrorMessage(conn);
    PQclear(r);
    return conn;
  }

  StoreKind kind_;
  std::string dir_;        // files: the temporary folder
  std::string folder_;     // server: the installation's data folder
  std::string registers_;  // server: its URL
  std::string error_;
};

// A test that runs on both stores: instantiate with KVOR_ON_BOTH_STORES(suite).
class OnBothStores : public ::testing::TestWithParam<StoreKind> {
 protected:
  void SetUp() override { ASSERT_EQ(place.error(), ""); }

  Place place{GetParam()};
};

#define KVOR_ON_BOTH_STORES(suite)                                                         \
  INSTANTIATE_TEST_SUITE_P(                                                                \
      Stores, suite,                                                                       \
      ::testing::Values(::kvor::recman::test::StoreKind::kFiles,                           \
                        ::kvor::recman::test::StoreKind::kServer),                         \
      [](const auto& info) {                                                               \
        return info.param == ::kvor::recman::test::StoreKind::kFiles ? "Files" : "Server"; \
      })

class Client {
 public:
  explicit Client(Engine& engine, uint8_t key_length = kKeyLength)
      : engine_(engine), key_length_(key_length) {
    position_.fill(' ');
  }

  int16_t Open(std::string name, int16_t key_number = -32) {
    name.resize(255, ' ');
    char stat[kStatSize] = {};
    uint16_t length = kStatSize;
    return Raw(op::kOpen, stat, length, name.data(), 255, key_number);
  }
  int16_t Close() { return Write(op::kClose, ""); }
  int16_t Unlock() { return Write(op::kUnlock, ""); }
  int16_t Delete() { return Write(op::kDelete, ""); }

  // A read by operation (add op::kSingleLock to lock); on success record() and key() hold what
  // came back.
  int16_t Read(int16_t operation, const std::string& key = "") {
    std::string data(1024, ' ');
    uint16_t length = static_cast<uint16_t>(data.size());
    std::string k = key;
    k.resize(key_length_, ' ');
    const int16_t st = Raw(operation, data.data(), length, k.data(), key_length_);
    if (st == 0) {
      record_ = data.substr(0, length);
      key_ = k;
    }
    return st;
  }
  // The record of key, or "status N" when the read fails.
  std::string Find(const std::string& key) {
    const int16_t st = Read(op::kGetEqual, key);
    return st == 0 ? record_ : "status " + std::to_string(st);
  }
  // Reads the record of key and writes it with text: the status of the read, or of the write.
  int16_t Rewrite(const std::string& key, const std::string& text) {
    const int16_t st = Read(op::kGetEqual, key);
    return st != 0 ? st : Update(Rec(key, text));
  }
  int16_t Insert(std::string record) { return Write(op::kInsert, std::move(record)); }
  int16_t Update(std::string record) { return Write(op::kUpdate, std::move(record)); }

  // A call with every argument given.
  int16_t Raw(int16_t operation, char* data, uint16_t& length, char* key, uint8_t key_length,
              int16_t key_number = 0) {
    return engine_.Call(operation, position_.data(), data, length, key, key_length, key_number);
  }

  const std::string& record() const { return record_; }
  const std::string& key() const { return key_; }
  char* position_block() { return position_.data(); }

 private:
  int16_t Write(int16_t operation, std::string record) {
    uint16_t length = static_cast<uint16_t>(record.size());
    std::string key(key_length_, ' ');
    return Raw(operation, record.data(), length, key.data(), key_length_);
  }

  Engine& engine_;
  uint8_t key_length_;
  std::array<char, kPositionBlockSize> position_;
  std::string record_, key_;
};

// A second process running body, with a socket to talk to it. Fork it while this process has no
// register file open: an SQLite connection must not cross a fork.
class Child {
 public:
  explicit Child(const std::function<int(Child&)>& body) {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) return;
    pid_ = fork();
    fd_ = ends[pid_ == 0 ? 1 : 0];
    close(ends[pid_ == 0 ? 0 : 1]);
    if (pid_ == 0) _exit(body(*this));
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() {
    if (pid_ > 0) Kill(SIGKILL);
    close(fd_);
  }

  // One byte to the other side, and the next byte from it ('\0' when it has gone).
  void Send(char c) {
    if (write(fd_, &c, 1) != 1) return;
  }
  char Receive() {
    char c = 0;
    return read(fd_, &c, 1) == 1 ? c : '\0';
  }
  // Ends the child with signal; its exit code, or 128 + the signal that ended it.
  int Kill(int signal) {
    if (pid_ <= 0 || kill(pid_, signal) != 0) return -1;
    const int code = kvor::test::WaitForProgram(pid_);
    pid_ = -1;
    return code;
  }

 private:
  pid_t pid_ = -1;
  int fd_ = -1;
};

}  // namespace kvor::recman::test
