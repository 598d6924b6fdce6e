// Timings of the record store on one file of 10,000 records: reads by key, walks in key order
// the two ways the program walks (Get Next, and Get Greater with the key that came back), and
// the writes (insert; locked read then update, as a record is written back). The file lives in
// a fresh folder under $TMPDIR (default /tmp); write timings depend on that disk's fsync.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/recman/engine.h"

namespace {

using namespace kvor::recman;

constexpr int kRecords = 10000;
constexpr uint16_t kRecordLength = 506;
constexpr uint8_t kKeyLength = 20;

std::string KeyOf(int n) {
  char key[kKeyLength + 1];
  std::snprintf(key, sizeof key, "%08d%-12s", n, "\xC5R");
  return key;
}

std::string RecordOf(int n) {
  std::string record = KeyOf(n) + "V\xE4xj\xF6 Tr\xE4varu AB";
  record.resize(kRecordLength, ' ');
  return record;
}

// The register file, made once for all benchmarks, and one open handle on it.
class File {
 public:
  File() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp ? tmp : "/tmp") + "/recman-bench-XXXXXX";
    dir_ = mkdtemp(pattern.data()) ? pattern : "/tmp";
    const std::string path = dir_ + "/SVF-FTHD.BTR";
    std::array<char, kStatSize> layout{};
    layout[kStatRecordLength] = static_cast<char>(kRecordLength & 0xff);
    layout[kStatRecordLength + 1] = static_cast<char>(kRecordLength >> 8);
    layout[kStatKeyLength] = static_cast<char>(kKeyLength);
    std::string name = path;
    name.resize(255, ' ');
    uint16_t length = kStatSize;
    if (engine_.Call(op::kCreate, position_, layout.data(), length, name.data(), 255, 0) != 0 ||
        engine_.Call(op::kOpen, position_, nullptr, length, name.data(), 255, -32) != 0)
      std::abort();
    for (int n = 0; n < kRecords; ++n) {
      if (Write(op::kInsert, RecordOf(n * 2)) != 0) std::abort();  // odd keys stay free
    }
  }
  ~File() { std::filesystem::remove_all(dir_); }

  int16_t Read(int16_t operation, std::string& key) {
    uint16_t length = kRecordLength;
    return engine_.Call(operation, position_, data_, length, key.data(), kKeyLength, 0);
  }
  int16_t Write(int16_t operation, std::string record) {
    uint16_t length = kRecordLength;
    std::string key(kKeyLength, ' ');
    return engine_.Call(operation, position_, record.data(), length, key.data(), kKeyLength, 0);
  }

 private:
  std::string dir_;
  Engine engine_;
  char position_[kPositionBlockSize];
  char data_[kRecordLength];
};

File& TheFile() {
  static File file;
  return file;
}

// The n-th of a fixed pseudo-random sequence over the records.
int Pick(uint64_t& state) {
  state = state * 6364136223846793005ULL + 1442695040888963407ULL;
  return static_cast<int>((state >> 33) % kRecords) * 2;
}

void BM_GetEqual(benchmark::State& state) {
  File& file = TheFile();
  uint64_t seed = 1;
  for (auto _ : state) {
    std::string key = KeyOf(Pick(seed));
    if (file.Read(op::kGetEqual, key) != 0) state.SkipWithError("not found");
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetEqual);

void BM_WalkGetNext(benchmark::State& state) {
  File& file = TheFile();
  for (auto _ : state) {
    std::string key(kKeyLength, ' ');
    int count = 0;
    for (int16_t st = file.Read(op::kGetFirst, key); st == 0; st = file.Read(op::kGetNext, key))
      ++count;
    if (count < kRecords) state.SkipWithError("short walk");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_WalkGetNext)->Unit(benchmark::kMillisecond);

void BM_WalkGetGreater(benchmark::State& state) {
  File& file = TheFile();
  for (auto _ : state) {
    std::string key(kKeyLength, ' ');
    int count = 0;
    while (file.Read(op::kGetGreater, key) == 0) ++count;
    if (count < kRecords) state.SkipWithError("short walk");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_WalkGetGreater)->Unit(benchmark::kMillisecond);

void BM_Insert(benchmark::State& state) {
  File& file = TheFile();
  static int next = kRecords * 2;  // past the keys made at the start
  for (auto _ : state) {
    if (file.Write(op::kInsert, RecordOf(next++)) != 0) state.SkipWithError("insert failed");
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Insert);

void BM_LockedReadAndUpdate(benchmark::State& state) {
  File& file = TheFile();
  uint64_t seed = 2;
  for (auto _ : state) {
    const int n = Pick(seed);
    std::string key = KeyOf(n);
    if (file.Read(op::kGetEqual + op::kSingleLock, key) != 0 ||
        file.Write(op::kUpdate, RecordOf(n)) != 0)
      state.SkipWithError("locked update failed");
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LockedReadAndUpdate);

}  // namespace

BENCHMARK_MAIN();
