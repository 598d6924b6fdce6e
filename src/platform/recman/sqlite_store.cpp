#include "platform/recman/sqlite_store.h"

#include <linux/magic.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "platform/recman/engine.h"
#include "platform/recman/lock_file.h"

namespace kvor::recman {
namespace {

constexpr int kFormat = 1;  // raise when the schema changes

constexpr const char* kSchema =
    "BEGIN;"
    "CREATE TABLE meta(format INTEGER NOT NULL, record_length INTEGER NOT NULL,"
    " key_length INTEGER NOT NULL, page_size INTEGER NOT NULL);"
    // AUTOINCREMENT keeps ids from being reused after a delete: an id is a lock offset and,
    // with the version, what tells a handle that its record is still the one it read.
    "CREATE TABLE records(id INTEGER PRIMARY KEY AUTOINCREMENT, key BLOB NOT NULL UNIQUE,"
    " version INTEGER NOT NULL, data BLOB NOT NULL);";

// Keys are bound as BLOBs throughout: BLOBs compare byte by byte, the order callers walk in.
constexpr const char* kFind[] = {
    "SELECT id, version, data, key FROM records WHERE key = ?1",
    // Get Greater reads ahead: ?2 records at once (see SqliteStore::FindGreater).
    "SELECT id, version, data, key FROM records WHERE key > ?1 ORDER BY key LIMIT ?2",
    "SELECT id, version, data, key FROM records WHERE key >= ?1 ORDER BY key LIMIT 1",
    "SELECT id, version, data, key FROM records WHERE key < ?1 ORDER BY key DESC LIMIT 1",
    "SELECT id, version, data, key FROM records WHERE key <= ?1 ORDER BY key DESC LIMIT 1",
    "SELECT id, version, data, key FROM records ORDER BY key LIMIT 1",
    "SELECT id, version, data, key FROM records ORDER BY key DESC LIMIT 1",
};
constexpr size_t kSeekCount = std::size(kFind);

// The handle's other statements, after the seeks.
enum : size_t { kById = kSeekCount, kStepAfter, kCountAll, kInsertOne, kUpdateOne, kDeleteOne };
constexpr const char* kOther[] = {
    "SELECT id, version, data, key FROM records WHERE id = ?1",
    "SELECT id, version, data, key FROM records WHERE id > ?1 ORDER BY id LIMIT 1",
    "SELECT count(*) FROM records",
    "INSERT INTO records(key, version, data) VALUES(?1, 1, ?2)",
    "UPDATE records SET data = ?3, version = version + 1 WHERE id = ?1 AND version = ?2",
    "DELETE FROM records WHERE id = ?1 AND version = ?2",
};
constexpr size_t kStatementCount = kSeekCount + std::size(kOther);
const char* SqlOf(size_t statement) {
  return statement < kSeekCount ? kFind[statement] : kOther[statement - kSeekCount];
}

// The most records one Get Greater fetches ahead for a walk in key order: enough to spread a
// statement's fixed cost thinly, small enough that a walk given up early wastes little.
constexpr size_t kReadAheadMost = 128;
constexpr size_t kEqualReadsMost = 256;  // Get Equal outcomes kept per handle

int16_t StatusOf(int rc) {
  switch (rc & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
      return status::kOk;
    case SQLITE_FULL:
      return status::kDiskFull;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return status::kFileLocked;
    case SQLITE_CONSTRAINT:
      return status::kDuplicateKey;
    default:
      return status::kIoError;
  }
}

int16_t StatusOfErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return status::kFileNotFound;
    case ENOSPC:
      return status::kDiskFull;
    default:
      return status::kIoError;
  }
}

// WAL needs memory that every client shares on one host, and byte-range locks over a network share
// cannot be trusted: a register file on a network file system is refused (an office shares its
// registers on a register server instead). The folder decides, so that Create is refused too.
bool OnNetworkShare(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  struct statfs fs {};
  if (statfs(folder.c_str(), &fs) != 0) return false;  // a missing folder answers 12 later
  switch (static_cast<uint32_t>(fs.f_type)) {
    case NFS_SUPER_MAGIC:
    case SMB_SUPER_MAGIC:
    case 0xFF534D42:  // CIFS
    case 0xFE534D42:  // SMB2
    case V9FS_MAGIC:
    case CEPH_SUPER_MAGIC:
    case AFS_SUPER_MAGIC:
    case AFS_FS_MAGIC:
    case 0x47504653:  // GPFS
    case 0x0BD00BD0:  // Lustre
      return true;
    default:
      return false;
  }
}

