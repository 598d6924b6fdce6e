// Register files on a PostgreSQL server, shared by every workstation of an office: one schema per
// installation (its data folder), one table per register, the layout in a table beside them,
// record locks as session advisory locks. FORMAT.md has the mapping.
#pragma once

#include <memory>
#include <string>

#include "platform/recman/store.h"

namespace kvor::recman {

// How long a connection attempt may take before Open answers kEngineNotRunning.
inline constexpr int kConnectSeconds = 5;

// The registers of one engine on one server, over one connection that its open registers share.
// The connection is made by the first Open or Create, and again by the next one after it was lost;
// registers opened on a lost connection answer kEngineNotRunning until they are closed.
class ServerStores {
 public:
  explicit ServerStores(std::string url);  // a libpq connection URI or string
  ~ServerStores();
  ServerStores(const ServerStores&) = delete;
  ServerStores& operator=(const ServerStores&) = delete;

  // name is the register's Windows path ("C:\KVOR   \SVF\SVF-FTHD.BTR"): the folder after the
  // drive names the installation, the file part without ".BTR" the register. kFileNotFound when
  // the register does not exist (or the name has no such parts), kNotRegisterFile when it has no
  // sound layout, kEngineNotRunning when the server cannot be reached.
  int16_t Open(const std::string& name, std::unique_ptr<Store>& out);
  // Makes the register new and empty with this layout, replacing any register of that name;
  // kFileLocked while any client has it open.
  int16_t Create(const std::string& name, const Layout& layout);

  struct Connection;

 private:
  int16_t Connect();

  std::string url_;
  std::shared_ptr<Connection> connection_;
};

}  // namespace kvor::recman
