#include "platform/recman/lock_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace kvor::recman {
namespace {

bool SetLock(int fd, short type, int64_t offset) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = offset;
  lock.l_len = 1;
  lock.l_pid = 0;  // required for OFD locks
  while (fcntl(fd, F_OFD_SETLK, &lock) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

}  // namespace

LockFile::~LockFile() {
  if (fd_ >= 0) close(fd_);
}

int LockFile::Open(const std::string& db_path) {
  fd_ = open((db_path + ".lck").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  return fd_ < 0 ? errno : 0;
}

bool LockFile::TryLock(int64_t offset, bool exclusive) {
  return SetLock(fd_, exclusive ? F_WRLCK : F_RDLCK, offset);
}

bool LockFile::LockWithin(int64_t offset, bool exclusive, std::chrono::milliseconds wait) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (!TryLock(offset, exclusive)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

void LockFile::Unlock(int64_t offset) {
  SetLock(fd_, F_UNLCK, offset);
}

}  // namespace kvor::recman
