#include "platform/recman/pg_store.h"

#include <libpq-fe.h>

#include <map>
#include <set>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "common/cp1252.h"
#include "platform/recman/engine.h"
#include "platform/recman/sqlite_store.h"

namespace kvor::recman {
namespace {

constexpr int kFormat = 1;  // raise when the tables change

struct ClearResult {
  void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ClearResult>;

// The parameters of one statement: integers as text, records and keys as bytes.
class Params {
 public:
  Params& Int(int64_t n) {
    values_.push_back(std::to_string(n));
    formats_.push_back(0);
    return *this;
  }
  Params& Bytes(std::string_view bytes) {
    values_.emplace_back(bytes);
    formats_.push_back(1);
    return *this;
  }
  Params& Text(std::string_view text) {
    values_.emplace_back(text);
    formats_.push_back(0);
    return *this;
  }
  int size() const { return static_cast<int>(values_.size()); }
  std::vector<const char*> Values() const {
    std::vector<const char*> out;
    for (const std::string& v : values_) out.push_back(v.c_str());
    return out;
  }
  std::vector<int> Lengths() const {
    std::vector<int> out;
    for (const std::string& v : values_) out.push_back(static_cast<int>(v.size()));
    return out;
  }
  const int* Formats() const { return formats_.data(); }

 private:
  std::vector<std::string> values_;
  std::vector<int> formats_;
};

bool Ok(const PGresult* r) {
  const ExecStatusType s = PQresultStatus(r);
  return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
}

// An integer column of a binary result (int4, int8, oid or bool), big-endian on the wire.
int64_t IntAt(const PGresult* r, int row, int column) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(PQgetvalue(r, row, column));
  int64_t value = 0;
  for (int i = 0; i < PQgetlength(r, row, column); ++i) value = value << 8 | bytes[i];
  return value;
}

// The statements of a register's table, in the order of Seek first; %T stands for the table.
constexpr const char* kTableSql[] = {
    "SELECT id, version, data FROM %T WHERE key = $1",
    "SELECT id, version, data FROM %T WHERE key > $1 ORDER BY key LIMIT 1",
    "SELECT id, version, data FROM %T WHERE key >= $1 ORDER BY key LIMIT 1",
    "SELECT id, version, data FROM %T WHERE key < $1 ORDER BY key DESC LIMIT 1",
    "SELECT id, version, data FROM %T WHERE key <= $1 ORDER BY key DESC LIMIT 1",
    "SELECT id, version, data FROM %T ORDER BY key LIMIT 1",
    "SELECT id, version, data FROM %T ORDER BY key DESC LIMIT 1",
    "SELECT id, version, data FROM %T WHERE id = $1",
    "SELECT id, version, data FROM %T WHERE id > $1 ORDER BY id LIMIT 1",
    "SELECT count(*) FROM %T",
    "INSERT INTO %T(key, version, data) VALUES($1, 1, $2) RETURNING id",
    "UPDATE %T SET data = $3, version = version + 1 WHERE id = $1 AND version = $2",
    "DELETE FROM %T WHERE id = $1 AND version = $2",
};
enum : int { kById = 7, kStepAfter, kCountAll, kInsertOne, kUpdateOne, kDeleteOne };

// Advisory locks keyed (table, record id). Id 0 marks the table as in use: every open store
// holds it shared, Create exclusive.
enum class Advisory { kTryLock, kUnlock, kTryShared, kUnlockShared };
constexpr const char* kAdvisorySql[] = {
    "SELECT pg_try_advisory_lock($1::int4, $2::int4)",
    "SELECT pg_advisory_unlock($1::int4, $2::int4)",
    "SELECT pg_try_advisory_lock_shared($1::int4, $2::int4)",
    "SELECT pg_advisory_unlock_shared($1::int4, $2::int4)",
};

void IgnoreNotice(void*, const char*) {}

}  // namespace

struct ServerStores::Connection {
  ~Connection() { PQfinish(conn); }
  bool Lost() const { return PQstatus(conn) != CONNECTION_OK; }

