// kvor reg: keeping the register files of an installation by field name. Where the files lie
// comes from the drive map and the installation's DISKUNIT.DAT, exactly as trv00381 finds them.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "command_line.h"
#include "core/context.h"
#include "platform/files/drive_map.h"
#include "registers/layouts.h"

namespace kvor::reg {

// A field name and its value.
using Assignment = std::pair<std::string, std::string>;

// Sets the named fields (Windows-1252 values) in record, which becomes the register's record_end
// characters; every value is padded with blanks to its field. False with a message, and record
// unchanged, on an unknown field, a field named twice or a value wider than its field.
bool SetFields(const registers::Layout& layout, const std::vector<Assignment>& values,
               std::string& record, std::string& error);

// One line of JSON holding the members (UTF-8) in their order: {"A": "x", "B": "y"}.
std::string WriteJsonObject(const std::vector<Assignment>& members);
// Reads one flat JSON object whose every value is a string. False with a message on anything
// else: malformed text, a value that is not a string, a member named twice, text after the
// object, text that is not UTF-8.
bool ReadJsonObject(std::string_view line, std::vector<Assignment>& members, std::string& error);

// The register files of one installation, outside any run of the program.
class Keeper {
 public:
  // registers: the register server's URL; empty for the register files of the data folder.
  explicit Keeper(const files::DriveMap& drives,
                  const std::string& system_drive = "C:", const std::string& registers = "");
  ~Keeper();
  Keeper(const Keeper&) = delete;
  Keeper& operator=(const Keeper&) = delete;

  // Reads DISKUNIT.DAT for the data drive and folder; false with a message.
  bool ReadSettings(std::string& error);

  // The register's file as the program names it ("C:\KVOR   \SVF\SVF-FTHD.BTR"), and on this host.
  std::string WindowsPath(const registers::Layout& layout);
  std::string HostPath(const registers::Layout& layout);
  bool Exists(const registers::Layout& layout);

  // Creates the file, and its folder when missing; an existing file is replaced by an empty one.
  bool Create(const registers::Layout& layout, std::string& error);
  // Writes the record. With insert_only a record of the same key is refused; otherwise it is
  // replaced. `inserted` tells which happened.
  bool Put(const registers::Layout& layout, const std::string& record, bool insert_only,
           bool& inserted, std::string& error);
  // The record of the key (padded to the key length); false with an empty error when none.
  bool Get(const registers::Layout& layout, const std::string& key, std::string& record,
           std::string& error);
  // Every record whose key begins with prefix, in key order.
  bool List(const registers::Layout& layout, const std::string& prefix,
            std::vector<std::string>& records, std::string& error);

  // True when the register's file exists; else false with a message that tells how to make it.
  bool NeedFile(const registers::Layout& layout, std::string& error);

  Context& ctx();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
  bool on_server_ = false;
};

// The command "kvor reg": records come in from `in` and go out to `out` as UTF-8; messages go to
// `err`.
const cli::Command& Command();
// Runs "kvor reg ARGS": the exit code (0 done, 1 failed with a message, 2 a wrong command line).
int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err);

extern const char* const kUsage;

}  // namespace kvor::reg
