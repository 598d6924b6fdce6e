#include "platform/recman/engine.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/recman/pg_store.h"
#include "platform/recman/sqlite_store.h"
#include "platform/recman/store.h"

namespace kvor::recman {
namespace {

// Position block: a tag, the engine's serial and the handle id; the rest is zero.
constexpr char kTag[4] = {'K', 'V', 'R', 'M'};
constexpr size_t kSerialAt = 4;
constexpr size_t kHandleAt = 8;

// A locked read whose record is deleted between finding and locking it looks again; after this
// many tries it answers as if the record were locked, and the caller waits and retries.
constexpr int kLockTries = 10;

std::atomic<uint32_t> engines_made{0};

// Test hook: with KVOR_KILL_AFTER_WRITES=N in the environment, the process kills itself with
// SIGKILL right after its Nth successful insert, update or delete (counted over all engines), so
// that a test can stop a run at any write as a crash or a power cut would.
void CountWrite() {
  static const long kill_after = [] {
    const char* text = std::getenv("KVOR_KILL_AFTER_WRITES");
    return text ? std::atol(text) : 0L;
  }();
  static std::atomic<long> writes{0};
  if (kill_after > 0 && ++writes == kill_after) std::raise(SIGKILL);
}

void Put16(char* at, uint16_t value) {
  at[0] = static_cast<char>(value & 0xff);
  at[1] = static_cast<char>(value >> 8);
}

uint16_t Get16(const char* at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(at[0]) | static_cast<uint8_t>(at[1]) << 8);
}

void Put32(char* at, uint32_t value) {
  Put16(at, static_cast<uint16_t>(value & 0xffff));
  Put16(at + 2, static_cast<uint16_t>(value >> 16));
}

uint32_t Get32(const char* at) {
  return Get16(at) | static_cast<uint32_t>(Get16(at + 2)) << 16;
}

bool IsRead(int16_t operation) {
  return (operation >= op::kGetEqual && operation <= op::kGetLast) || operation == op::kStepNext;
}

// Records are fixed length. Data shorter than the record (but holding the whole key) is padded
// with blanks, as the channel layer pads its records; data longer than the record is refused
// rather than cut.
int16_t WholeRecord(const Layout& layout, const char* data, uint16_t data_length,
                    std::string& record) {
  if (!data || data_length < layout.key_length || data_length > layout.record_length)
    return status::kDataBufferTooShort;
  record.assign(data, data_length);
  record.resize(layout.record_length, ' ');
  return status::kOk;
}

}  // namespace

struct Engine::Handle {
  std::unique_ptr<Store> store;
  // The current record: what the last successful read or insert gave this handle. After a
  // delete it is gone (current false), but its key and id still tell Get Next, Get Previous and
  // Step Next where to go on from.
  bool positioned = false;
  bool current = false;
  Record position;     // id, version and key (data holds only the key)
  int64_t locked = 0;  // id of the record this handle holds locked; ids start at 1

  void Release() {
    if (locked != 0) store->Unlock(locked);
    locked = 0;
  }
  void MoveTo(const Record& record) {
    positioned = current = true;
    position.id = record.id;
    position.version = record.version;
    position.data.assign(record.data, 0, store->layout().key_length);
  }
};

Engine::Engine(std::function<std::string(const std::string&)> map_path,
               const std::string& registers)
    : map_path_(std::move(map_path)), open_store_(OpenSqliteStore), serial_(++engines_made) {
  if (!map_path_) map_path_ = [](const std::string& name) { return name; };
  if (!registers.empty()) {
    server_ = std::make_unique<ServerStores>(registers);
    open_store_ = [this](const std::string& name, std::unique_ptr<Store>& out) {
      return server_->Open(name, out);
    };
  }
}

Engine::~Engine() = default;

int16_t Engine::Call(int16_t operation, char* position_block, char* data, uint16_t& data_length,
                     char* key, uint8_t key_length, int16_t key_number) {
  bool lock = false;
  if (operation >= op::kSingleLock && IsRead(static_cast<int16_t>(operation - op::kSingleLock))) {
    operation = static_cast<int16_t>(operation - op::kSingleLock);
    lock = true;
  }
  switch (operation) {
    case op::kOpen:
      return Open(position_block, key, key_length, key_number);
    case op::kCreate:
      return Create(data, data_length, key, key_length);
    case op::kReset:
      handles_.clear();
      return status::kOk;
    case op::kClose:
    case op::kStat:
    case op::kUnlock:
    case op::kInsert:
    case op::kUpdate:
    case op::kDelete:
      break;
    default:
      if (!IsRead(operation)) return status::kInvalidOperation;
  }

  Handle* handle = HandleOf(position_block);
  if (!handle) return status::kFileNotOpen;
  switch (operation) {
    case op::kClose:
      handles_.erase(Get32(position_block + kHandleAt));
      return status::kOk;
    case op::kStat:
      return Stat(*handle, data, data_length);
    case op::kUnlock:
      handle->Release();
      return status::kOk;
    default:
      break;
  }
  if (key_number != 0) return status::kInvalidKeyNumber;
  int16_t st = status::kOk;
  switch (operation) {
    case op::kInsert:
      st = Insert(*handle, data, data_length, key, key_length);
      break;
    case op::kUpdate:
      st = Update(*handle, data, data_length, key, key_length);
      break;
    case op::kDelete:
      st = Delete(*handle);
      break;
    default:
      return Read(*handle, operation, lock, data, data_length, key, key_length);
  }
  if (st == status::kOk) CountWrite();
  return st;
}

