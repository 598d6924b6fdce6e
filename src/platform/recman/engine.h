// The keyed record store behind the register files: one entry point, Call, in the shape the
// channel layer expects (operation, 128-byte position block, data buffer, data length, key buffer,
// key length, key number, 16-bit status). Each register file is a database file of fixed-length
// records under one unique key, the first key-length bytes of the record, compared byte by byte.
// FORMAT.md beside this file describes the files, the lock file and the statuses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace kvor::recman {

class ServerStores;

// Operation codes of Call.
namespace op {
inline constexpr int16_t kOpen = 0;
inline constexpr int16_t kClose = 1;
inline constexpr int16_t kInsert = 2;
inline constexpr int16_t kUpdate = 3;
inline constexpr int16_t kDelete = 4;
inline constexpr int16_t kGetEqual = 5;
inline constexpr int16_t kGetNext = 6;
inline constexpr int16_t kGetPrevious = 7;
inline constexpr int16_t kGetGreater = 8;
inline constexpr int16_t kGetGreaterOrEqual = 9;
inline constexpr int16_t kGetLess = 10;
inline constexpr int16_t kGetLessOrEqual = 11;
inline constexpr int16_t kGetFirst = 12;
inline constexpr int16_t kGetLast = 13;
inline constexpr int16_t kCreate = 14;
inline constexpr int16_t kStat = 15;
inline constexpr int16_t kStepNext = 24;
inline constexpr int16_t kUnlock = 27;
inline constexpr int16_t kReset = 28;
// Added to a read: take a single-record lock on the record found, without waiting.
inline constexpr int16_t kSingleLock = 200;
}  // namespace op

// Statuses Call returns.
namespace status {
inline constexpr int16_t kOk = 0;
inline constexpr int16_t kInvalidOperation = 1;  // unknown code, bad layout, key change on update
inline constexpr int16_t kIoError = 2;           // any other failure of the storage
inline constexpr int16_t kFileNotOpen = 3;       // the position block holds no open handle
inline constexpr int16_t kKeyNotFound = 4;
inline constexpr int16_t kDuplicateKey = 5;
inline constexpr int16_t kInvalidKeyNumber = 6;  // only key 0 exists
inline constexpr int16_t kNoCurrentRecord = 8;
inline constexpr int16_t kEndOfFile = 9;
inline constexpr int16_t kInvalidFileName = 11;
inline constexpr int16_t kFileNotFound = 12;
inline constexpr int16_t kDiskFull = 18;
inline constexpr int16_t kEngineNotRunning = 20;  // the register server cannot be reached
inline constexpr int16_t kKeyBufferTooShort = 21;
inline constexpr int16_t kDataBufferTooShort = 22;  // also: more data than the record holds
inline constexpr int16_t kNotRegisterFile = 30;
inline constexpr int16_t kConflict = 80;      // the record changed since this handle read it
inline constexpr int16_t kRecordLocked = 84;  // another client holds the record's lock
inline constexpr int16_t kFileLocked = 85;    // the file stayed busy beyond a short wait
// A register file on a network file system, refused: an office shares its registers on a server.
inline constexpr int16_t kOnNetworkShare = 94;
}  // namespace status

inline constexpr size_t kPositionBlockSize = 128;

class Store;
// Opens the storage of a register file for one handle (OpenSqliteStore, sqlite_store.h).
using StoreOpener = std::function<int16_t(const std::string& path, std::unique_ptr<Store>& out)>;

// The statistics buffer of Stat, also the layout buffer of Create: 16-bit little-endian values.
inline constexpr size_t kStatSize = 32;
inline constexpr size_t kStatRecordLength = 0;
inline constexpr size_t kStatPageSize = 2;
inline constexpr size_t kStatKeyCount = 4;      // always 1
inline constexpr size_t kStatRecordCount = 6;   // 32-bit
inline constexpr size_t kStatKeyPosition = 16;  // 1-based, always 1
inline constexpr size_t kStatKeyLength = 18;

class Engine {
 public:
  // map_path turns the file name given to Open/Create (a Windows path such as
  // "C:\\KVOR   \\SVF\\SVF-FTHD.BTR") into a host path; identity by default. With a registers
  // URL (a libpq connection URI) the registers are on that server instead (pg_store.h), named by
  // the Windows path itself.
  explicit Engine(std::function<std::string(const std::string&)> map_path = {},
                  const std::string& registers = {});
  ~Engine();  // closes everything, releases locks
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  int16_t Call(int16_t operation, char* position_block /*128 bytes*/, char* data,
               uint16_t& data_length, char* key, uint8_t key_length, int16_t key_number);
  // Later Opens get their storage from opener: tests put a store in that fails as a broken disk
  // or library would. Whatever a store throws passes through Call to the caller.
  void SetStoreOpener(StoreOpener opener) { open_store_ = std::move(opener); }

 private:
  struct Handle;

  int16_t Open(char* position_block, char* key, uint8_t key_length, int16_t key_number);
  int16_t Create(char* data, uint16_t data_length, char* key, uint8_t key_length);
  int16_t Stat(Handle& handle, char* data, uint16_t& data_length);
  int16_t Read(Handle& handle, int16_t operation, bool lock, char* data, uint16_t& data_length,
               char* key, uint8_t key_length);
  int16_t Insert(Handle& handle, char* data, uint16_t& data_length, char* key, uint8_t key_length);
  int16_t Update(Handle& handle, char* data, uint16_t data_length, char* key, uint8_t key_length);
  int16_t Delete(Handle& handle);
  Handle* HandleOf(const char* position_block);
  std::string HostPath(const char* key, uint8_t key_length, int16_t& status) const;

  std::function<std::string(const std::string&)> map_path_;
  StoreOpener open_store_;
  std::unique_ptr<ServerStores> server_;  // null: the registers are files
  uint32_t serial_;  // tells this engine's position blocks from another engine's
  uint32_t next_handle_ = 1;
  std::map<uint32_t, std::unique_ptr<Handle>> handles_;
};

}  // namespace kvor::recman
