// Reads through the whole channel layer against the same reads by a bare statement, on one
// SVF-FTHD register of 100,000 invoice headers: LÄSER (Get Equal) by random key, and a full walk
// by NÄSTA (Get Greater with the key that came back). Each runs twice: on a register file beside a
// bare SQLite statement on it (argument 0), and on a PostgreSQL server of its own (a temporary
// folder, its Unix socket only) beside a bare libpq prepared statement on the same table
// (argument 1). Rates are over wall time, which holds the round trips to the server. The run ends
// with a table of the rates and their ratios. The files live in a fresh
// folder under $TMPDIR (default /tmp).
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench_support.h"
#include "frame/program.h"
#include "registers/admin.h"
#include "registers/database.h"
#include "ui/scripted/scripted_front_end.h"

namespace {

using namespace kvor;

constexpr int kRecords = 100000;

using bench::Die;

// The same register read without the channel layer: Get Equal by a prepared statement, Get
// Greater by one, and one statement stepping through the whole register in key order. Each copies
// the record out as the engine copies it.
class Bare {
 public:
  virtual ~Bare() = default;
  // Writes the records in one transaction straight into the register's table (FORMAT.md):
  // loading 100,000 records one engine call each would take minutes.
  virtual void Fill(const std::vector<std::pair<std::string, std::string>>& records) = 0;
  virtual bool Equal(const std::string& key) = 0;
  virtual bool Greater(std::string& key) = 0;  // key becomes the found record's key
  virtual int Scan() = 0;

 protected:
  void Copy(const void* data, int length) {
    std::memcpy(buffer_, data, std::min<int>(length, sizeof buffer_));
  }