struct CloseDb {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Db = std::unique_ptr<sqlite3, CloseDb>;

struct Finalize {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

int16_t OpenDb(const std::string& path, int flags, Db& db) {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  db.reset(raw);
  if (rc != SQLITE_OK) return rc == SQLITE_CANTOPEN ? status::kFileNotFound : StatusOf(rc);
  sqlite3_busy_timeout(raw, static_cast<int>(kBusyWait.count()));
  return status::kOk;
}

int16_t Prepare(sqlite3* db, const char* sql, Statement& out) {
  sqlite3_stmt* raw = nullptr;
  const int rc = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
  out.reset(raw);
  return StatusOf(rc);
}

// A statement of a handle for one call: prepared when the handle first needs it (most registers
// are only ever read by key, and preparing all of them made opening the 28 files slow), and reset
// after the call, so that no read snapshot outlives the call: a handle must see what other
// clients wrote since. `status` is not 0 when it could not be prepared.
class InUse {
 public:
  InUse(sqlite3* db, Statement& s, const char* sql) {
    if (!s) status = Prepare(db, sql, s);
    s_ = s.get();
  }
  ~InUse() {
    if (s_) sqlite3_reset(s_);
  }
  InUse(const InUse&) = delete;
  InUse& operator=(const InUse&) = delete;
  sqlite3_stmt* get() const { return s_; }

  int16_t status = status::kOk;

 private:
  sqlite3_stmt* s_ = nullptr;
};

int16_t ReadLayout(sqlite3* db, Layout& layout) {
  Statement s;
  sqlite3_stmt* raw = nullptr;
  int rc = sqlite3_prepare_v2(db, "SELECT format, record_length, key_length, page_size FROM meta",
                              -1, &raw, nullptr);
  s.reset(raw);
  if (rc != SQLITE_OK) {
    // Not SQLite at all (NOTADB), or a database without our meta table (ERROR).
    const int primary = rc & 0xff;
    if (primary == SQLITE_NOTADB || primary == SQLITE_ERROR || primary == SQLITE_CORRUPT)
      return status::kNotRegisterFile;
    return StatusOf(rc);
  }
  rc = sqlite3_step(raw);
  if (rc == SQLITE_DONE) return status::kNotRegisterFile;
  if (rc != SQLITE_ROW) return StatusOf(rc);
  for (int column = 0; column < 4; ++column)
    if (sqlite3_column_type(raw, column) != SQLITE_INTEGER) return status::kNotRegisterFile;
  const int64_t format = sqlite3_column_int64(raw, 0);
  const int64_t record_length = sqlite3_column_int64(raw, 1);
  const int64_t key_length = sqlite3_column_int64(raw, 2);
  const int64_t page_size = sqlite3_column_int64(raw, 3);
  if (format != kFormat || record_length < 1 || record_length > UINT16_MAX || key_length < 1 ||
      key_length > record_length || key_length > UINT8_MAX || page_size < 0 ||
      page_size > UINT16_MAX)
    return status::kNotRegisterFile;
  if (sqlite3_step(raw) != SQLITE_DONE) return status::kNotRegisterFile;  // one row, no more
  layout.record_length = static_cast<uint16_t>(record_length);
  layout.key_length = static_cast<uint16_t>(key_length);
  layout.page_size = static_cast<uint16_t>(page_size);
  return status::kOk;
}

int16_t Exec(sqlite3* db, const char* sql) {
  return StatusOf(sqlite3_exec(db, sql, nullptr, nullptr, nullptr));
}

void RemoveDatabase(const std::string& path) {
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) unlink((path + suffix).c_str());
}

// What tells whether the file changed: the header at the start of the WAL index (the "-shm"
// file), which every commit by any connection of any process rewrites. SQLite keeps it as two
// 48-byte copies, writing the second and then the first; a reader that takes the first and then
// the second and finds them equal has a whole header. Reading it is a copy from shared memory,
// no system call, where asking SQLite (PRAGMA data_version) costs a read transaction, as much as
// the read it would save.
class ChangeMark {
 public:
  static constexpr size_t kHeaderSize = 48;
  using Header = std::array<char, kHeaderSize>;

  // Finds the WAL index of db's open connection; without one (not in WAL mode, or a VFS without
  // shared memory) Take always fails and nothing is read ahead.
  void Attach(sqlite3* db) {
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods || file->pMethods->iVersion < 2 || !file->pMethods->xShmMap)
      return;
    volatile void* region = nullptr;
    // The connection has mapped region 0 already (it read the layout); this returns that mapping,
    // which stays until the connection closes. 32768 is SQLite's WAL index page size.
    if (file->pMethods->xShmMap(file, 0, 32768, 0, &region) == SQLITE_OK && region)
      index_ = static_cast<const volatile char*>(region);
  }

