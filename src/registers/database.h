// The register database of one run: the channel table with its shared cells (module BTROPASS /
// BTRWRARD), the generic register access (BTRSUBIO: LÄSER, NÄSTA, SKRIVER) and the fields of the
// 28 registers. Every routine reports its own failure in the program's words.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/context.h"
#include "platform/recman/engine.h"
#include "registers/layouts.h"

namespace kvor::registers {

inline constexpr int kChannelCount = 55;
inline constexpr std::size_t kRecordBuffer = 1024;  // DATAPOST

// What BTROPASS does, given in its statuskod.
namespace pass {
inline constexpr int16_t kOpen = 0;     // open the file on the channel
inline constexpr int16_t kTryOpen = 1;  // open and close again, a failure not told
inline constexpr int16_t kClose = 2;    // close the channel's file
inline constexpr int16_t kReset = 3;    // reset the engine: every handle and lock of this program
}  // namespace pass

// The operations of BTRWRARD, given in its statuskod; a read given negated takes a single-record
// lock. Each but the unlock is the engine's operation of the same number.
namespace wrard {
inline constexpr int16_t kUnlock = 0;      // LÅSUPP: the channel's record lock released
inline constexpr int16_t kInsert = 2;      // NYSKRIV
inline constexpr int16_t kUpdate = 3;      // ÅTERSKRIV: the record last read, under its lock
inline constexpr int16_t kDelete = 4;      // ÅTERLÄS with a lock, then TABORT
inline constexpr int16_t kGetEqual = 5;    // LIKA
inline constexpr int16_t kGetGreater = 8;  // STÖRRE
inline constexpr int16_t kGetLess = 10;    // MINDRE
inline constexpr int16_t kStepNext = 24;   // the next record in the file's own order
}  // namespace wrard

// The read types of LÄSER, a Get Equal.
namespace laser {
inline constexpr int16_t kRead = 0;                // without a lock
inline constexpr int16_t kReadLocked = 1;          // with a single-record lock
inline constexpr int16_t kReadLockedOrCancel = 2;  // with a lock; its wait offers [AVBRYT]
}  // namespace laser

// The directions of NÄSTA.
namespace nasta {
inline constexpr int16_t kGreater = 1;  // the next greater key (Get Greater)
inline constexpr int16_t kLess = 2;     // the next smaller key (Get Less)
}  // namespace nasta

// The write types of SKRIVER.
namespace skriver {
inline constexpr int16_t kInsert = 1;  // a new record
inline constexpr int16_t kUpdate = 2;  // the record last read with a lock
}  // namespace skriver

// The message flag (meddela) of LÄSER, SKRIVER and BTRWRARD: whether a key not found, or a key
// already there, is told to the user.
inline constexpr int16_t kSilent = 0;
inline constexpr int16_t kTellMissing = 1;

// One slot of the channel table.
struct Channel {
  std::string regnamn;               // full path of the file open on the channel; empty when closed
  std::array<char, 128> posblock{};  // the engine's position block: its handle of the open file
  std::string senastnyckel;          // key of the last successful keyed operation
  std::string postnyckel;            // key part of the record last transferred into the fields
  int16_t oppen = 0;                 // 1 while open
  int16_t postlangd = 0;             // record length, from the file statistics
  int16_t nyckellangd = 0;           // key 0 length, from the file statistics
  int16_t sidstorlek = 0;            // page size (kept, not used)
  int16_t lasning = 0;               // 1 while this program holds a record lock on the channel
};

// The fields of one register: the record as last transferred, cut by its layout. The fields tile
// the record, so they are kept as one text of record_end characters.
class Record {
 public:
  explicit Record(const Layout& layout) : layout_(&layout), text_(layout.record_end, ' ') {}
  const Layout& GetLayout() const { return *layout_; }
  // A field by name ("FAKTNR") or by 1-based position and width (5, 6).
  std::string Get(std::string_view name) const;
  std::string At(int position, int width) const;
  // Sets a field, cut or padded with blanks to its width.
  void Set(std::string_view name, std::string_view value);
  void SetAt(int position, int width, std::string_view value);
  const std::string& Text() const { return text_; }
  std::string& MutableText() { return text_; }

