// A network file system where none can be mounted: with this header in one source file of a test
// binary, statfs answers NFS for every path inside a folder named NETWORK-SHARE, and the kernel's
// answer for all else.
#pragma once

#include <dlfcn.h>
#include <linux/magic.h>
#include <sys/statfs.h>

#include <cstring>

extern "C" int statfs(const char* path, struct statfs* out) noexcept {
  using Real = int (*)(const char*, struct statfs*);
  static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "statfs"));
  const int rc = real(path, out);
  if (rc == 0 && std::strstr(path, "/NETWORK-SHARE/")) out->f_type = NFS_SUPER_MAGIC;
  return rc;
}
