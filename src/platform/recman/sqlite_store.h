// Register files as SQLite databases: a meta row with the layout, the records in a table under a
// unique BLOB key, a lock file beside the database for the record locks. FORMAT.md has the schema.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/recman/store.h"

namespace kvor::recman {

// How long a client waits for a busy database, or for a file that is being created, before it
// answers kFileLocked. Long enough to ride out another client's write, short enough that the
// user sees the lock message rather than a frozen window.
inline constexpr std::chrono::milliseconds kBusyWait{2000};

// Opens the register file at path for one client; kFileNotFound when it does not exist,
// kNotRegisterFile when it is not a database of ours.
int16_t OpenSqliteStore(const std::string& path, std::unique_ptr<Store>& out);

// Makes path a new, empty register file with this layout, replacing any file of that name;
// kFileLocked while any client has it open.
int16_t CreateSqliteStore(const std::string& path, const Layout& layout);

}  // namespace kvor::recman
