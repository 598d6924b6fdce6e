#include "reg_commands.h"

#include <chrono>
#include <cstring>
#include <ostream>
#include <thread>

#include "common/text.h"
#include "registers/database.h"

namespace kvor::reg {

using registers::Layout;

// Holds a single-record lock from this process as another program of the suite would: the lock
// is the record manager's own, so any other client sees it until it is released or this process
// ends.
int Lock(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err) {
  if (cl.words.size() != 2 || !cl.has_hold)
    return Usage(err, "lock takes a register, a key and --hold SECONDS");
  constexpr long kLongestHold = 24 * 3600;
  const std::string& hold = cl.hold;
  if (hold.empty() || hold.size() > 5 ||
      hold.find_first_not_of("0123456789") != std::string::npos || std::stol(hold) > kLongestHold)
    return Usage(err, "--hold takes whole seconds from 0 to " + std::to_string(kLongestHold));
  std::string error, key;
  const Layout* layout = FindRegister(cl.words[0], error);
  if (!layout || !KeyText(*layout, cl.words[1], key, error) || !keeper.NeedFile(*layout, error))
    return Fail(err, error);

  namespace op = recman::op;
  namespace st = recman::status;
  recman::Engine& engine = registers::Db(keeper.ctx()).engine;
  std::string name = keeper.WindowsPath(*layout);
  name.resize(255, ' ');
  char block[recman::kPositionBlockSize];
  std::memset(block, ' ', sizeof block);
  char stat[recman::kStatSize] = {};
  uint16_t length = sizeof stat;
  int16_t status = engine.Call(op::kOpen, block, stat, length, name.data(), 255, -32);
  if (status != st::kOk)
    return Fail(err,
                std::string(layout->code) + ": open answered status " + std::to_string(status));
  std::string record(layout->record_end, ' ');
  std::string key_buffer = Fixed(key, 255);
  length = static_cast<uint16_t>(record.size());
  status = engine.Call(op::kGetEqual + op::kSingleLock, block, record.data(), length,
                       key_buffer.data(), static_cast<uint8_t>(layout->key_length), 0);
  const std::string shown = Utf8(Fixed(key, layout->key_length));
  int code = 0;
  if (status == st::kKeyNotFound) {
    code = Fail(err, "no record with the key '" + shown + "' in " + layout->code);
  } else if (status == st::kRecordLocked || status == st::kFileLocked) {
    code = Fail(err, std::string(layout->code) + " '" + shown +
                         "' is locked by another program (status " + std::to_string(status) + ")");
  } else if (status != st::kOk) {
    code = Fail(err, std::string(layout->code) + ": the locked read answered status " +
                         std::to_string(status));
  } else {
    out << "holding " << layout->code << " '" << shown << "' locked for " << hold << " s"
        << std::endl;
    std::this_thread::sleep_for(std::chrono::seconds(std::stol(hold)));
    char empty[1] = {};
    length = 0;
    status = engine.Call(op::kUnlock, block, empty, length, key_buffer.data(),
                         static_cast<uint8_t>(layout->key_length), 0);
    if (status != st::kOk) {
      code = Fail(err,
                  std::string(layout->code) + ": unlock answered status " + std::to_string(status));
    } else {
      out << "released " << layout->code << " '" << shown << "'" << std::endl;
    }
  }
  char empty[1] = {};
  length = 0;
  engine.Call(op::kClose, block, empty, length, empty, 0, 0);
  return code;
}

}  // namespace kvor::reg