  // The header as it is now; false while a writer is halfway through it or there is no index.
  bool Take(Header& out) const {
    if (!index_) return false;
    Header second;
    Copy(index_, out);
    std::atomic_thread_fence(std::memory_order_acquire);
    Copy(index_ + kHeaderSize, second);
    return out == second;
  }
  // Whether nothing was committed since Take gave then.
  bool Unchanged(const Header& then) const {
    Header now;
    return Take(now) && now == then;
  }

 private:
  static void Copy(const volatile char* from, Header& to) {
    for (size_t i = 0; i < kHeaderSize; ++i) to[i] = from[i];
  }

  const volatile char* index_ = nullptr;  // SQLite's mapping of the WAL index, region 0
};

class SqliteStore : public Store {
 public:
  int16_t Open(const std::string& path);

  const Layout& layout() const override { return layout_; }
  int16_t Find(Seek seek, std::string_view key, Record& out) override;
  int16_t FindById(int64_t id, Record& out) override;
  int16_t StepAfter(int64_t id, Record& out) override;
  int16_t Count(uint32_t& count) override;
  int16_t Insert(std::string_view data, Record& out) override;
  int16_t Update(const Record& read, std::string_view data, int64_t& new_version) override;
  int16_t Delete(const Record& read) override;
  bool TryLock(int64_t id) override {
    ForgetAll();
    return locks_.TryLock(id, true);
  }
  void Unlock(int64_t id) override {
    ForgetAll();
    locks_.Unlock(id);
  }

 private:
  int16_t Fetch(sqlite3_stmt* s, int16_t none, Record& out);
  InUse Use(size_t statement) { return InUse(db_.get(), statements_[statement], SqlOf(statement)); }
  int16_t Row(sqlite3_stmt* s, Record& out) const;
  int16_t FindGreater(std::string_view key, Record& out);
  int16_t FindEqual(std::string_view key, Record& out);
  void Forget() {
    ahead_.records.clear();
    ahead_.next = 0;
    ahead_.batch = 1;
  }
  // Before this handle writes: what it read may be what it is about to change.
  void ForgetAll() {
    Forget();
    equal_.outcomes.clear();
    equal_.marked = false;
  }

  // Records fetched ahead by Get Greater, served to the Get Greater that continues the walk
  // (its key is the key of the record served last) while the file has not changed since.
  struct ReadAhead {
    std::vector<Record> records;  // in key order
    size_t next = 0;              // the record the walk gets next; 0: no walk going on
    size_t batch = 1;             // how many the next fetch asks for; grows while a walk goes on
    ChangeMark::Header mark{};    // the file when records were fetched
    bool marked = false;          // mark was taken
  };

  // Get Equal outcomes by key, served again while the file has not changed since the first of
  // them: code registers and texts are read with the same few keys for every row and page.
  struct EqualReads {
    struct Outcome {
      int16_t status = status::kOk;
      Record record;
    };
    std::unordered_map<std::string, Outcome> outcomes;
    ChangeMark::Header mark{};  // the file when the first outcome was read
    bool marked = false;
  };

  LockFile locks_;
  Layout layout_;
  ChangeMark changes_;
  ReadAhead ahead_;
  EqualReads equal_;
  Db db_;  // declared before the statements, which must go first
  std::array<Statement, kStatementCount> statements_;
};

int16_t SqliteStore::Open(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return StatusOfErrno(errno);
  if (!S_ISREG(info.st_mode)) return status::kNotRegisterFile;
  if (const int error = locks_.Open(path)) return StatusOfErrno(error);
  // Held shared while open, so that Create cannot replace the file under this handle.
  if (!locks_.LockWithin(LockFile::kInUseByte, false, kBusyWait)) return status::kFileLocked;
  if (int16_t st = OpenDb(path, SQLITE_OPEN_READWRITE, db_)) return st;
  if (int16_t st = ReadLayout(db_.get(), layout_)) return st;
  // Only after the file is known to be ours: switching to WAL writes to the file.
  if (int16_t st = Exec(db_.get(), "PRAGMA journal_mode=WAL")) return st;
  changes_.Attach(db_.get());
  return status::kOk;
}

