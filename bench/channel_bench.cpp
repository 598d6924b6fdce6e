// Reads through the whole channel layer against the same reads by a bare SQLite statement, on one
// SVF-FTHD file of 100,000 invoice headers: LÄSER (Get Equal) by random key, and a full walk by
// NÄSTA (Get Greater with the key that came back). The run ends with a table of both rates and
// their ratio. The file lives in a fresh folder under $TMPDIR (default /tmp).
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "frame/program.h"
#include "registers/admin.h"
#include "registers/database.h"
#include "ui/scripted/scripted_front_end.h"

namespace {

using namespace kvor;

constexpr int kRecords = 100000;

// A program context with the register database, its SVF-FTHD file filled and open on its channel,
// and the same file open on a bare SQLite connection.
class Bench {
 public:
  Bench()
      : front_end_({}, transcript_),
        program_(front_end_, clock_, clipboard_, transcript_, Start()) {
    Context& ctx = program_.ctx;
    ctx.install.data_drive = "C:";
    ctx.install.data_folder = "KVOR   ";
    layout_ = registers::FindLayout("SVF-FTHD");
    path_ = ctx.drives.ToHost(registers::RegisterPath(ctx, *layout_));
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path());
    std::string error;
    if (!registers::CreateRegisterFile(ctx, *layout_, error)) Die(error);
    Fill();
    int16_t err = 0;
    registers::Open(ctx, *layout_, err);
    if (err != 0) Die("cannot open the register on its channel");
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
  ~Bench() {
    sqlite3_finalize(equal_);
    sqlite3_finalize(greater_);
    sqlite3_finalize(scan_);
    sqlite3_close_v2(db_);
    registers::CloseAllChannels(program_.ctx);
    std::filesystem::remove_all(dir_);
  }

  Context& ctx() { return program_.ctx; }
  int16_t Channel() const { return layout_->channel; }
  int16_t KeyLength() const { return layout_->key_length; }
  // Keys in a fixed random order, so both sides read the same records.
  const std::string& RandomKey(std::size_t n) const { return shuffled_[n % shuffled_.size()]; }

  // Get Equal by a prepared statement; the record is copied out as the engine copies it.
  bool BareEqual(const std::string& key) {
    sqlite3_bind_blob(equal_, 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
    const bool found = sqlite3_step(equal_) == SQLITE_ROW;
    if (found) Copy(equal_, 2);
    sqlite3_reset(equal_);
    return found;
  }
  // Get Greater: the record after key; key becomes its key.
  bool BareGreater(std::string& key) {
    sqlite3_bind_blob(greater_, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
    const bool found = sqlite3_step(greater_) == SQLITE_ROW;
    if (found) {
      Copy(greater_, 2);
      key.assign(static_cast<const char*>(sqlite3_column_blob(greater_, 3)),
                 sqlite3_column_bytes(greater_, 3));
    }
    sqlite3_reset(greater_);
    return found;
  }
  // One statement stepping through the whole file in key order: what SQLite does at best.
  int BareScan() {
    int n = 0;
    while (sqlite3_step(scan_) == SQLITE_ROW) {
      Copy(scan_, 1);
      ++n;
    }
    sqlite3_reset(scan_);
    return n;
  }

 private:
  static void Die(const std::string& why) {
    std::fprintf(stderr, "channel_bench: %s\n", why.c_str());
    std::exit(1);
  }
  kvor::frame::StartInfo Start() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp ? tmp : "/tmp") + "/channel-bench-XXXXXX";
    if (!mkdtemp(pattern.data())) Die("cannot make a folder under " + pattern);
    dir_ = pattern;
    kvor::frame::StartInfo start{"/opt/kvor/bin/trv00381", "C:", {}};
    start.drives.SetRoot(dir_);
    return start;
  }
  void Copy(sqlite3_stmt* s, int column) {
    const int n = std::min<int>(sqlite3_column_bytes(s, column), sizeof buffer_);
    std::memcpy(buffer_, sqlite3_column_blob(s, column), n);
  }
  // Writes the records in one transaction straight into the file's table (FORMAT.md): loading
  // 100,000 records one engine call each would take minutes of fsyncs.
  void Fill() {
    sqlite3* db = nullptr;
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db, "INSERT INTO records(key, version, data) VALUES(?1, 1, ?2)", -1,
                           &insert, nullptr) != SQLITE_OK)
      Die(sqlite3_errmsg(db));
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
      const std::string key = data.substr(0, layout_->key_length);
      shuffled_.push_back(key);
      sqlite3_bind_blob(insert, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
      sqlite3_bind_blob(insert, 2, data.data(), static_cast<int>(data.size()), SQLITE_TRANSIENT);
      if (sqlite3_step(insert) != SQLITE_DONE) Die(sqlite3_errmsg(db));
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) Die(sqlite3_errmsg(db));
    sqlite3_close_v2(db);
    std::shuffle(shuffled_.begin(), shuffled_.end(), std::mt19937(381));
  }

  std::string dir_;
  forms::Transcript transcript_;
  ui::ScriptedFrontEnd front_end_;
  sys::Clock clock_;
  sys::MemoryClipboard clipboard_;
  frame::Program program_;
  const registers::Layout* layout_ = nullptr;
  std::string path_;
  std::vector<std::string> shuffled_;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* equal_ = nullptr;
  sqlite3_stmt* greater_ = nullptr;
  sqlite3_stmt* scan_ = nullptr;
  char buffer_[registers::kRecordBuffer];
};