Engine::Handle* Engine::HandleOf(const char* position_block) {
  if (!position_block || std::memcmp(position_block, kTag, sizeof kTag) != 0 ||
      Get32(position_block + kSerialAt) != serial_)
    return nullptr;
  const auto found = handles_.find(Get32(position_block + kHandleAt));
  return found == handles_.end() ? nullptr : found->second.get();
}

std::string Engine::HostPath(const char* key, uint8_t key_length, int16_t& st) const {
  std::string name = key ? std::string(key, strnlen(key, key_length)) : std::string();
  name.erase(name.find_last_not_of(' ') + 1);
  st = name.empty() ? status::kInvalidFileName : status::kOk;
  if (st != status::kOk || server_) return name;
  std::string path = map_path_(name);
  if (path.empty()) st = status::kFileNotFound;  // e.g. a drive letter that is not mapped
  return path;
}

int16_t Engine::Open(char* position_block, char* key, uint8_t key_length, int16_t key_number) {
  // -32 is what the channel layer passes; 0 is the plain open.
  if (key_number != 0 && key_number != -32) return status::kInvalidOperation;
  if (!position_block) return status::kInvalidOperation;
  int16_t st = status::kOk;
  const std::string path = HostPath(key, key_length, st);
  if (st != status::kOk) return st;
  auto handle = std::make_unique<Handle>();
  if ((st = open_store_(path, handle->store)) != status::kOk) return st;

  const uint32_t id = next_handle_++;
  handles_[id] = std::move(handle);
  std::memset(position_block, 0, kPositionBlockSize);
  std::memcpy(position_block, kTag, sizeof kTag);
  Put32(position_block + kSerialAt, serial_);
  Put32(position_block + kHandleAt, id);
  return status::kOk;
}

// Create replaces an existing file of the same name, as long as no client has it open (else
// kFileLocked): the installation tool builds its sample installation again over an old one.
int16_t Engine::Create(char* data, uint16_t data_length, char* key, uint8_t key_length) {
  if (!data || data_length < kStatKeyLength + 2) return status::kDataBufferTooShort;
  Layout layout;
  layout.record_length = Get16(data + kStatRecordLength);
  layout.page_size = Get16(data + kStatPageSize);
  layout.key_length = Get16(data + kStatKeyLength);
  if (layout.page_size == 0) layout.page_size = 4096;
  // The key must fit the key buffer, whose length is one byte.
  if (layout.record_length == 0 || layout.key_length == 0 ||
      layout.key_length > layout.record_length || layout.key_length > UINT8_MAX)
    return status::kInvalidOperation;
  int16_t st = status::kOk;
  const std::string path = HostPath(key, key_length, st);
  if (st != status::kOk) return st;
  return server_ ? server_->Create(path, layout) : CreateSqliteStore(path, layout);
}

int16_t Engine::Stat(Handle& handle, char* data, uint16_t& data_length) {
  if (!data || data_length < kStatSize) return status::kDataBufferTooShort;
  uint32_t count = 0;
  if (int16_t st = handle.store->Count(count)) return st;
  const Layout& layout = handle.store->layout();
  std::memset(data, 0, kStatSize);
  Put16(data + kStatRecordLength, layout.record_length);
  Put16(data + kStatPageSize, layout.page_size);
  Put16(data + kStatKeyCount, 1);
  Put32(data + kStatRecordCount, count);
  Put16(data + kStatKeyPosition, 1);
  Put16(data + kStatKeyLength, layout.key_length);
  data_length = kStatSize;
  return status::kOk;
}