  // The status of a failed statement.
  int16_t StatusOf(const PGresult* r) const {
    if (Lost()) return status::kEngineNotRunning;
    // Every error the server sends has a SQLSTATE; one without is libpq's own, and libpq
    // reports a connection that broke during the statement so before PQstatus shows it.
    const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    if (!state) return status::kEngineNotRunning;
    const std::string_view s(state);
    if (s == "23505") return status::kDuplicateKey;
    if (s.substr(0, 2) == "53") return status::kDiskFull;
    // lock_timeout, statement_timeout, deadlock, serialization: the table stayed busy.
    if (s == "55P03" || s == "57014" || s == "40P01" || s == "40001") return status::kFileLocked;
    if (s.substr(0, 2) == "08" || s.substr(0, 3) == "57P") return status::kEngineNotRunning;
    return status::kIoError;
  }

  Result Exec(const char* sql, const Params& p = {}) const {
    const auto values = p.Values();
    const auto lengths = p.Lengths();
    return Result(
        PQexecParams(conn, sql, p.size(), nullptr, values.data(), lengths.data(), p.Formats(), 1));
  }

  // A statement prepared once per connection under name.
  Result Run(const std::string& name, const std::string& sql, const Params& p) {
    if (!prepared.count(name)) {
      Result r(PQprepare(conn, name.c_str(), sql.c_str(), p.size(), nullptr));
      if (!Ok(r.get())) return r;
      prepared.insert(name);
    }
    const auto values = p.Values();
    const auto lengths = p.Lengths();
    return Result(PQexecPrepared(conn, name.c_str(), p.size(), values.data(), lengths.data(),
                                 p.Formats(), 1));
  }

