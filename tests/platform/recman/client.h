// Test helpers: a handle driven the way the channel layer drives the engine, and a second
// process to hold locks and write from.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <functional>
#include <string>

#include "platform/recman/engine.h"

namespace kvor::recman::test {

inline constexpr uint16_t kRecordLength = 40;
inline constexpr uint8_t kKeyLength = 8;

// A record of the test files: key padded to the key length, then text, blanks to the end.
inline std::string Rec(std::string key, const std::string& text = "") {
  key.resize(kKeyLength, ' ');
  std::string record = key + text;
  record.resize(kRecordLength, ' ');
  return record;
}

inline int16_t CreateFile(Engine& engine, const std::string& name,
                          uint16_t record_length = kRecordLength, uint16_t key_length = kKeyLength,
                          uint16_t page_size = 4096) {
  std::array<char, kStatSize> layout{};
  for (auto [at, value] :
       {std::pair{kStatRecordLength, record_length}, {kStatPageSize, page_size}}) {
    layout[at] = static_cast<char>(value & 0xff);
    layout[at + 1] = static_cast<char>(value >> 8);
  }
  layout[kStatKeyLength] = static_cast<char>(key_length);
  std::string key = name;
  key.resize(255, ' ');
  char position[kPositionBlockSize] = {};
  uint16_t length = kStatSize;
  return engine.Call(op::kCreate, position, layout.data(), length, key.data(), 255, 0);
}

class Client {
 public:
  explicit Client(Engine& engine, uint8_t key_length = kKeyLength)
      : engine_(engine), key_length_(key_length) {
    position_.fill(' ');
  }

  int16_t Open(std::string name, int16_t key_number = -32) {
    name.resize(255, ' ');
    char stat[kStatSize] = {};
    uint16_t length = kStatSize;
    return engine_.Call(op::kOpen, position_.data(), stat, length, name.data(), 255, key_number);
  }
  int16_t Close() { return Simple(op::kClose); }
  int16_t Unlock() { return Simple(op::kUnlock); }
  int16_t Delete() { return Simple(op::kDelete); }

  // A read by operation (add op::kSingleLock to lock); on success record() and key() hold what
  // came back.
  int16_t Read(int16_t operation, const std::string& key = "") {
    std::string data(1024, ' ');
    uint16_t length = static_cast<uint16_t>(data.size());
    std::string k = key;
    k.resize(key_length_, ' ');
    const int16_t st =
        engine_.Call(operation, position_.data(), data.data(), length, k.data(), key_length_, 0);
    if (st == 0) {
      record_ = data.substr(0, length);
      key_ = k;
    }
    return st;
  }
  int16_t Insert(std::string record) { return Write(op::kInsert, std::move(record)); }
  int16_t Update(std::string record) { return Write(op::kUpdate, std::move(record)); }

  // Call with every argument given, for the buffer checks.
  int16_t Raw(int16_t operation, char* data, uint16_t& length, char* key, uint8_t key_length,
              int16_t key_number = 0) {
    return engine_.Call(operation, position_.data(), data, length, key, key_length, key_number);
  }

  const std::string& record() const { return record_; }
  const std::string& key() const { return key_; }
  char* position_block() { return position_.data(); }

 private:
  int16_t Simple(int16_t operation) {
    uint16_t length = 0;
    std::string key(key_length_, ' ');
    return engine_.Call(operation, position_.data(), nullptr, length, key.data(), key_length_, 0);
  }
  int16_t Write(int16_t operation, std::string record) {
    uint16_t length = static_cast<uint16_t>(record.size());
    std::string key(key_length_, ' ');
    return engine_.Call(operation, position_.data(), record.data(), length, key.data(), key_length_,
                        0);
  }

  Engine& engine_;
  uint8_t key_length_;
  std::array<char, kPositionBlockSize> position_;
  std::string record_, key_;
};

// A second process running body with a pipe each way. Fork it while this process has no register
// file open: an SQLite connection must not cross a fork.
class Child {
 public:
  explicit Child(const std::function<int(Child&)>& body) {
    if (pipe(to_child_) != 0 || pipe(to_parent_) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(to_child_[1]);
      close(to_parent_[0]);
      _exit(body(*this));
    }
    close(to_child_[0]);
    close(to_parent_[1]);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() {
    if (pid_ > 0) Kill(SIGKILL);
    close(to_child_[1]);
    close(to_parent_[0]);
  }

  // One byte to the other side, and the next byte from it ('\0' when it has gone).
  void Send(char c) {
    const int fd = pid_ == 0 ? to_parent_[1] : to_child_[1];
    if (write(fd, &c, 1) != 1) return;
  }
  char Receive() {
    const int fd = pid_ == 0 ? to_child_[0] : to_parent_[0];
    char c = 0;
    return read(fd, &c, 1) == 1 ? c : '\0';
  }
  // The child's exit code, or 128 + the signal that ended it.
  int Wait() {
    int status = 0;
    if (pid_ <= 0 || waitpid(pid_, &status, 0) != pid_) return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  int Kill(int signal) {
    kill(pid_, signal);
    return Wait();
  }

 private:
  pid_t pid_ = -1;
  int to_child_[2] = {-1, -1};
  int to_parent_[2] = {-1, -1};
};

}  // namespace kvor::recman::test
