// Keeping register files outside the channel table: creating a file with its layout and storing
// whole records by key, for the kvor tool, the sample installation and tests.
#pragma once

#include <string>
#include <vector>

#include "core/context.h"
#include "platform/recman/engine.h"
#include "registers/layouts.h"

namespace kvor::registers {

// Creates (or replaces) the register's file at the path (a Windows path the engine maps).
bool CreateRegisterFile(recman::Engine& engine, const std::string& path, const Layout& layout,
                        std::string& error);
// Creates (or replaces) the register's file in the data folder of the installation.
bool CreateRegisterFile(Context& ctx, const Layout& layout, std::string& error);
// The engine's status of opening the register (0 when it is there and sound); closed again.
int16_t OpenStatus(Context& ctx, const Layout& layout);
// Inserts the record, or replaces the one with the same key. The record is cut or padded with
// blanks to the record end.
bool PutRecord(Context& ctx, const Layout& layout, const std::string& record, std::string& error);
bool PutRecord(recman::Engine& engine, const std::string& path, const Layout& layout,
               const std::string& record, std::string& error);
// The number of records of the register at path; false with a message when it cannot be opened
// (`status` tells why).
bool CountRecords(recman::Engine& engine, const std::string& path, const Layout& layout,
                  uint32_t& count, int16_t& status, std::string& error);
// Makes the register at path in `to` a copy of the one in `from`, record for record in key
// order, byte for byte; the register in `to` is created (replaced) first.
bool CopyRegister(recman::Engine& from, recman::Engine& to, const std::string& path,
                  const Layout& layout, std::string& error);
// The record of that key (padded to the key length), or false when there is none.
bool GetRecord(Context& ctx, const Layout& layout, const std::string& key, std::string& record,
               std::string& error);
// Every record whose key begins with prefix, in key order.
bool ListRecords(Context& ctx, const Layout& layout, const std::string& prefix,
                 std::vector<std::string>& records, std::string& error);

}  // namespace kvor::registers
