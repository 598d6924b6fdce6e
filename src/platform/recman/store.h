// The storage under the engine: one open register file for one client. The engine keeps the
// handles, the current record and the call shape; a Store keeps the records and the record locks.
// SQLite files (sqlite_store.h) for one machine, a PostgreSQL server (pg_store.h) for an office.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kvor::recman {

struct Layout {
  uint16_t record_length = 0;
  uint16_t key_length = 0;  // the key is the first key_length bytes of the record
  uint16_t page_size = 0;   // kept for Stat only
};

struct Record {
  int64_t id = 0;       // stable for the record's life and never reused in its file
  int64_t version = 0;  // raised by every update, so a stale copy can be told from a fresh one
  std::string data;     // record_length bytes, the key first
};

enum class Seek { kEqual, kGreater, kGreaterOrEqual, kLess, kLessOrEqual, kFirst, kLast };

// Every int16_t result is a status of engine.h.
class Store {
 public:
  virtual ~Store() = default;

  virtual const Layout& layout() const = 0;

  // The record nearest to key (key_length bytes) in the direction of seek; kKeyNotFound when
  // kEqual finds nothing, kEndOfFile when the others find nothing.
  virtual int16_t Find(Seek seek, std::string_view key, Record& out) = 0;
  // The record with this id, kKeyNotFound when it is gone.
  virtual int16_t FindById(int64_t id, Record& out) = 0;
  // The first record after id in insertion order (id 0: the very first), or kEndOfFile.
  virtual int16_t StepAfter(int64_t id, Record& out) = 0;
  virtual int16_t Count(uint32_t& count) = 0;

  // data is a whole record; kDuplicateKey when its key exists.
  virtual int16_t Insert(std::string_view data, Record& out) = 0;
  // Replace or remove the record as it was read; kConflict when it has changed or gone since.
  virtual int16_t Update(const Record& read, std::string_view data, int64_t& new_version) = 0;
  virtual int16_t Delete(const Record& read) = 0;

  // Single-record locks of this client; other clients, in this process or another, conflict.
  // They go with the Store, and with the process when it exits or dies.
  virtual bool TryLock(int64_t id) = 0;
  virtual void Unlock(int64_t id) = 0;
};

}  // namespace kvor::recman
