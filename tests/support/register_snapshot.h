// Register files read straight from the record store's SQLite files, without the program's code.
#pragma once

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace kvor::test {

// Every record of every register file of an installation as one text: equal snapshots before and
// after a run mean the run wrote nothing.
struct RegisterSnapshot {
  int files = 0;
  long records = 0;
  std::string text;  // per file: its name, then one line per record in key order
};

inline RegisterSnapshot SnapshotRegisters(const std::string& root) {
  std::vector<std::filesystem::path> paths;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root))
    if (e.path().extension() == ".BTR") paths.push_back(e.path());
  std::sort(paths.begin(), paths.end());
  RegisterSnapshot s;
  for (const auto& path : paths) {
    ++s.files;
    s.text += "== " + path.filename().string() + "\n";
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db, "SELECT key, version, data FROM records ORDER BY key", -1, &st,
                           nullptr) != SQLITE_OK) {
      s.text += std::string("unreadable: ") + sqlite3_errmsg(db) + "\n";
    } else {
      while (sqlite3_step(st) == SQLITE_ROW) {
        ++s.records;
        for (int column = 0; column < 3; ++column) {
          const auto* bytes = static_cast<const char*>(sqlite3_column_blob(st, column));
          s.text.append(bytes ? bytes : "", sqlite3_column_bytes(st, column));
          s.text += column < 2 ? " | " : "\n";
        }
      }
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
  }
  return s;
}

// Records of one register file whose keys start with `prefix`, in key order, as stored.
inline std::vector<std::string> StoredRecords(const std::string& file, const std::string& prefix) {
  std::vector<std::string> out;
  sqlite3* db = nullptr;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
      sqlite3_prepare_v2(db, "SELECT data FROM records WHERE substr(key, 1, ?2) = ?1 ORDER BY key",
                         -1, &st, nullptr) == SQLITE_OK) {
    sqlite3_bind_blob(st, 1, prefix.data(), static_cast<int>(prefix.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(st, 2, static_cast<int>(prefix.size()));
    while (sqlite3_step(st) == SQLITE_ROW)
      out.emplace_back(static_cast<const char*>(sqlite3_column_blob(st, 0)),
                       sqlite3_column_bytes(st, 0));
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return out;
}

// The text of a stored record at 1-based position `at`, `width` characters (blank past its end).
inline std::string At(const std::string& record, int at, int width) {
  std::string out = at - 1 < static_cast<int>(record.size()) ? record.substr(at - 1, width) : "";
  out.resize(width, ' ');
  return out;
}

}  // namespace kvor::test