 private:
  char buffer_[registers::kRecordBuffer];
};

class BareSqlite : public Bare {
 public:
  explicit BareSqlite(std::string path) : path_(std::move(path)) {}
  ~BareSqlite() override {
    sqlite3_finalize(equal_);
    sqlite3_finalize(greater_);
    sqlite3_finalize(scan_);
    sqlite3_close_v2(db_);
  }
  void Fill(const std::vector<std::pair<std::string, std::string>>& records) override {
    bench::InsertRecords(path_, records);
    if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v3(db_, "SELECT id, version, data FROM records WHERE key = ?1", -1,
                           SQLITE_PREPARE_PERSISTENT, &equal_, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v3(db_,
                           "SELECT id, version, data, key FROM records WHERE key > ?1 "
                           "ORDER BY key LIMIT 1",
                           -1, SQLITE_PREPARE_PERSISTENT, &greater_, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v3(db_, "SELECT key, data FROM records ORDER BY key", -1,
                           SQLITE_PREPARE_PERSISTENT, &scan_, nullptr) != SQLITE_OK)
      Die(sqlite3_errmsg(db_));
  }
  bool Equal(const std::string& key) override {
    sqlite3_bind_blob(equal_, 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
    const bool found = sqlite3_step(equal_) == SQLITE_ROW;
    if (found) Copy(sqlite3_column_blob(equal_, 2), sqlite3_column_bytes(equal_, 2));
    sqlite3_reset(equal_);
    return found;
  }
  bool Greater(std::string& key) override {
    sqlite3_bind_blob(greater_, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
    const bool found = sqlite3_step(greater_) == SQLITE_ROW;
    if (found) {
      Copy(sqlite3_column_blob(greater_, 2), sqlite3_column_bytes(greater_, 2));
      key.assign(static_cast<const char*>(sqlite3_column_blob(greater_, 3)),
                 sqlite3_column_bytes(greater_, 3));
    }
    sqlite3_reset(greater_);
    return found;
  }
  int Scan() override {
    int n = 0;
    while (sqlite3_step(scan_) == SQLITE_ROW) {
      Copy(sqlite3_column_blob(scan_, 1), sqlite3_column_bytes(scan_, 1));
      ++n;
    }
    sqlite3_reset(scan_);
    return n;
  }

 private:
  std::string path_;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* equal_ = nullptr;
  sqlite3_stmt* greater_ = nullptr;
  sqlite3_stmt* scan_ = nullptr;
};

class BarePostgres : public Bare {
 public:
  BarePostgres(const std::string& url, const std::string& table) {
    conn_ = PQconnectdb(url.c_str());
    if (PQstatus(conn_) != CONNECTION_OK) Die(PQerrorMessage(conn_));
    Prepare("insert", "INSERT INTO " + table + "(key, version, data) VALUES($1, 1, $2)", 2);
    Prepare("equal", "SELECT id, version, data FROM " + table + " WHERE key = $1", 1);
    Prepare("greater",
            "SELECT id, version, data, key FROM " + table + " WHERE key > $1 ORDER BY key LIMIT 1",
            1);
    Prepare("scan", "SELECT key, data FROM " + table + " ORDER BY key", 0);
  }
  ~BarePostgres() override { PQfinish(conn_); }
  void Fill(const std::vector<std::pair<std::string, std::string>>& records) override {
    Check(PQexec(conn_, "BEGIN"));
    for (const auto& [key, data] : records) Check(Exec("insert", {key, data}));
    Check(PQexec(conn_, "COMMIT"));
    Check(PQexec(conn_, "ANALYZE"));
  }
  bool Equal(const std::string& key) override {
    PGresult* r = Exec("equal", {key});
    const bool found = PQntuples(r) == 1;
    if (found) Copy(PQgetvalue(r, 0, 2), PQgetlength(r, 0, 2));
    PQclear(r);
    return found;
  }
  bool Greater(std::string& key) override {
    PGresult* r = Exec("greater", {key});
    const bool found = PQntuples(r) == 1;
    if (found) {
      Copy(PQgetvalue(r, 0, 2), PQgetlength(r, 0, 2));
      key.assign(PQgetvalue(r, 0, 3), PQgetlength(r, 0, 3));
    }
    PQclear(r);
    return found;
  }
  int Scan() override {
    PGresult* r = Exec("scan", {});
    const int n = PQntuples(r);
    for (int i = 0; i < n; ++i) Copy(PQgetvalue(r, i, 1), PQgetlength(r, i, 1));
    PQclear(r);
    return n;
  }

 private:
  void Check(PGresult* r) {
    const ExecStatusType s = PQresultStatus(r);
    PQclear(r);
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK) Die(PQerrorMessage(conn_));
  }
  void Prepare(const char* name, const std::string& sql, int params) {
    Check(PQprepare(conn_, name, sql.c_str(), params, nullptr));
  }
  // Parameters and results as bytes.
  PGresult* Exec(const char* name, const std::vector<std::string>& params) {
    const char* values[2] = {};
    int lengths[2] = {}, formats[2] = {1, 1};
    for (std::size_t i = 0; i < params.size(); ++i) {
      values[i] = params[i].data();
      lengths[i] = static_cast<int>(params[i].size());
    }
    return PQexecPrepared(conn_, name, static_cast<int>(params.size()), values, lengths, formats,
                          1);
  }

  PGconn* conn_ = nullptr;
};

// A program context whose SVF-FTHD register is filled and open on its channel, as a file or on
// the server, and the same register open to a bare statement.
class Bench {
 public:
  explicit Bench(const std::string& registers)
      : front_end_({}, transcript_),
        program_(front_end_, clock_, clipboard_, transcript_, Start(registers)) {
    Context& ctx = program_.ctx;
    ctx.install.data_drive = "C:";
    ctx.install.data_folder = "KVOR   ";
    layout_ = registers::FindLayout("SVF-FTHD");
    const std::string path = ctx.drives.ToHost(registers::RegisterPath(ctx, *layout_));
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::string error;
    if (!registers::CreateRegisterFile(ctx, *layout_, error)) Die(error);
    if (registers.empty())
      bare_ = std::make_unique<BareSqlite>(path);
    else
      bare_ = std::make_unique<BarePostgres>(registers, "\"KVOR\".\"SVF-FTHD\"");
    bare_->Fill(Records());
    int16_t err = 0;
    registers::Open(ctx, *layout_, err);
    if (err != 0) Die("cannot open the register on its channel");
  }
  ~Bench() {
    bare_.reset();
    registers::CloseAllChannels(program_.ctx);
    std::filesystem::remove_all(dir_);
  }

  Context& ctx() { return program_.ctx; }
  Bare& bare() { return *bare_; }
  int16_t Channel() const { return layout_->channel; }
  int16_t KeyLength() const { return layout_->key_length; }
  // Keys in a fixed random order, so both sides read the same records.
  const std::string& RandomKey(std::size_t n) const { return shuffled_[n % shuffled_.size()]; }

 private:
  kvor::frame::StartInfo Start(const std::string& registers) {
    dir_ = bench::MakeFolder("channel-bench");
    kvor::frame::StartInfo start{"/opt/kvor/bin/trv00381", "C:", {}, registers};
    start.drives.SetRoot(dir_);
    return start;
  }
  std::vector<std::pair<std::string, std::string>> Records() {
    std::vector<std::pair<std::string, std::string>> records;
    registers::Record header(*layout_);
    for (int n = 0; n < kRecords; ++n) {
      char number[8];
      std::snprintf(number, sizeof number, "%06d", 100000 + n * 7 % 900000);
      header.Set("FTGID", "001");
      header.Set("REGTYP", "F");
      header.Set("FAKTNR", number);
      header.Set("FAKTDATUM", "20261204");
      header.Set("FAKTNAMN", "Gran\xE5sens Tr\xE4varu AB");
      const std::string& data = header.Text();
      records.emplace_back(data.substr(0, layout_->key_length), data);
      shuffled_.push_back(records.back().first);
    }
    std::shuffle(shuffled_.begin(), shuffled_.end(), std::mt19937(381));
    return records;
  }

  std::string dir_;
  forms::Transcript transcript_;
  ui::ScriptedFrontEnd front_end_;
  sys::Clock clock_;
  sys::MemoryClipboard clipboard_;
  frame::Program program_;
  const registers::Layout* layout_ = nullptr;
  std::vector<std::string> shuffled_;
  std::unique_ptr<Bare> bare_;
};

// The register as a file (0) and on the server (1).
Bench* the_benches[2] = {};

void BM_ChannelLaser(benchmark::State& state) {
  Bench& b = *the_benches[state.range(0)];
  std::size_t n = 0;
  for (auto _ : state) {
    std::string key = b.RandomKey(n++);
    int16_t err = 0;
    registers::Laser(b.ctx(), key, b.Channel(), 0, 0, err);
    if (err != 0) state.SkipWithError("LASER found no record");
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ChannelLaser)->Arg(0)->Arg(1)->UseRealTime();

void BM_BareGetEqual(benchmark::State& state) {
  Bench& b = *the_benches[state.range(0)];
  std::size_t n = 0;
  for (auto _ : state) {
    if (!b.bare().Equal(b.RandomKey(n++))) state.SkipWithError("no record found");
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BareGetEqual)->Arg(0)->Arg(1)->UseRealTime();

void BM_ChannelNastaWalk(benchmark::State& state) {
  Bench& b = *the_benches[state.range(0)];
  for (auto _ : state) {
    std::string key(b.KeyLength(), ' ');
    int16_t err = 0;
    int count = 0;
    for (registers::Nasta(b.ctx(), key, b.Channel(), 1, err); err == 0;
         registers::Nasta(b.ctx(), key, b.Channel(), 1, err))
      ++count;
    if (count != kRecords) state.SkipWithError("the walk missed records");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_ChannelNastaWalk)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BareGreaterWalk(benchmark::State& state) {
  Bench& b = *the_benches[state.range(0)];
  for (auto _ : state) {
    std::string key(b.KeyLength(), ' ');
    int count = 0;
    while (b.bare().Greater(key)) ++count;
    if (count != kRecords) state.SkipWithError("the walk missed records");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_BareGreaterWalk)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BareScan(benchmark::State& state) {
  Bench& b = *the_benches[state.range(0)];
  for (auto _ : state) {
    if (b.bare().Scan() != kRecords) state.SkipWithError("the scan missed records");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_BareScan)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The console report, plus the rates kept for the table at the end.
class RateReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      const auto it = r.counters.find("items_per_second");
      if (!r.error_occurred && it != r.counters.end())
        rates[r.run_name.function_name + "/" + r.run_name.args] = it->second;
    }
  }
  std::map<std::string, double> rates;
};

void PrintRatio(const RateReporter& r, const std::string& what, const std::string& channel,
                const std::string& bare) {
  const auto c = r.rates.find(channel), b = r.rates.find(bare);
  if (c == r.rates.end() || b == r.rates.end()) return;
  std::printf("%-42s channel %9.0f/s   bare %9.0f/s   channel/bare %.2f\n", what.c_str(), c->second,
              b->second, c->second / b->second);
}

}  // namespace

int main(int argc, char** argv) {
  bench::the_name = "channel_bench";
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  test::PgServer& server = test::PgServer::Get();
  if (!server.running()) Die("no register server: " + server.error());
  Bench files(""), on_server(server.url());
  the_benches[0] = &files;
  the_benches[1] = &on_server;
  RateReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n%d SVF-FTHD records of %zu bytes, key %d; target: channel/bare 0.50 or better\n",
              kRecords, static_cast<std::size_t>(registers::FindLayout("SVF-FTHD")->record_end),
              files.KeyLength());
  const char* stores[] = {"files, bare SQLite", "server, bare libpq"};
  for (int i = 0; i < 2; ++i) {
    const std::string arg = "/" + std::to_string(i), store = std::string(" (") + stores[i] + ")";
    PrintRatio(reporter, "LASER (Get Equal), random keys" + store, "BM_ChannelLaser" + arg,
               "BM_BareGetEqual" + arg);
    PrintRatio(reporter, "NASTA walk (Get Greater)" + store, "BM_ChannelNastaWalk" + arg,
               "BM_BareGreaterWalk" + arg);
    PrintRatio(reporter, "NASTA walk vs one scanning cursor" + store, "BM_ChannelNastaWalk" + arg,
               "BM_BareScan" + arg);
  }
  std::fflush(stdout);  // before the server is stopped by a child process at exit
  benchmark::Shutdown();
  the_benches[0] = the_benches[1] = nullptr;
  return 0;
}
