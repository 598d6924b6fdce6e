// Records of the registers: the JSON Lines of "kvor reg import", and the Transfer of whatever
// bytes a record holds into the fields of its register.
#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/harness.h"
#include "fuzz/targets.h"
#include "reg.h"
#include "registers/admin.h"
#include "registers/database.h"

namespace kvor::fuzz {

namespace {

using registers::Layout;

// The register import writes to: small, written back by the program, a 16-character key.
const Layout& ImportRegister() {
  return *registers::FindLayout("SVF-LSKA");
}

std::vector<std::string> AllRecords(reg::Keeper& keeper, const Layout& layout) {
  std::vector<std::string> records;
  std::string error;
  Require(keeper.List(layout, "", records, error), "the register lists");
  return records;
}

}  // namespace

int RegisterImport(const uint8_t* data, std::size_t size) {
  static Harness h;
  const Layout& layout = ImportRegister();
  files::DriveMap drives;
  drives.SetRoot(h.Dir());
  reg::Keeper keeper(drives, "C:");
  std::string error;
  Require(keeper.ReadSettings(error), "the installation's settings read");
  // Every input meets the same register: emptied, then one record.
  Require(keeper.Create(layout, error), "the register is made");
  std::string first(layout.record_end, ' ');
  Require(reg::SetFields(layout, {{"LSKA_P001", "001"}, {"LSKA_P005", "241001"}}, first, error),
          "the first record is made");
  bool inserted = false;
  Require(keeper.Put(layout, first, true, inserted, error), "the first record is written");
  const std::vector<std::string> before = AllRecords(keeper, layout);

  std::istringstream in{std::string(Bytes(data, size))};
  std::ostringstream out, err;
  const int code = reg::Run({"--root", h.Dir(), "import", layout.code, "--replace"}, in, out, err);
  const std::vector<std::string> after = AllRecords(keeper, layout);
  if (code != 0) {
    Require(code == 1, "a refused import is a failure, not a wrong command line");
    Require(!err.str().empty(), "a refused import says why");
    Require(after == before, "a refused import writes nothing");
    return 0;
  }
  // "SVF-LSKA: I inserted, R replaced"
  int new_records = -1, replaced = -1;
  const std::string said = out.str();
  const std::size_t colon = said.find(": ");
  Require(colon != std::string::npos &&
              std::sscanf(said.c_str() + colon + 2, "%d inserted, %d replaced", &new_records,
                          &replaced) == 2,
          "an import tells what it wrote");
  Require(after.size() == before.size() + static_cast<std::size_t>(new_records),
          "the register grows by the records inserted");
  Require(replaced <= 1, "only the one record there can be replaced");
  for (const std::string& r : after)
    Require(r.size() == static_cast<std::size_t>(layout.record_end), "records have their length");
  return 0;
}

int RecordTransfer(const uint8_t* data, std::size_t size) {
  static Harness h;
  Context& ctx = h.ctx();
  registers::Database& db = registers::Db(ctx);
  static const bool opened = [&] {
    h.MakeRegisters();
    int16_t err = 0;
    registers::OpenAllRegisters(ctx, err);
    return err == 0;
  }();
  Require(opened, "the 28 registers open");
  if (size == 0) return 0;
  const Layout& layout = registers::AllLayouts()[data[0] % registers::kRegisterCount];
  std::string bytes(Bytes(data + 1, size - 1));
  bytes.resize(std::min<std::size_t>(bytes.size(), registers::kRecordBuffer));

  // The record as the engine leaves it in the record buffer: its bytes, then what was there.
  db.datapost.assign(registers::kRecordBuffer, ' ');
  db.datapost.replace(0, bytes.size(), bytes);
  db.kanal = layout.channel;
  registers::Transfer(ctx, layout);
  const registers::Record& fields = db.records[layout.channel - 1];
  const registers::Channel& ch = db.channels[layout.channel];
  Require(fields.Text().size() == static_cast<std::size_t>(layout.record_end),
          "the fields hold the record end");
  Require(ch.postnyckel == db.datapost.substr(0, ch.nyckellangd), "the key part is kept");
  for (const registers::Field& f : layout.fields)
    Require(fields.Get(f.name) == db.datapost.substr(f.position - 1, f.width),
            "every field holds the characters at its place");
  if (layout.has_build) {
    const std::string sent = db.datapost;
    registers::Build(ctx, layout);
    Require(db.datapost == sent, "the record built from the fields is the one transferred");
  }

  // The same bytes through the register file: written, read back by key and transferred.
  std::string record = db.datapost.substr(0, layout.record_end);
  std::string error;
  Require(registers::PutRecord(ctx, layout, record, error), "any record bytes can be stored");
  std::string key = record.substr(0, layout.key_length);
  db.datapost.assign(registers::kRecordBuffer, ' ');
  int16_t err = 9;
  registers::Laser(ctx, key, layout.channel, 0, 0, err);
  Require(err == 0, "a stored record reads back by its key");
  registers::Transfer(ctx, layout);
  Require(fields.Text() == record, "the record read back is the record stored");
  return 0;
}

}  // namespace kvor::fuzz
