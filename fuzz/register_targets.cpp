// Records of the registers: the JSON Lines of "kvor reg import", the Transfer of whatever bytes a
// record holds into the fields of its register, and register files damaged in their layout row
// or their records, opened and read through the channel layer.
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/text.h"
#include "fuzz/harness.h"
#include "fuzz/targets.h"
#include "reg.h"
#include "registers/admin.h"
#include "registers/database.h"

namespace kvor::fuzz {

namespace {

using registers::Layout;

// The register import writes to: small, written back by the program, a 16-character key.
const Layout& ImportRegister() {
  return *registers::FindLayout("SVF-LSKA");
}

std::vector<std::string> AllRecords(reg::Keeper& keeper, const Layout& layout) {
  std::vector<std::string> records;
  std::string error;
  Require(keeper.List(layout, "", records, error), "the register lists");
  return records;
}

}  // namespace

int RegisterImport(const uint8_t* data, std::size_t size) {
  static Harness h;
  const Layout& layout = ImportRegister();
  files::DriveMap drives;
  drives.SetRoot(h.Dir());
  reg::Keeper keeper(drives, "C:");
  std::string error;
  Require(keeper.ReadSettings(error), "the installation's settings read");
  // Every input meets the same register: emptied, then one record.
  Require(keeper.Create(layout, error), "the register is made");
  std::string first(layout.record_end, ' ');
  Require(reg::SetFields(layout, {{"LSKA_P001", "001"}, {"LSKA_P005", "241001"}}, first, error),
          "the first record is made");
  bool inserted = false;
  Require(keeper.Put(layout, first, true, inserted, error), "the first record is written");
  const std::vector<std::string> before = AllRecords(keeper, layout);

  std::istringstream in{std::string(Bytes(data, size))};
  std::ostringstream out, err;
  const int code = reg::Run({"--root", h.Dir(), "import", layout.code, "--replace"}, in, out, err);
  const std::vector<std::string> after = AllRecords(keeper, layout);
  if (code != 0) {
    Require(code == 1, "a refused import is a failure, not a wrong command line");
    Require(!err.str().empty(), "a refused import says why");
    Require(after == before, "a refused import writes nothing");
    return 0;
  }
  // "SVF-LSKA: I inserted, R replaced"
  int new_records = -1, replaced = -1;
  const std::string said = out.str();
  const std::size_t colon = said.find(": ");
  Require(colon != std::string::npos &&
              std::sscanf(said.c_str() + colon + 2, "%d inserted, %d replaced", &new_records,
                          &replaced) == 2,
          "an import tells what it wrote");
  Require(after.size() == before.size() + static_cast<std::size_t>(new_records),
          "the register grows by the records inserted");
  Require(replaced <= 1, "only the one record there can be replaced");
  for (const std::string& r : after)
    Require(r.size() == static_cast<std::size_t>(layout.record_end), "records have their length");
  return 0;
}

int RecordTransfer(const uint8_t* data, std::size_t size) {
  static Harness h;
  Context& ctx = h.ctx();
  registers::Database& db = registers::Db(ctx);
  static const bool opened = [&] {
    h.MakeRegisters();
    int16_t err = 0;
    registers::OpenAllRegisters(ctx, err);
    return err == 0;
  }();
  Require(opened, "the 28 registers open");
  if (size == 0) return 0;
  const Layout& layout = registers::AllLayouts()[data[0] % registers::kRegisterCount];
  std::string bytes(Bytes(data + 1, size - 1));
  bytes.resize(std::min<std::size_t>(bytes.size(), registers::kRecordBuffer));

  // The record as the engine leaves it in the record buffer: its bytes, then what was there.
  db.datapost.assign(registers::kRecordBuffer, ' ');
  db.datapost.replace(0, bytes.size(), bytes);
  db.kanal = layout.channel;
  registers::Transfer(ctx, layout);
  const registers::Record& fields = db.records[layout.channel - 1];
  const registers::Channel& ch = db.channels[layout.channel];
  Require(fields.Text().size() == static_cast<std::size_t>(layout.record_end),
          "the fields hold the record end");
  Require(ch.postnyckel == db.datapost.substr(0, ch.nyckellangd), "the key part is kept");
  for (const registers::Field& f : layout.fields)
    Require(fields.Get(f.name) == db.datapost.substr(f.position - 1, f.width),
            "every field holds the characters at its place");
  if (layout.has_build) {
    const std::string sent = db.datapost;
    registers::Build(ctx, layout);
    Require(db.datapost == sent, "the record built from the fields is the one transferred");
  }

  // The same bytes through the register file: written, read back by key and transferred.
  std::string record = db.datapost.substr(0, layout.record_end);
  std::string error;
  Require(registers::PutRecord(ctx, layout, record, error), "any record bytes can be stored");
  std::string key = record.substr(0, layout.key_length);
  db.datapost.assign(registers::kRecordBuffer, ' ');
  int16_t err = 9;
  registers::Laser(ctx, key, layout.channel, 0, 0, err);
  Require(err == 0, "a stored record reads back by its key");
  registers::Transfer(ctx, layout);
  Require(fields.Text() == record, "the record read back is the record stored");
  return 0;
}

namespace {

// The input, read from the front; past its end every byte is 0.
struct Reader {
  std::string_view in;
  uint8_t Byte() {
    if (in.empty()) return 0;
    const auto b = static_cast<uint8_t>(in[0]);
    in.remove_prefix(1);
    return b;
  }
  std::string Bytes(std::size_t n) {
    std::string out(in.substr(0, n));
    in.remove_prefix(out.size());
    return out;
  }
};

// A register file as FORMAT.md describes it, with what the input damages: the meta row (missing,
// doubled, text instead of numbers, another format, record or key length) and the records (data
// shorter or longer than the record, kept as text, a key that is not the data's).
struct DamagedFile {
  int meta_rows = 1;  // 3: no meta table at all
  bool meta_as_text = false;
  int format = 1;
  int record_length = 0, key_length = 0;
  struct Row {
    std::string key, data;
    bool data_as_text = false;
  };
  std::vector<Row> rows;