int16_t Engine::Read(Handle& handle, int16_t operation, bool lock, char* data,
                     uint16_t& data_length, char* key, uint8_t key_length) {
  Store& store = *handle.store;
  const Layout& layout = store.layout();
  if (!key || key_length < layout.key_length) return status::kKeyBufferTooShort;
  if (!data || data_length < layout.record_length) return status::kDataBufferTooShort;
  if ((operation == op::kGetNext || operation == op::kGetPrevious) && !handle.positioned)
    return status::kNoCurrentRecord;

  const std::string_view given(key, layout.key_length);
  const std::string_view here = handle.position.data;
  Record found;
  int16_t st = status::kOk;
  for (int tries = 1;; ++tries) {
    switch (operation) {
      case op::kGetEqual:
        st = store.Find(Seek::kEqual, given, found);
        break;
      case op::kGetGreater:
        st = store.Find(Seek::kGreater, given, found);
        break;
      case op::kGetGreaterOrEqual:
        st = store.Find(Seek::kGreaterOrEqual, given, found);
        break;
      case op::kGetLess:
        st = store.Find(Seek::kLess, given, found);
        break;
      case op::kGetLessOrEqual:
        st = store.Find(Seek::kLessOrEqual, given, found);
        break;
      case op::kGetFirst:
        st = store.Find(Seek::kFirst, given, found);
        break;
      case op::kGetLast:
        st = store.Find(Seek::kLast, given, found);
        break;
      case op::kGetNext:
        st = store.Find(Seek::kGreater, here, found);
        break;
      case op::kGetPrevious:
        st = store.Find(Seek::kLess, here, found);
        break;
      case op::kStepNext:
        // Without a position the walk starts at the first record: there is no Step First.
        st = store.StepAfter(handle.positioned ? handle.position.id : 0, found);
        break;
    }
    // Nobody else can change a record this handle already holds locked.
    if (st != status::kOk || !lock || found.id == handle.locked) break;
    // Lock first and read again under the lock, so that the version kept is the one an update
    // will be checked against.
    if (!store.TryLock(found.id)) return status::kRecordLocked;  // nothing changes
    st = store.FindById(found.id, found);
    if (st == status::kOk) break;
    store.Unlock(found.id);
    if (st != status::kKeyNotFound) return st;
    if (tries == kLockTries) return status::kRecordLocked;
  }

  if (st != status::kOk) {
    // The handle has moved on from its record, so its lock goes; the current record stays.
    if (st == status::kKeyNotFound || st == status::kEndOfFile) handle.Release();
    return st;
  }
  if (lock && handle.locked != found.id) {
    handle.Release();
    handle.locked = found.id;
  } else if (!lock) {
    handle.Release();
  }
  handle.MoveTo(found);
  std::memcpy(data, found.data.data(), layout.record_length);
  data_length = layout.record_length;
  std::memcpy(key, found.data.data(), layout.key_length);
  return status::kOk;
}

int16_t Engine::Insert(Handle& handle, char* data, uint16_t& data_length, char* key,
                       uint8_t key_length) {
  const Layout& layout = handle.store->layout();
  if (!key || key_length < layout.key_length) return status::kKeyBufferTooShort;
  std::string record;
  if (int16_t st = WholeRecord(layout, data, data_length, record)) return st;
  Record inserted;
  if (int16_t st = handle.store->Insert(record, inserted)) return st;
  handle.MoveTo(inserted);
  std::memcpy(key, record.data(), layout.key_length);
  return status::kOk;
}

// Update and Delete check another client's lock by taking the lock themselves for the write
// (unless this handle holds it already): a test alone would leave a gap before the write.
int16_t Engine::Update(Handle& handle, char* data, uint16_t data_length, char* key,
                       uint8_t key_length) {
  if (!handle.current) return status::kNoCurrentRecord;
  Store& store = *handle.store;
  const Layout& layout = store.layout();
  if (!key || key_length < layout.key_length) return status::kKeyBufferTooShort;
  std::string record;
  if (int16_t st = WholeRecord(layout, data, data_length, record)) return st;
  // A key change would be a delete and an insert; the registers never change a key in place.
  if (record.compare(0, layout.key_length, handle.position.data) != 0)
    return status::kInvalidOperation;

  const int64_t id = handle.position.id;
  const bool held = handle.locked == id;
  if (!held && !store.TryLock(id)) return status::kRecordLocked;
  int64_t version = 0;
  const int16_t st = store.Update(handle.position, record, version);
  if (!held) store.Unlock(id);
  if (st != status::kOk) return st;
  if (held) handle.Release();
  handle.position.version = version;
  std::memcpy(key, record.data(), layout.key_length);
  return status::kOk;
}

int16_t Engine::Delete(Handle& handle) {
  if (!handle.current) return status::kNoCurrentRecord;
  Store& store = *handle.store;
  const int64_t id = handle.position.id;
  const bool held = handle.locked == id;
  if (!held && !store.TryLock(id)) return status::kRecordLocked;
  const int16_t st = store.Delete(handle.position);
  if (!held) store.Unlock(id);
  if (st != status::kOk) return st;
  if (held) handle.Release();
  handle.current = false;
  return status::kOk;
}

}  // namespace kvor::recman