// A record as stored; a damaged one (data not of the record length, or not beginning with its
// key) is a storage failure rather than something to cut, pad or walk in circles on.
int16_t SqliteStore::Row(sqlite3_stmt* s, Record& out) const {
  out.id = sqlite3_column_int64(s, 0);
  out.version = sqlite3_column_int64(s, 1);
  const auto* data = static_cast<const char*>(sqlite3_column_blob(s, 2));
  out.data.assign(data ? data : "", static_cast<size_t>(sqlite3_column_bytes(s, 2)));
  const auto* key = static_cast<const char*>(sqlite3_column_blob(s, 3));
  const std::string_view stored_key(key ? key : "",
                                    static_cast<size_t>(sqlite3_column_bytes(s, 3)));
  if (out.data.size() != layout_.record_length ||
      out.data.compare(0, layout_.key_length, stored_key) != 0)
    return status::kIoError;
  return status::kOk;
}

int16_t SqliteStore::Fetch(sqlite3_stmt* s, int16_t none, Record& out) {
  const int rc = sqlite3_step(s);
  if (rc == SQLITE_DONE) return none;
  if (rc != SQLITE_ROW) return StatusOf(rc);
  return Row(s, out);
}

// A walk in key order is Get Greater with the key of the record it gave last (Get Next is the
// same read). Each read is its own statement and read transaction, whose fixed cost is most of a
// read's time; so the walk fetches the records after the one it asks for in the same statement,
// 2, 4, ... up to kReadAheadMost at a time, and serves them while nothing was committed since.
// A lone Get Greater fetches one record, as before. The mark is taken before the fetch: a commit
// between the two only makes the records look older than they are.
int16_t SqliteStore::FindGreater(std::string_view key, Record& out) {
  ReadAhead& a = ahead_;
  const bool walking =
      a.next > 0 && a.records[a.next - 1].data.compare(0, layout_.key_length, key) == 0;
  if (walking && a.next < a.records.size() && a.marked && changes_.Unchanged(a.mark)) {
    out = a.records[a.next++];
    return status::kOk;
  }
  const size_t batch = walking ? std::min(a.batch * 2, kReadAheadMost) : 1;
  Forget();
  a.marked = changes_.Take(a.mark);

  InUse s = Use(static_cast<size_t>(Seek::kGreater));
  if (s.status) return s.status;
  sqlite3_bind_blob(s.get(), 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
  sqlite3_bind_int64(s.get(), 2, static_cast<int64_t>(a.marked ? batch : 1));
  // The records before a damaged one are served; the walk meets the damaged one when it gets there.
  int rc = SQLITE_DONE;
  int16_t damaged = status::kOk;
  while (!damaged && (rc = sqlite3_step(s.get())) == SQLITE_ROW) {
    damaged = Row(s.get(), a.records.emplace_back());
    if (damaged) a.records.pop_back();
  }
  if ((!damaged && rc != SQLITE_DONE) || a.records.empty()) {
    Forget();
    return damaged ? damaged : rc == SQLITE_DONE ? status::kEndOfFile : StatusOf(rc);
  }
  a.batch = batch;
  a.next = 1;
  out = a.records[0];
  return status::kOk;
}

// The mark is taken before the first read it covers, as for the read-ahead.
int16_t SqliteStore::FindEqual(std::string_view key, Record& out) {
  EqualReads& e = equal_;
  if (e.marked && changes_.Unchanged(e.mark)) {
    const auto known = e.outcomes.find(std::string(key));
    if (known != e.outcomes.end()) {
      if (known->second.status == status::kOk) out = known->second.record;
      return known->second.status;
    }
  } else {
    e.outcomes.clear();
    e.marked = changes_.Take(e.mark);
  }
  EqualReads::Outcome read;
  InUse s = Use(static_cast<size_t>(Seek::kEqual));
  if (s.status) return s.status;
  sqlite3_bind_blob(s.get(), 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
  const int16_t st = read.status = Fetch(s.get(), status::kKeyNotFound, read.record);
  if (st == status::kOk) out = read.record;
  const bool lasting = st == status::kOk || st == status::kKeyNotFound;
  if (e.marked && lasting && e.outcomes.size() < kEqualReadsMost)
    e.outcomes.emplace(std::string(key), std::move(read));
  return st;
}

int16_t SqliteStore::Find(Seek seek, std::string_view key, Record& out) {
  if (seek == Seek::kGreater) return FindGreater(key, out);
  Forget();
  if (seek == Seek::kEqual) return FindEqual(key, out);
  InUse s = Use(static_cast<size_t>(seek));
  if (s.status) return s.status;
  if (seek != Seek::kFirst && seek != Seek::kLast)
    sqlite3_bind_blob(s.get(), 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
  return Fetch(s.get(), seek == Seek::kEqual ? status::kKeyNotFound : status::kEndOfFile, out);
}

int16_t SqliteStore::FindById(int64_t id, Record& out) {
  Forget();
  InUse s = Use(kById);
  if (s.status) return s.status;
  sqlite3_bind_int64(s.get(), 1, id);
  return Fetch(s.get(), status::kKeyNotFound, out);
}

int16_t SqliteStore::StepAfter(int64_t id, Record& out) {
  Forget();
  InUse s = Use(kStepAfter);
  if (s.status) return s.status;
  sqlite3_bind_int64(s.get(), 1, id);
  return Fetch(s.get(), status::kEndOfFile, out);
}

int16_t SqliteStore::Count(uint32_t& count) {
  Forget();
  InUse s = Use(kCountAll);
  if (s.status) return s.status;
  const int rc = sqlite3_step(s.get());
  if (rc != SQLITE_ROW) return StatusOf(rc);
  count = static_cast<uint32_t>(sqlite3_column_int64(s.get(), 0));
  return status::kOk;
}

int16_t SqliteStore::Insert(std::string_view data, Record& out) {
  ForgetAll();
  InUse s = Use(kInsertOne);
  if (s.status) return s.status;
  sqlite3_bind_blob(s.get(), 1, data.data(), layout_.key_length, SQLITE_STATIC);
  sqlite3_bind_blob(s.get(), 2, data.data(), static_cast<int>(data.size()), SQLITE_STATIC);
  const int rc = sqlite3_step(s.get());
  if (rc != SQLITE_DONE) return StatusOf(rc);
  out.id = sqlite3_last_insert_rowid(db_.get());
  out.version = 1;
  out.data.assign(data);
  return status::kOk;
}

int16_t SqliteStore::Update(const Record& read, std::string_view data, int64_t& new_version) {
  ForgetAll();
  InUse s = Use(kUpdateOne);
  if (s.status) return s.status;
  sqlite3_bind_int64(s.get(), 1, read.id);
  sqlite3_bind_int64(s.get(), 2, read.version);
  sqlite3_bind_blob(s.get(), 3, data.data(), static_cast<int>(data.size()), SQLITE_STATIC);
  const int rc = sqlite3_step(s.get());
  if (rc != SQLITE_DONE) return StatusOf(rc);
  if (sqlite3_changes(db_.get()) == 0) return status::kConflict;
  new_version = read.version + 1;
  return status::kOk;
}

int16_t SqliteStore::Delete(const Record& read) {
  ForgetAll();
  InUse s = Use(kDeleteOne);
  if (s.status) return s.status;
  sqlite3_bind_int64(s.get(), 1, read.id);
  sqlite3_bind_int64(s.get(), 2, read.version);
  const int rc = sqlite3_step(s.get());
  if (rc != SQLITE_DONE) return StatusOf(rc);
  return sqlite3_changes(db_.get()) == 0 ? status::kConflict : status::kOk;
}

}  // namespace

int16_t OpenSqliteStore(const std::string& path, std::unique_ptr<Store>& out) {
  if (OnNetworkShare(path)) return status::kOnNetworkShare;
  auto store = std::make_unique<SqliteStore>();
  if (int16_t st = store->Open(path)) return st;
  out = std::move(store);
  return status::kOk;
}

int16_t CreateSqliteStore(const std::string& path, const Layout& layout) {
  if (OnNetworkShare(path)) return status::kOnNetworkShare;
  LockFile locks;
  if (const int error = locks.Open(path)) return StatusOfErrno(error);
  if (!locks.LockWithin(LockFile::kInUseByte, true, kBusyWait)) return status::kFileLocked;
  // No client has the file open, so the old database and its journals can simply go; a new
  // file is then made from nothing rather than emptied in place.
  RemoveDatabase(path);
  int16_t st = status::kOk;
  {
    Db db;
    st = OpenDb(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, db);
    if (st == status::kOk) st = Exec(db.get(), "PRAGMA journal_mode=WAL");
    if (st == status::kOk) st = Exec(db.get(), kSchema);
    if (st == status::kOk) {
      const std::string meta = "INSERT INTO meta VALUES(" + std::to_string(kFormat) + "," +
                               std::to_string(layout.record_length) + "," +
                               std::to_string(layout.key_length) + "," +
                               std::to_string(layout.page_size) + ");COMMIT;";
      st = Exec(db.get(), meta.c_str());
    }
  }
  // A half-made file would later open as "not a register file"; leave none.
  if (st != status::kOk) RemoveDatabase(path);
  return st;
}

}  // namespace kvor::recman
