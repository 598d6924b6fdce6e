#include "registers/admin.h"

#include <array>
#include <cstring>

#include "common/text.h"
#include "registers/database.h"

namespace kvor::registers {

namespace {

namespace op = recman::op;
namespace st = recman::status;

std::string Why(const Layout& layout, const char* what, int16_t status) {
  std::string why =
      std::string(layout.code) + ": " + what + " answered status " + std::to_string(status);
  if (status == st::kOnNetworkShare)
    why +=
        " (register files on a network file system are refused: share the registers on a "
        "register server with --registers URL or KVOR_REGISTERS)";
  return why;
}

// One handle on a register file, closed again when it goes.
class Handle {
 public:
  Handle(Context& ctx, const Layout& layout)
      : Handle(Db(ctx).engine, RegisterPath(ctx, layout), layout) {}
  Handle(recman::Engine& engine, const std::string& path, const Layout& layout)
      : engine_(engine), layout_(layout) {
    block_.fill(' ');
    std::string name = path;
    name.resize(255, ' ');
    char stat[recman::kStatSize] = {};
    uint16_t length = sizeof stat;
    status_ = engine_.Call(op::kOpen, block_.data(), stat, length, name.data(), 255, -32);
  }
  ~Handle() {
    if (status_ != st::kOk) return;
    uint16_t length = 0;
    char empty[1] = {};
    engine_.Call(op::kClose, block_.data(), empty, length, empty, 0, 0);
  }
  int16_t OpenStatus() const { return status_; }
  int16_t Count(uint32_t& count) {
    char stat[recman::kStatSize] = {};
    uint16_t length = sizeof stat;
    char key[1] = {};
    const int16_t status = engine_.Call(op::kStat, block_.data(), stat, length, key, 0, 0);
    count = 0;
    for (int i = 3; i >= 0; --i)
      count = count << 8 | static_cast<unsigned char>(stat[recman::kStatRecordCount + i]);
    return status;
  }
  int16_t Call(int16_t operation, std::string& record, std::string& key) {
    record.resize(layout_.record_end, ' ');
    key.resize(255, ' ');
    uint16_t length = static_cast<uint16_t>(layout_.record_end);
    const int16_t status = engine_.Call(operation, block_.data(), record.data(), length, key.data(),
                                        static_cast<uint8_t>(layout_.key_length), 0);
    key.resize(layout_.key_length);
    return status;
  }

 private:
  recman::Engine& engine_;
  const Layout& layout_;
  std::array<char, 128> block_;
  int16_t status_;
};

}  // namespace

bool CreateRegisterFile(Context& ctx, const Layout& layout, std::string& error) {
  return CreateRegisterFile(Db(ctx).engine, RegisterPath(ctx, layout), layout, error);
}

bool CreateRegisterFile(recman::Engine& engine, const std::string& path, const Layout& layout,
                        std::string& error) {
  char spec[recman::kStatSize] = {};
  auto put = [&](std::size_t at, int value) {
    spec[at] = static_cast<char>(value & 0xFF);
    spec[at + 1] = static_cast<char>((value >> 8) & 0xFF);
  };
  put(recman::kStatRecordLength, layout.record_end);
  put(recman::kStatPageSize, 4096);
  put(recman::kStatKeyLength, layout.key_length);
  std::string name = path;
  name.resize(255, ' ');
  uint16_t length = sizeof spec;
  std::array<char, 128> block;
  block.fill(' ');
  const int16_t status = engine.Call(op::kCreate, block.data(), spec, length, name.data(), 255, 0);
  if (status != st::kOk) error = Why(layout, "create", status);
  return status == st::kOk;
}

int16_t OpenStatus(Context& ctx, const Layout& layout) {
  return Handle(ctx, layout).OpenStatus();
}

bool PutRecord(Context& ctx, const Layout& layout, const std::string& record, std::string& error) {
  return PutRecord(Db(ctx).engine, RegisterPath(ctx, layout), layout, record, error);
}

bool PutRecord(recman::Engine& engine, const std::string& path, const Layout& layout,
               const std::string& record, std::string& error) {
  Handle h(engine, path, layout);
  if (h.OpenStatus() != st::kOk) {
    error = Why(layout, "open", h.OpenStatus());
    return false;
  }
  std::string data = Fixed(record, layout.record_end);
  std::string key = data.substr(0, layout.key_length);
  std::string found;
  int16_t status = h.Call(op::kGetEqual + op::kSingleLock, found, key);
  if (status == st::kOk) {
    status = h.Call(op::kUpdate, data, key);
  } else if (status == st::kKeyNotFound) {
    status = h.Call(op::kInsert, data, key);
  }
  if (status != st::kOk) error = Why(layout, "write", status);
  return status == st::kOk;
}

bool CountRecords(recman::Engine& engine, const std::string& path, const Layout& layout,
                  uint32_t& count, int16_t& status, std::string& error) {
  Handle h(engine, path, layout);
  status = h.OpenStatus();
  if (status == st::kOk) status = h.Count(count);
  if (status != st::kOk) error = Why(layout, "open", status);
  return status == st::kOk;
}

bool CopyRegister(recman::Engine& from, recman::Engine& to, const std::string& path,
                  const Layout& layout, std::string& error) {
  Handle source(from, path, layout);
  if (source.OpenStatus() != st::kOk) {
    error = Why(layout, "open", source.OpenStatus());
    return false;
  }
  if (!CreateRegisterFile(to, path, layout, error)) return false;
  Handle target(to, path, layout);
  if (target.OpenStatus() != st::kOk) {
    error = Why(layout, "open", target.OpenStatus());
    return false;
  }
  std::string record, key;
  int16_t status = source.Call(op::kGetFirst, record, key);
  for (; status == st::kOk; status = source.Call(op::kGetNext, record, key)) {
    std::string written = record, written_key;
    if (const int16_t s = target.Call(op::kInsert, written, written_key); s != st::kOk) {
      error = Why(layout, "write", s);
      return false;
    }
  }
  if (status != st::kEndOfFile) error = Why(layout, "read", status);
  return status == st::kEndOfFile;
}

bool GetRecord(Context& ctx, const Layout& layout, const std::string& key, std::string& record,
               std::string& error) {
  Handle h(ctx, layout);
  if (h.OpenStatus() != st::kOk) {
    error = Why(layout, "open", h.OpenStatus());
    return false;
  }
  std::string k = Fixed(key, layout.key_length);
  const int16_t status = h.Call(op::kGetEqual, record, k);
  if (status != st::kOk && status != st::kKeyNotFound) error = Why(layout, "read", status);
  return status == st::kOk;
}

bool ListRecords(Context& ctx, const Layout& layout, const std::string& prefix,
                 std::vector<std::string>& records, std::string& error) {
  Handle h(ctx, layout);
  if (h.OpenStatus() != st::kOk) {
    error = Why(layout, "open", h.OpenStatus());
    return false;
  }
  std::string key = Fixed(prefix, layout.key_length);
  std::string record;
  int16_t status = h.Call(prefix.empty() ? op::kGetFirst : op::kGetGreaterOrEqual, record, key);
  while (status == st::kOk && key.compare(0, prefix.size(), prefix) == 0) {
    records.push_back(record);
    status = h.Call(op::kGetNext, record, key);
  }
  if (status != st::kOk && status != st::kEndOfFile && status != st::kKeyNotFound) {
    error = Why(layout, "read", status);
    return false;
  }
  return true;
}

}  // namespace kvor::registers