  bool Sound() const { return meta_rows == 1 && !meta_as_text && format == 1; }
};

DamagedFile Decode(Reader& r, const Layout& layout) {
  DamagedFile f;
  const uint8_t meta = r.Byte();
  f.meta_rows = meta & 3;
  f.meta_as_text = meta & 4;
  f.format = r.Byte();
  const auto record_delta = static_cast<int16_t>(r.Byte() | r.Byte() << 8);
  f.record_length = layout.record_end + record_delta;
  f.key_length = layout.key_length + static_cast<int8_t>(r.Byte());
  std::set<std::string> keys;  // a key stored once: the file's key is unique
  while (!r.in.empty() && f.rows.size() < 64) {
    const uint8_t flags = r.Byte();
    DamagedFile::Row row;
    row.data = r.Bytes(layout.key_length);
    row.data.resize(std::max(0, layout.record_end + static_cast<int8_t>(r.Byte())), ' ');
    row.key = flags & 1 ? r.Bytes(r.Byte() % (layout.key_length + 2))
                        : row.data.substr(0, layout.key_length);
    row.data_as_text = flags & 2;
    if (keys.insert(row.key).second) f.rows.push_back(std::move(row));
  }
  return f;
}

void Bind(sqlite3_stmt* s, int at, const std::string& bytes, bool as_text) {
  if (as_text)
    sqlite3_bind_text(s, at, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  else
    sqlite3_bind_blob(s, at, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

void Write(const std::string& path, const DamagedFile& f) {
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) unlink((path + suffix).c_str());
  sqlite3* db = nullptr;
  Require(sqlite3_open(path.c_str(), &db) == SQLITE_OK, "the damaged file is made");
  std::string sql =
      "PRAGMA synchronous=OFF; BEGIN;"
      "CREATE TABLE records(id INTEGER PRIMARY KEY AUTOINCREMENT, key BLOB NOT NULL UNIQUE,"
      " version INTEGER NOT NULL, data BLOB NOT NULL);";
  // Without column types, so that numbers given as text stay text.
  if (f.meta_rows < 3) sql += "CREATE TABLE meta(format, record_length, key_length, page_size);";
  Require(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK,
          "the damaged file's tables are made");
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO meta VALUES(?1, ?2, ?3, 4096)", -1, &s, nullptr);
  for (int i = 0; i < f.meta_rows && f.meta_rows < 3; ++i) {
    const int values[] = {f.format, f.record_length, f.key_length};
    for (int v = 0; v < 3; ++v)
      f.meta_as_text ? Bind(s, v + 1, std::to_string(values[v]), true)
                     : (void)sqlite3_bind_int(s, v + 1, values[v]);
    sqlite3_step(s);
    sqlite3_reset(s);
  }
  sqlite3_finalize(s);
  sqlite3_prepare_v2(db, "INSERT OR IGNORE INTO records(key, version, data) VALUES(?1, 1, ?2)", -1,
                     &s, nullptr);
  for (const DamagedFile::Row& row : f.rows) {
    Bind(s, 1, row.key, false);
    Bind(s, 2, row.data, row.data_as_text);
    sqlite3_step(s);
    sqlite3_reset(s);
  }
  sqlite3_finalize(s);
  Require(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK,
          "the damaged file is written");
  sqlite3_close(db);
}

}  // namespace

int DamagedRegisterFile(const uint8_t* data, std::size_t size) {
  static Harness h;
  Context& ctx = h.ctx();
  registers::Database& db = registers::Db(ctx);
  Reader r{Bytes(data, size)};
  const Layout& layout = registers::AllLayouts()[r.Byte() % registers::kRegisterCount];
  const DamagedFile file = Decode(r, layout);
  Write(h.Host(registers::RegisterPath(ctx, layout)), file);
  // The sound records by key: only these may ever come back from a read.
  std::map<std::string, std::string> sound;
  for (const DamagedFile::Row& row : file.rows)
    if (row.data.size() == static_cast<std::size_t>(layout.record_end) &&
        row.key == row.data.substr(0, layout.key_length))
      sound.emplace(row.key, row.data);

  int16_t err = 9;
  registers::Open(ctx, layout, err);
  const registers::Channel& ch = db.channels[layout.channel];
  const bool layout_matches =
      file.record_length == layout.record_end && file.key_length == layout.key_length;
  if (!file.Sound() || !layout_matches) {
    Require(err == 1 && ch.oppen == 0, "a file of another layout is refused and left closed");
    return 0;
  }
  Require(err == 0, "a sound file opens");

  // What a successful read leaves: a sound record, whole, then blanks, and its key.
  auto check_read = [&](const std::string& key) {
    Require(db.datapost.size() == registers::kRecordBuffer, "the record buffer keeps its size");
    const auto found = sound.find(key);
    Require(found != sound.end(), "a read gives only sound records");
    Require(db.datapost == Fixed(found->second, registers::kRecordBuffer),
            "a read gives the record whole and blanks after it");
  };
  for (const DamagedFile::Row& row : file.rows) {
    std::string key = row.key;
    registers::Laser(ctx, key, layout.channel, 0, 0, err);
    if (err == 0) check_read(key);
    if (sound.count(row.key)) Require(err == 0, "a sound record reads by its key");
  }
  for (const int16_t type : {1, 2}) {
    std::string key(layout.key_length, type == 1 ? '\0' : '\xFF');
    std::size_t steps = 0;
    for (std::string last = key;; last = key) {
      registers::Nasta(ctx, key, layout.channel, type, err);
      if (err != 0) break;
      check_read(key);
      Require(type == 1 ? key > last : key < last, "a walk moves on at every step");
      Require(++steps <= file.rows.size(), "a walk ends");
    }
  }
  int16_t close = 2;
  registers::BTROPASS(ctx, registers::RegisterPath(ctx, layout), close, layout.channel);
  Require(close == 0 && ch.oppen == 0, "the file closes");
  return 0;
}

}  // namespace kvor::fuzz
