// One client's descriptor of a register file's lock file ("X.BTR.lck" beside "X.BTR"). The locks
// are open-file-description locks: they belong to this descriptor, so a second descriptor conflicts
// with them even inside the same process, and they vanish when the descriptor is closed or its
// process exits or dies. Nothing is ever written to the file; only its byte ranges are locked.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace kvor::recman {

class LockFile {
 public:
  // Byte 0 marks the file as in use: every open handle holds it shared, Create holds it exclusive.
  // A record's lock is the byte at its id, which is never 0.
  static constexpr int64_t kInUseByte = 0;

  LockFile() = default;
  ~LockFile();
  LockFile(const LockFile&) = delete;
  LockFile& operator=(const LockFile&) = delete;

  // Opens (creating if need be) the lock file of the database at db_path; 0 or the errno.
  int Open(const std::string& db_path);

  // Takes the byte without waiting; false when another descriptor holds it in a conflicting way.
  bool TryLock(int64_t offset, bool exclusive);
  // Tries again every few milliseconds until wait has passed.
  bool LockWithin(int64_t offset, bool exclusive, std::chrono::milliseconds wait);
  void Unlock(int64_t offset);

 private:
  int fd_ = -1;
};

}  // namespace kvor::recman