  // The lock's outcome (true for an unlock that released); false also when the server failed.
  bool Lock(Advisory which, uint32_t table, int64_t id) {
    const auto at = static_cast<size_t>(which);
    Result r = Run("a" + std::to_string(at), kAdvisorySql[at],
                   Params()
                       .Int(static_cast<int32_t>(table))
                       .Int(static_cast<int32_t>(static_cast<uint32_t>(id))));
    return Ok(r.get()) && PQntuples(r.get()) == 1 && IntAt(r.get(), 0, 0) == 1;
  }
  bool LockWithin(Advisory which, uint32_t table, int64_t id) {
    const auto end = std::chrono::steady_clock::now() + kBusyWait;
    while (!Lock(which, table, id)) {
      if (Lost() || std::chrono::steady_clock::now() > end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
  }

  PGconn* conn = nullptr;
  std::set<std::string> prepared;
  // The server sees this connection as one client, and a session's advisory locks do not
  // conflict with each other; so each record lock taken here is given to one store, and the
  // other stores of this connection meet it as another client's.
  std::map<std::pair<uint32_t, int64_t>, const Store*> locks;
  std::map<uint32_t, int> open;  // open stores by table
};

namespace {

using Connection = ServerStores::Connection;

// A register's names on the server, quoted as identifiers.
struct Names {
  std::string schema;     // the installation: its data folder
  std::string table;      // schema.register
  std::string registers;  // schema.registers, the layouts of the installation's registers
  std::string name;       // the register's name as the layouts table holds it
};

std::string Quoted(PGconn* conn, const std::string& text) {
  char* quoted = PQescapeIdentifier(conn, text.data(), text.size());
  if (!quoted) return {};
  std::string out = quoted;
  PQfreemem(quoted);
  return out;
}

// "C:\KVOR   \SVF\SVF-FTHD.BTR": the folder after the drive is the installation (trailing blanks
// dropped, as Windows drops them), the file part without ".BTR" the register. Windows names are
// not case-sensitive, so both are taken in upper case.
bool NamesOf(PGconn* conn, const std::string& path, Names& out) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path + "\\") {
    if (c == '\\' || c == '/') {
      parts.push_back(part);
      part.clear();
    } else {
      part += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
  }
  if (parts.size() < 3 || parts[0].size() != 2 || parts[0][1] != ':') return false;
  std::string folder = parts[1];
  folder.erase(folder.find_last_not_of(' ') + 1);
  std::string file = parts.back();
  if (file.size() > 4 && file.compare(file.size() - 4, 4, ".BTR") == 0)
    file.resize(file.size() - 4);
  if (folder.empty() || file.empty()) return false;
  out.schema = Quoted(conn, ToUtf8(folder));
  out.name = ToUtf8(file);
  const std::string table = Quoted(conn, out.name);
  if (out.schema.empty() || table.empty()) return false;
  out.table = out.schema + "." + table;
  out.registers = out.schema + ".registers";
  return true;
}

class ServerStore : public Store {
 public:
  ServerStore(std::shared_ptr<Connection> c, uint32_t table, std::string name, Layout layout)
      : c_(std::move(c)), table_(table), name_(std::move(name)), layout_(layout) {
    ++c_->open[table_];
  }
  ~ServerStore() override {
    for (auto it = c_->locks.begin(); it != c_->locks.end();) {
      if (it->second == this) {
        c_->Lock(Advisory::kUnlock, table_, it->first.second);
        it = c_->locks.erase(it);
      } else {
        ++it;
      }
    }
    if (--c_->open[table_] == 0) c_->open.erase(table_);
    c_->Lock(Advisory::kUnlockShared, table_, 0);
  }

  const Layout& layout() const override { return layout_; }

  int16_t Find(Seek seek, std::string_view key, Record& out) override {
    Params p;
    if (seek != Seek::kFirst && seek != Seek::kLast) p.Bytes(key);
    return Fetch(static_cast<int>(seek), p,
                 seek == Seek::kEqual ? status::kKeyNotFound : status::kEndOfFile, out);
  }
  int16_t FindById(int64_t id, Record& out) override {
    return Fetch(kById, Params().Int(id), status::kKeyNotFound, out);
  }
  int16_t StepAfter(int64_t id, Record& out) override {
    return Fetch(kStepAfter, Params().Int(id), status::kEndOfFile, out);
  }
  int16_t Count(uint32_t& count) override {
    Result r = Run(kCountAll, Params());
    if (!Ok(r.get())) return c_->StatusOf(r.get());
    count = static_cast<uint32_t>(IntAt(r.get(), 0, 0));
    return status::kOk;
  }

  int16_t Insert(std::string_view data, Record& out) override {
    Result r = Run(kInsertOne, Params().Bytes(data.substr(0, layout_.key_length)).Bytes(data));
    if (!Ok(r.get())) return c_->StatusOf(r.get());
    out.id = IntAt(r.get(), 0, 0);
    out.version = 1;
    out.data.assign(data);
    return status::kOk;
  }
  int16_t Update(const Record& read, std::string_view data, int64_t& new_version) override {
    Result r = Run(kUpdateOne, Params().Int(read.id).Int(read.version).Bytes(data));
    if (!Ok(r.get())) return c_->StatusOf(r.get());
    if (std::string_view(PQcmdTuples(r.get())) != "1") return status::kConflict;
    new_version = read.version + 1;
    return status::kOk;
  }
  int16_t Delete(const Record& read) override {
    Result r = Run(kDeleteOne, Params().Int(read.id).Int(read.version));
    if (!Ok(r.get())) return c_->StatusOf(r.get());
    return std::string_view(PQcmdTuples(r.get())) == "1" ? status::kOk : status::kConflict;
  }

  bool TryLock(int64_t id) override {
    const auto key = std::pair{table_, id};
    const auto held = c_->locks.find(key);
    if (held != c_->locks.end()) return held->second == this;
    if (!c_->Lock(Advisory::kTryLock, table_, id)) return false;
    c_->locks[key] = this;
    return true;
  }
  void Unlock(int64_t id) override {
    const auto held = c_->locks.find({table_, id});
    if (held == c_->locks.end() || held->second != this) return;
    c_->locks.erase(held);
    c_->Lock(Advisory::kUnlock, table_, id);
  }

 private:
  Result Run(int statement, const Params& p) {
    std::string sql = kTableSql[statement];
    sql.replace(sql.find("%T"), 2, name_);
    return c_->Run("t" + std::to_string(table_) + "_" + std::to_string(statement), sql, p);
  }
  int16_t Fetch(int statement, const Params& p, int16_t none, Record& out) {
    Result r = Run(statement, p);
    if (!Ok(r.get())) return c_->StatusOf(r.get());
    if (PQntuples(r.get()) == 0) return none;
    out.id = IntAt(r.get(), 0, 0);
    out.version = IntAt(r.get(), 0, 1);
    out.data.assign(PQgetvalue(r.get(), 0, 2), static_cast<size_t>(PQgetlength(r.get(), 0, 2)));
    out.data.resize(layout_.record_length, ' ');
    return status::kOk;
  }

  std::shared_ptr<Connection> c_;
  uint32_t table_;    // the table's oid: the first half of its advisory lock keys
  std::string name_;  // schema.table, quoted
  Layout layout_;
};

}  // namespace

ServerStores::ServerStores(std::string url) : url_(std::move(url)) {}
ServerStores::~ServerStores() = default;

int16_t ServerStores::Connect() {
  if (connection_ && !connection_->Lost()) return status::kOk;
  auto c = std::make_shared<Connection>();
  // The URL comes last, so that what it says wins over these defaults. Keepalives find a server
  // that went away with the network within seconds rather than hours.
  const std::string timeout = std::to_string(kConnectSeconds);
  const char* keys[] = {
      "connect_timeout",  "keepalives",       "keepalives_idle", "keepalives_interval",
      "keepalives_count", "application_name", "dbname",          nullptr};
  const char* values[] = {timeout.c_str(), "1", "5", "2", "2", "kvor", url_.c_str(), nullptr};
  c->conn = PQconnectdbParams(keys, values, 1);
  if (!c->conn || PQstatus(c->conn) != CONNECTION_OK) return status::kEngineNotRunning;
  PQsetNoticeProcessor(c->conn, IgnoreNotice, nullptr);
  // A writer held up by another client's lock on a table answers kFileLocked after the same wait
  // as on files; a statement the server cannot finish ends rather than hang the program.
  const std::string settings =
      "SET lock_timeout = " + std::to_string(kBusyWait.count()) + "; SET statement_timeout = 30000";
  Result r(PQexec(c->conn, settings.c_str()));
  if (!Ok(r.get())) return c->StatusOf(r.get());
  connection_ = std::move(c);
  return status::kOk;
}

int16_t ServerStores::Open(const std::string& path, std::unique_ptr<Store>& out) {
  if (int16_t st = Connect()) return st;
  Connection& c = *connection_;
  Names names;
  if (!NamesOf(c.conn, path, names)) return status::kFileNotFound;
  Result r = c.Exec("SELECT to_regclass($1)::oid, to_regclass($2)::oid",
                    Params().Text(names.table).Text(names.registers));
  if (!Ok(r.get())) return c.StatusOf(r.get());
  if (PQgetisnull(r.get(), 0, 0)) return status::kFileNotFound;
  if (PQgetisnull(r.get(), 0, 1)) return status::kNotRegisterFile;
  const auto table = static_cast<uint32_t>(IntAt(r.get(), 0, 0));

  const std::string sql = "SELECT format, record_length, key_length, page_size FROM " +
                          names.registers + " WHERE name = $1";
  r = c.Exec(sql.c_str(), Params().Text(names.name));
  if (!Ok(r.get())) return c.StatusOf(r.get());
  if (PQntuples(r.get()) != 1) return status::kNotRegisterFile;
  const int64_t format = IntAt(r.get(), 0, 0);
  const int64_t record_length = IntAt(r.get(), 0, 1);
  const int64_t key_length = IntAt(r.get(), 0, 2);
  const int64_t page_size = IntAt(r.get(), 0, 3);
  if (format != kFormat || record_length < 1 || record_length > UINT16_MAX || key_length < 1 ||
      key_length > record_length || key_length > UINT8_MAX || page_size < 0 ||
      page_size > UINT16_MAX)
    return status::kNotRegisterFile;
  Layout layout;
  layout.record_length = static_cast<uint16_t>(record_length);
  layout.key_length = static_cast<uint16_t>(key_length);
  layout.page_size = static_cast<uint16_t>(page_size);

  // Held shared while open, so that Create cannot replace the table under this store.
  if (!c.LockWithin(Advisory::kTryShared, table, 0))
    return c.Lost() ? status::kEngineNotRunning : status::kFileLocked;
  out = std::make_unique<ServerStore>(connection_, table, names.table, layout);
  return status::kOk;
}

int16_t ServerStores::Create(const std::string& path, const Layout& layout) {
  if (int16_t st = Connect()) return st;
  Connection& c = *connection_;
  Names names;
  if (!NamesOf(c.conn, path, names)) return status::kFileNotFound;
  Result r = c.Exec("SELECT to_regclass($1)::oid", Params().Text(names.table));
  if (!Ok(r.get())) return c.StatusOf(r.get());
  const uint32_t old = PQgetisnull(r.get(), 0, 0) ? 0 : static_cast<uint32_t>(IntAt(r.get(), 0, 0));
  // Nobody may have the old table open, neither on this connection nor on another.
  if (old != 0) {
    const auto end = std::chrono::steady_clock::now() + kBusyWait;
    while (c.open.count(old) || !c.Lock(Advisory::kTryLock, old, 0)) {
      if (c.Lost()) return status::kEngineNotRunning;
      if (std::chrono::steady_clock::now() > end) return status::kFileLocked;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  // One transaction: a register is there whole, with its layout, or not at all.
  const std::string ddl =
      "BEGIN; CREATE SCHEMA IF NOT EXISTS " + names.schema + "; CREATE TABLE IF NOT EXISTS " +
      names.registers +
      "(name text PRIMARY KEY, format integer NOT NULL, record_length integer NOT NULL,"
      " key_length integer NOT NULL, page_size integer NOT NULL); DROP TABLE IF EXISTS " +
      names.table + "; CREATE TABLE " + names.table +
      "(id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, key bytea NOT NULL UNIQUE,"
      " version bigint NOT NULL, data bytea NOT NULL)";
  int16_t st = status::kOk;
  r.reset(PQexec(c.conn, ddl.c_str()));
  if (!Ok(r.get())) st = c.StatusOf(r.get());
  if (st == status::kOk) {
    const std::string sql =
        "INSERT INTO " + names.registers +
        " VALUES($1, $2, $3, $4, $5) ON CONFLICT (name) DO UPDATE SET format = EXCLUDED.format,"
        " record_length = EXCLUDED.record_length, key_length = EXCLUDED.key_length,"
        " page_size = EXCLUDED.page_size";
    r = c.Exec(sql.c_str(), Params()
                                .Text(names.name)
                                .Int(kFormat)
                                .Int(layout.record_length)
                                .Int(layout.key_length)
                                .Int(layout.page_size));
    if (!Ok(r.get())) st = c.StatusOf(r.get());
  }
  r.reset(PQexec(c.conn, st == status::kOk ? "COMMIT" : "ROLLBACK"));
  if (st == status::kOk && !Ok(r.get())) st = c.StatusOf(r.get());
  if (old != 0) c.Lock(Advisory::kUnlock, old, 0);
  return st;
}

}  // namespace kvor::recman
