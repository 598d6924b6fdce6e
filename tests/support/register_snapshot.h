// Register files read straight from the record store's SQLite files or from the register
// server's tables, without the program's code.
#pragma once

#include <libpq-fe.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace kvor::test {

// One record as the record store keeps it.
struct StoredRecord {
  long version = 0;
  std::string data;
  bool operator==(const StoredRecord&) const = default;
};
// Every record of an installation's register files by "FILE KEY" (file name, blank, key).
using StoredState = std::map<std::string, StoredRecord>;

// The records' data alone: what they hold, whatever their versions.
inline std::map<std::string, std::string> DataOf(const StoredState& state) {
  std::map<std::string, std::string> out;
  for (const auto& [key, record] : state) out[key] = record.data;
  return out;
}

// Every record of every register file of an installation: equal snapshots before and after a
// run mean the run wrote nothing.
struct RegisterSnapshot {
  int files = 0;
  StoredState records;
  std::string text;  // per file: its name, then one line per record in key order (for messages)
};

inline RegisterSnapshot SnapshotRegisters(const std::string& root) {
  std::vector<std::filesystem::path> paths;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root))
    if (e.path().extension() == ".BTR") paths.push_back(e.path());
  std::sort(paths.begin(), paths.end());
  RegisterSnapshot s;
  const auto text = [](sqlite3_stmt* st, int column) {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(st, column));
    return std::string(bytes ? bytes : "", sqlite3_column_bytes(st, column));
  };
  for (const auto& path : paths) {
    ++s.files;
    const std::string name = path.filename().string();
    s.text += "== " + name + "\n";
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db, "SELECT key, version, data FROM records ORDER BY key", -1, &st,
                           nullptr) != SQLITE_OK) {
      s.text += std::string("unreadable: ") + sqlite3_errmsg(db) + "\n";
    } else {
      while (sqlite3_step(st) == SQLITE_ROW) {
        const StoredRecord record{sqlite3_column_int64(st, 1), text(st, 2)};
        s.records[name + " " + text(st, 0)] = record;
        s.text += text(st, 0) + " | " + std::to_string(record.version) + " | " + record.data + "\n";
      }
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
  }
  return s;
}

// The snapshot of an installation's registers on the register server at url (data folder
// `installation`), named as the files are ("SVF-FTHD.BTR"): equal to the files' snapshot when the
// server holds the same records.
inline RegisterSnapshot ServerSnapshot(const std::string& url, const std::string& installation) {
  RegisterSnapshot s;
  PGconn* conn = PQconnectdb(url.c_str());
  const std::string schema = "\"" + installation + "\"";
  PGresult* names =
      PQexec(conn, ("SELECT name FROM " + schema + ".registers ORDER BY name").c_str());
  for (int n = 0; PQresultStatus(names) == PGRES_TUPLES_OK && n < PQntuples(names); ++n) {
    ++s.files;
    const std::string reg = PQgetvalue(names, n, 0), name = reg + ".BTR";
    s.text += "== " + name + "\n";
    const std::string sql =
        "SELECT key, version, data FROM " + schema + ".\"" + reg + "\" ORDER BY key";
    PGresult* r = PQexecParams(conn, sql.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 1);
    if (PQresultStatus(r) != PGRES_TUPLES_OK)
      s.text += "unreadable: " + std::string(PQerrorMessage(conn));
    for (int row = 0; PQresultStatus(r) == PGRES_TUPLES_OK && row < PQntuples(r); ++row) {
      const std::string key(PQgetvalue(r, row, 0), PQgetlength(r, row, 0));
      // A bigint in binary: eight bytes, most significant first.
      long version = 0;
      for (int i = 0; i < 8; ++i)
        version = version << 8 | static_cast<uint8_t>(PQgetvalue(r, row, 1)[i]);
      const StoredRecord record{version,
                                std::string(PQgetvalue(r, row, 2), PQgetlength(r, row, 2))};
      s.records[name + " " + key] = record;
      s.text += key + " | " + std::to_string(version) + " | " + record.data + "\n";
    }
    PQclear(r);
  }
  PQclear(names);
  PQfinish(conn);
  return s;
}

// The text of a stored record at 1-based position `at`, `width` characters (blank past its end).
inline std::string At(const std::string& record, int at, int width) {
  std::string out = at - 1 < static_cast<int>(record.size()) ? record.substr(at - 1, width) : "";
  out.resize(width, ' ');
  return out;
}

}  // namespace kvor::test