 private:
  const Field& Require(std::string_view name) const;
  const Layout* layout_;
  std::string text_;
};

struct Database {
  // registers: the register server's URL (recman::Engine); empty for the register files.
  explicit Database(std::function<std::string(const std::string&)> map_path,
                    const std::string& registers = {});

  recman::Engine engine;                            // the record manager under the channels
  std::array<Channel, kChannelCount + 1> channels;  // 1 to 55; slot 0 unused
  // Shared cells.
  int16_t statuskod = 0;  // the operation going in; the engine's status (or -1 to -3) coming out
  int16_t kanal = 0;      // the channel of the last keyed call, which Transfer takes
  std::string datapost = std::string(kRecordBuffer, ' ');  // the record buffer of every call
  std::string nyckel;                  // the key buffer: the key given, the key found
  std::string funktion;                // name of the current keyed operation, for messages
  std::string saknas = "N";            // "J" once a not-found or duplicate notice was raised
  std::string file_name;               // the register file name cell
  std::string subio_name;              // "LÄSER", "NÄSTA" or "SKRIVER"
  std::string subio_key;               // the key last given to BTRSUBIO, for the status message
  bool cancellable_lock_wait = false;  // LÄSER type 2: the lock message offers [AVBRYT]
  bool lock_wait_cancelled = false;    // the user gave up the last lock wait
  int16_t textkanal = 28;
  std::array<Record, kRegisterCount> records;  // by channel - 1
};

// The database of the run.
Database& Db(Context& ctx);
// The fields of a register by its code ("SVF-FTHD").
Record& Fields(Context& ctx, std::string_view code);

// BTROPASS: what to do (pass::) in statuskod, which comes back as the engine's status.
void BTROPASS(Context& ctx, const std::string& file_name, int16_t& statuskod, int16_t channel);
// BTRWRARD: the operation (wrard::; negated, with a record lock) in statuskod, which comes back as
// the status; the key comes back as the engine left it. meddela kTellMissing asks for the
// not-found and duplicate-key notices.
void BTRWRARD(Context& ctx, std::string& key, int16_t& statuskod, int16_t channel, int16_t meddela);
void CloseAllChannels(Context& ctx);
// True when the channel carries the register file; otherwise reports and stops the program.
bool CheckChannel(Context& ctx, int16_t channel, const std::string& register_file);

// BTRSUBIO. type: laser::, nasta:: or skriver::; message_flag: kSilent or kTellMissing.
void Laser(Context& ctx, std::string& key, int16_t channel, int16_t type, int16_t message_flag,
           int16_t& err);
void Nasta(Context& ctx, std::string& key, int16_t channel, int16_t type, int16_t& err);
void Skriver(Context& ctx, std::string& key, int16_t channel, int16_t type, int16_t message_flag,
             int16_t& err);

// The generic register module.
std::string RegisterPath(const Context& ctx,
                         const Layout& layout);  // data folder + "SVF\SVF-FTHD.BTR"
void Open(Context& ctx, const Layout& layout, int16_t& err);
void Transfer(Context& ctx, const Layout& layout);  // DATAPOST into the fields (channel in KANAL)
// LÄSER on the register's own channel; the record into its fields when found.
void ReadRecord(Context& ctx, std::string_view code, std::string key, int16_t type,
                int16_t message_flag, int16_t& err);
void Clear(Context& ctx, const Layout& layout);
void Build(Context& ctx, const Layout& layout);  // the fields into DATAPOST
// Opens the 28 registers in channel order; stops at the first that fails.
void OpenAllRegisters(Context& ctx, int16_t& err);

}  // namespace kvor::registers