Bench* the_bench = nullptr;

void BM_ChannelLaser(benchmark::State& state) {
  Bench& b = *the_bench;
  std::size_t n = 0;
  for (auto _ : state) {
    std::string key = b.RandomKey(n++);
    int16_t err = 0;
    registers::Laser(b.ctx(), key, b.Channel(), 0, 0, err);
    if (err != 0) state.SkipWithError("LASER found no record");
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ChannelLaser);

void BM_BareGetEqual(benchmark::State& state) {
  Bench& b = *the_bench;
  std::size_t n = 0;
  for (auto _ : state) {
    if (!b.BareEqual(b.RandomKey(n++))) state.SkipWithError("no record found");
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BareGetEqual);

void BM_ChannelNastaWalk(benchmark::State& state) {
  Bench& b = *the_bench;
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
BENCHMARK(BM_ChannelNastaWalk)->Unit(benchmark::kMillisecond);

void BM_BareGreaterWalk(benchmark::State& state) {
  Bench& b = *the_bench;
  for (auto _ : state) {
    std::string key(b.KeyLength(), ' ');
    int count = 0;
    while (b.BareGreater(key)) ++count;
    if (count != kRecords) state.SkipWithError("the walk missed records");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_BareGreaterWalk)->Unit(benchmark::kMillisecond);

void BM_BareScan(benchmark::State& state) {
  Bench& b = *the_bench;
  for (auto _ : state) {
    if (b.BareScan() != kRecords) state.SkipWithError("the scan missed records");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_BareScan)->Unit(benchmark::kMillisecond);

// The console report, plus the rates kept for the table at the end.
class RateReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      const auto it = r.counters.find("items_per_second");
      if (!r.error_occurred && it != r.counters.end()) rates[r.run_name.function_name] = it->second;
    }
  }
  std::map<std::string, double> rates;
};

void PrintRatio(const RateReporter& r, const char* what, const char* channel, const char* bare) {
  const auto c = r.rates.find(channel), b = r.rates.find(bare);
  if (c == r.rates.end() || b == r.rates.end()) return;
  std::printf("%-34s channel %9.0f/s   bare %9.0f/s   channel/bare %.2f\n", what, c->second,
              b->second, c->second / b->second);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Bench bench;
  the_bench = &bench;
  RateReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n%d SVF-FTHD records of %zu bytes, key %d; target: channel/bare 0.50 or better\n",
              kRecords, static_cast<std::size_t>(registers::FindLayout("SVF-FTHD")->record_end),
              bench.KeyLength());
  PrintRatio(reporter, "LASER (Get Equal), random keys", "BM_ChannelLaser", "BM_BareGetEqual");
  PrintRatio(reporter, "NASTA walk (Get Greater)", "BM_ChannelNastaWalk", "BM_BareGreaterWalk");
  PrintRatio(reporter, "NASTA walk vs one scanning cursor", "BM_ChannelNastaWalk", "BM_BareScan");
  benchmark::Shutdown();
  the_bench = nullptr;
  return 0;
}
