#include "registers/database.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

#include "common/cp1252.h"
#include "common/text.h"
#include "dialogs/messages.h"

namespace kvor::registers {

namespace {

namespace op = recman::op;
namespace st = recman::status;

std::array<Record, kRegisterCount> MakeRecords() {
  const auto& all = AllLayouts();
  return {Record(all[0]),  Record(all[1]),  Record(all[2]),  Record(all[3]),  Record(all[4]),
          Record(all[5]),  Record(all[6]),  Record(all[7]),  Record(all[8]),  Record(all[9]),
          Record(all[10]), Record(all[11]), Record(all[12]), Record(all[13]), Record(all[14]),
          Record(all[15]), Record(all[16]), Record(all[17]), Record(all[18]), Record(all[19]),
          Record(all[20]), Record(all[21]), Record(all[22]), Record(all[23]), Record(all[24]),
          Record(all[25]), Record(all[26]), Record(all[27])};
}

// STATUSKOD of a call that did not reach the engine: refused by the channel layer (and told), a
// fault caught in its error trap, a fault inside the engine call.
constexpr int16_t kRefused = -1;
constexpr int16_t kTrapped = -2;
constexpr int16_t kEngineFault = -3;

bool ValidChannel(int channel) {
  return channel >= 1 && channel <= kChannelCount;
}

std::string Kanal(int channel) {
  return "Kanal:" + WithSignPlace(channel);
}

// Blanks of a key shown as middle dots, so that a reader sees how long it is.
std::string Shown(std::string key) {
  for (char& c : key)
    if (c == ' ') c = kMiddleDot;
  return key;
}

std::string StatusLines(int16_t status) {
  return std::string(kParagraph) + "Se [Status Codes] i PERVASIVE-documentationen!" +
         std::string(kParagraph) + "StatusKod: " + std::to_string(status);
}

// The record length of the channel's file as far as the record buffer holds it: a longer
// record is the engine's to refuse (buffer too short), never an overrun of DATAPOST.
std::size_t RecordLength(const Channel& ch) {
  return std::min<std::size_t>(static_cast<uint16_t>(ch.postlangd), kRecordBuffer);
}

// The open failures, also what the register's own open reports for a file of another layout.
void ReportOpenFailure(Context& ctx, const std::string& file_name, int16_t channel,
                       int16_t status) {
  const std::string head = "Filen '" + file_name + "'";
  if (status == st::kInvalidFileName) {
    dialogs::ReportError(ctx, Paragraphs(head + " saknas!",
                                         "Kontrollera ENHET och KATALOG för ÖPPNA-funktionen!"_w) +
                                  StatusLines(status));
  } else if (status == st::kOnNetworkShare) {
    dialogs::ReportError(ctx,
                         Paragraphs(head + " kan EJ öppnas!"_w,
                                    "Register på en NÄTVERKS-disk delas via en DATABAS-server: "_w +
                                        "ange --registers eller KVOR_REGISTERS!") +
                             StatusLines(status));
  } else if (status == st::kNotRegisterFile) {
    dialogs::ReportError(ctx, Paragraphs(head + " kan EJ öppnas!"_w,
                                         "Kontrollera VERSIONEN eller ÅTERSKAPA registret!"_w) +
                                  StatusLines(status));
  } else {
    dialogs::ReportError(
        ctx, Paragraphs(head + " kan EJ öppnas!"_w, Kanal(channel)) + StatusLines(status));
    if (status == st::kFileNotFound && ctx.run_program) {
      int16_t ignored = 0;
      ctx.run_program(ctx.frame.system_drive + "\\WINKVOR\\STARTAS\\ERROR\\OPENFAIL.EXE", "",
                      ignored);
    }
  }
}

// A fault caught in the channel layer's error trap: out of memory keeps its own number, anything
// else is an internal error.
TrappedError Trapped(const char* module, const std::exception& fault) {
  return {module, dynamic_cast<const std::bad_alloc*>(&fault) ? 7 : 51, fault.what()};
}

// One call of the engine with the shared buffers of the channel layer.
int16_t Call(Database& db, int16_t operation, Channel& ch, int16_t key_number = 0) {
  uint16_t length = static_cast<uint16_t>(RecordLength(ch));
  std::string key = db.nyckel;
  key.resize(std::max<std::size_t>(key.size(), 255), ' ');
  const int16_t status =
      db.engine.Call(operation, ch.posblock.data(), db.datapost.data(), length, key.data(),
                     static_cast<uint8_t>(ch.nyckellangd), key_number);
  if (status == st::kOk) db.nyckel = key.substr(0, ch.nyckellangd);
  return status;
}

}  // namespace

std::string Record::At(int position, int width) const {
  if (position < 1 || width < 0 || position - 1 + width > static_cast<int>(text_.size()))
    throw std::out_of_range("field outside the record");
  return text_.substr(position - 1, width);
}

const Field& Record::Require(std::string_view name) const {
  const Field* f = layout_->Find(name);
  if (!f)
    throw std::out_of_range(std::string(layout_->code) + " has no field " + std::string(name));
  return *f;
}

std::string Record::Get(std::string_view name) const {
  const Field& f = Require(name);
  return At(f.position, f.width);
}

void Record::SetAt(int position, int width, std::string_view value) {
  At(position, width);  // range check
  text_.replace(position - 1, width, Fixed(value, width));
}

void Record::Set(std::string_view name, std::string_view value) {
  const Field& f = Require(name);
  SetAt(f.position, f.width, value);
}

Database::Database(std::function<std::string(const std::string&)> map_path,
                   const std::string& registers)
    : engine(std::move(map_path), registers), records(MakeRecords()) {}

Database& Db(Context& ctx) {
  return *ctx.database;
}

Record& Fields(Context& ctx, std::string_view code) {
  const Layout* layout = FindLayout(code);
  if (!layout) throw std::out_of_range("no register " + std::string(code));
  return Db(ctx).records[layout->channel - 1];
}

namespace {

// BTROPASS without its error trap.
void OpenOrClose(Context& ctx, const std::string& file_name, int16_t& statuskod, int16_t channel) {
  Database& db = Db(ctx);
  const int16_t code = statuskod;
  if (code == pass::kReset) {
    uint16_t length = 0;
    char empty[256] = {};
    char block[128] = {};
    const int16_t status = db.engine.Call(op::kReset, block, empty, length, empty, 0, 0);
    statuskod = status;
    if (status == st::kEngineNotRunning) {
      dialogs::ReportError(ctx, "För PEVASIVE är DATABAS-motorn EJ startad!"_w);
    } else if (status != st::kOk) {
      dialogs::ReportError(ctx, "Funktionen RESET av MICRO-kernel KLIENT/SERVER kan EJ utföras!"_w +
                                    StatusLines(status));
    }
    return;
  }
  if (IsBlank(file_name) || !ValidChannel(channel)) {
    dialogs::ReportError(
        ctx,
        Paragraphs(IsBlank(file_name) ? "För ÖPPNING av DATABASEN finns EJ något REGISTER-namn!"_w
                                      : "För ÖPPNING av DATABASEN är KANAL-numret EJ tillåtet!"_w,
                   Kanal(channel)));
    statuskod = kRefused;
    return;
  }
  Channel& ch = db.channels[channel];
  if (code != pass::kClose) {
    bool already = ch.oppen == 1;
    for (int i = 1; i <= kChannelCount && !already; ++i)
      already = db.channels[i].oppen == 1 && db.channels[i].regnamn == file_name;
    if (already) {
      dialogs::ReportError(
          ctx, Paragraphs("Databas " + file_name + " är ÖPPNEN redan!"_w, Kanal(channel)));
      statuskod = kRefused;
      return;
    }
    ch.lasning = 0;
    std::array<char, 128> block;
    block.fill(' ');
    std::string name = file_name;
    name.resize(255, ' ');
    char stat[recman::kStatSize] = {};
    uint16_t length = sizeof stat;
    int16_t status = db.engine.Call(op::kOpen, block.data(), stat, length, name.data(), 255, -32);
    statuskod = status;
    if (status == st::kEngineNotRunning) {
      dialogs::ReportError(ctx, "För PEVASIVE är DATABAS-motorn EJ startad!"_w);
      return;
    }
    if (status != st::kOk) {
      if (code != pass::kTryOpen) ReportOpenFailure(ctx, file_name, channel, status);
      return;
    }
    ch.posblock = block;
    ch.regnamn = file_name;
    ch.oppen = 1;

    char blanks[255];
    std::memset(blanks, ' ', sizeof blanks);
    length = sizeof stat;
    status = db.engine.Call(op::kStat, ch.posblock.data(), stat, length, blanks, 255, 0);
    statuskod = status;
    if (status == st::kEngineNotRunning) {
      dialogs::ReportError(ctx, "För PEVASIVE är DATABAS-motorn EJ startad!"_w);
      return;
    }
    if (status == st::kOk) {
      auto word = [&](std::size_t at) {
        return static_cast<int16_t>(static_cast<unsigned char>(stat[at]) |
                                    (static_cast<unsigned char>(stat[at + 1]) << 8));
      };
      ch.postlangd = word(recman::kStatRecordLength);
      ch.sidstorlek = word(recman::kStatPageSize);
      ch.nyckellangd = word(recman::kStatKeyLength);
    } else {
      dialogs::ReportError(ctx,
                           Paragraphs("Filen '" + file_name + "' ger EJ status!", Kanal(channel)) +
                               StatusLines(status));
    }
    if (code == pass::kOpen) return;
  }
  // Close.
  if (ch.oppen != 1) {
    statuskod = 0;
    return;
  }
  uint16_t length = 0;
  char empty[1] = {};
  const int16_t status = db.engine.Call(op::kClose, ch.posblock.data(), empty, length, empty, 0, 0);
  statuskod = status;
  if (status == st::kEngineNotRunning) {
    dialogs::ReportError(ctx, "För PEVASIVE är DATABAS-motorn EJ startad!"_w);
  } else if (status == st::kOk) {
    ch.regnamn.clear();
    ch.oppen = 0;
    ch.lasning = 0;
  } else {
    dialogs::ReportError(
        ctx, Paragraphs("Filen '" + ch.regnamn + "' kan EJ stängas!"_w, Kanal(channel)) +
                 StatusLines(status));
  }
}

}  // namespace

void BTROPASS(Context& ctx, const std::string& file_name, int16_t& statuskod, int16_t channel) {
  try {
    OpenOrClose(ctx, file_name, statuskod, channel);
  } catch (const std::exception& fault) {
    dialogs::ReportTrappedError(ctx, "Modulen BTROPASS kan EJ utföra PROGRAM-koden!"_w,
                                Trapped("BTROPASS", fault));
    statuskod = kTrapped;
  }
}

bool CheckChannel(Context& ctx, int16_t channel, const std::string& register_file) {
  Database& db = Db(ctx);
  if (ValidChannel(channel) &&
      Upper(db.channels[channel].regnamn).find(Upper(register_file)) != std::string::npos)
    return true;
  dialogs::ReportError(ctx, Kanal(channel) + " är FEL för "_w + register_file + "-registret!");
  if (ctx.stop_procedure) ctx.stop_procedure();
  return false;
}

void CloseAllChannels(Context& ctx) {
  Database& db = Db(ctx);
  for (int16_t i = 1; i <= kChannelCount; ++i) {
    if (db.channels[i].oppen != 1) continue;
    int16_t code = pass::kClose;
    BTROPASS(ctx, db.channels[i].regnamn, code, i);
  }
  int16_t reset = pass::kReset;
  BTROPASS(ctx, "", reset, 0);
}

void BTRWRARD(Context& ctx, std::string& key, int16_t& statuskod, int16_t channel,
              int16_t meddela) {
  Database& db = Db(ctx);
  db.funktion = "INITIERA";
  const bool lock = statuskod < 0;
  const int16_t operation = static_cast<int16_t>(std::abs(statuskod));
  if (!ValidChannel(channel)) {
    dialogs::ReportError(ctx, Kanal(channel) + " är FEL för "_w + "DATABAS-registret!");
    statuskod = kRefused;
    return;
  }
  Channel& ch = db.channels[channel];
  if (ch.oppen != 1) {
    dialogs::ReportError(ctx,
                         Paragraphs("För KANALEN har EJ någon ÖPPNING utförts!"_w, Kanal(channel)));
    statuskod = kRefused;
    return;
  }
  if (key.size() > static_cast<std::size_t>(ch.nyckellangd)) {
    dialogs::ReportError(
        ctx, Paragraphs("Nyckel '" + Shown(key) + "' har FEL längd!"_w, "Databas " + ch.regnamn,
                        "Längd:"_w + WithSignPlace(ch.nyckellangd) + std::string(kDotSeparator) +
                            "Läser:"_w + WithSignPlace(static_cast<long long>(key.size())) +
                            std::string(kDotSeparator) + Kanal(channel)));
    statuskod = kRefused;
    return;
  }
  const std::size_t length = RecordLength(ch);
  int16_t sent = 0;  // the operation code as sent to the engine, for messages

  for (;;) {
    // Every attempt starts from the given key: an insert blanks NYCKEL for its call.
    db.nyckel = Fixed(key, ch.nyckellangd);
    db.funktion = "KONTROLL";
    db.saknas = "N";
    // The engine call; a fault inside it is reported here and answers -3.
    auto call = [&](int16_t engine_op, bool with_lock) -> int16_t {
      sent = static_cast<int16_t>(engine_op + (with_lock ? op::kSingleLock : 0));
      int16_t status = 0;
      try {
        status = Call(db, sent, ch);
      } catch (const std::exception& fault) {
        dialogs::ReportTrappedError(
            ctx,
            Paragraphs("Funktionen BTRCALL kan EJ utföras!"_w,
                       "Databas " + ch.regnamn + std::string(kDotSeparator) + Kanal(channel),
                       "Funktion: " + db.funktion + std::string(kDotSeparator) +
                           "Kod:" + WithSignPlace(sent)),
            Trapped("BTRWRARD", fault));
        return kEngineFault;
      }
      if (status == st::kOk) ch.lasning = with_lock ? 1 : 0;
      return status;
    };
    // The record buffer as each operation wants it.
    if (operation == wrard::kGetEqual || operation == wrard::kGetGreater ||
        operation == wrard::kGetLess || operation == wrard::kStepNext) {
      db.datapost.assign(kRecordBuffer, ' ');
    } else {
      db.datapost.replace(length, kRecordBuffer - length, kRecordBuffer - length, ' ');
    }
    int16_t status = 0;
    switch (operation) {
      case wrard::kGetEqual:
        db.funktion = "LIKA";
        status = call(op::kGetEqual, lock);
        break;
      case wrard::kGetGreater:
        db.funktion = "STÖRRE"_w;
        status = call(op::kGetGreater, lock);
        break;
      case wrard::kGetLess:
        db.funktion = "MINDRE";
        status = call(op::kGetLess, lock);
        break;
      case wrard::kStepNext:
        status = call(op::kStepNext, lock);
        break;
      case wrard::kInsert:
        db.funktion = "NYSKRIV";
        db.datapost =
            Fixed(db.nyckel + db.datapost.substr(db.nyckel.size(), length - db.nyckel.size()),
                  kRecordBuffer);
        db.nyckel = std::string(ch.nyckellangd, ' ');
        status = call(op::kInsert, false);
        break;
      case wrard::kUpdate: {
        db.funktion = "ÅTERSKRIV"_w;
        if (IsBlank(ch.postnyckel)) {
          dialogs::ReportError(
              ctx, Paragraphs("För "_w + db.funktion + " är LÄSNING av DATABAS-posten EJ utförd!"_w,
                              "Databas " + ch.regnamn));
          statuskod = kRefused;
          return;
        }
        const std::string in_record = db.datapost.substr(0, db.nyckel.size());
        if (ch.postnyckel != db.nyckel || in_record != db.nyckel || ch.senastnyckel != db.nyckel) {
          dialogs::ReportError(
              ctx,
              Paragraphs("Nyckel '" + Shown(db.nyckel) + "' ger BUFFERT-fel!",
                         "Buffert: " + Shown(ch.postnyckel), "Record: " + Shown(ch.senastnyckel),
                         "Nyckel: " + Shown(in_record), "Databas " + ch.regnamn));
          statuskod = kRefused;
          return;
        }
        if (ch.lasning != 1)
          dialogs::ShowMessage(
              ctx,
              Paragraphs("Nyckel '" + Shown(db.nyckel) + "' har EJ en LÅSNING utförts!"_w,
                         "Databas " + ch.regnamn),
              dialogs::kNotice);
        status = call(op::kUpdate, false);
        break;
      }
      case wrard::kDelete:
        db.funktion = "ÅTERLÄS"_w;
        status = call(op::kGetEqual, true);
        if (status == st::kOk) {
          db.funktion = "TABORT";
          status = call(op::kDelete, false);
        }
        break;
      case wrard::kUnlock:
        db.funktion = "LÅSUPP"_w;
        if (ch.lasning != 1) {
          statuskod = 0;
          return;
        }
        statuskod = call(op::kUnlock, false);
        return;
      default:
        dialogs::ReportError(
            ctx, "Koden" + WithSignPlace(operation) + " är EJ tillåtet BTRWRARD-anrop!"_w);
        statuskod = kRefused;
        return;
    }

    if (status == kEngineFault) {
      statuskod = kEngineFault;
      return;
    }
    const bool plain_read = operation == wrard::kGetEqual ||
                            (operation == wrard::kDelete && db.funktion == "ÅTERLÄS"_w);
    const bool other_read = operation == wrard::kGetGreater || operation == wrard::kGetLess ||
                            operation == wrard::kStepNext;
    const bool write = operation == wrard::kInsert || operation == wrard::kUpdate;
    const std::string name = "Databas " + ch.regnamn;
    auto status_error = [&] {
      if (status == st::kEndOfFile) return;
      dialogs::ReportError(ctx, Paragraphs("Nyckel '" + Shown(db.subio_key) +
                                               "' gav STATUS-fel:" + WithSignPlace(status),
                                           name + std::string(kDotSeparator) + Kanal(channel),
                                           "Funktion: " + db.funktion + std::string(kDotSeparator) +
                                               "Kod:" + WithSignPlace(sent)));
    };
    // The given key: an insert has blanked NYCKEL for its call.
    auto cannot = [&](std::string_view why) {
      dialogs::ReportError(
          ctx, Paragraphs("Nyckel '" + Shown(Fixed(key, ch.nyckellangd)) + "' kan EJ utföra "_w +
                              db.funktion + " p.g.a " + std::string(why),
                          name));
    };
    if (status == st::kOk) {
      ch.senastnyckel = db.nyckel;
      key = db.nyckel;
      statuskod = 0;
      return;
    }
    statuskod = status;
    if (status == st::kRecordLocked || status == st::kFileLocked) {
      // Another program holds the record: the user paces the retries with [STÄNG]. The given key
      // is shown: an insert has blanked NYCKEL for its call.
      std::string bare;
      for (char c : key)
        if (c != ' ') bare += c;
      dialogs::ShowMessage(ctx,
                           Paragraphs("Nyckel '" + bare + "' är LÅST av ANNAT program!"_w, name),
                           db.cancellable_lock_wait ? dialogs::kCancellable : dialogs::kError);
      if (db.cancellable_lock_wait && ctx.msg.answer == dialogs::kAnswerCancel) {
        db.lock_wait_cancelled = true;
        ch.senastnyckel = db.nyckel;
        key = db.nyckel;
        return;
      }
      continue;
    }
    if (status == st::kKeyNotFound && plain_read) {
      if (meddela == kTellMissing) {
        db.saknas = "J";
        dialogs::ShowMessage(ctx,
                             Paragraphs("Angiven DATA-nyckel SAKNAS som DATABAS-nyckel!",
                                        "Nyckel: " + Shown(db.nyckel), name),
                             dialogs::kNotice);
      }
      return;
    }
    if (status == st::kDuplicateKey && operation == wrard::kInsert) {
      if (meddela == kTellMissing) {
        db.saknas = "J";
        dialogs::ShowMessage(
            ctx,
            Paragraphs("Angiven DATA-nyckel FINNS redan SKAPAD som DATABAS-nyckel!",
                       "Nyckel: " + Shown(key), name),
            dialogs::kNotice);
      }
      return;
    }
    if (status == st::kDiskFull && write) {
      cannot("UTRYMME saknas!");
    } else if (status == 78 && (plain_read || other_read)) {
      cannot("TOTAL låsning!"_w);
    } else if (status == st::kConflict && (write || operation == wrard::kDelete)) {
      cannot("RECORD-konflikt!");
    } else {
      status_error();
    }
    return;
  }
}

namespace {

bool BadSubioParameters(Context& ctx, const std::string& name, int16_t channel, int16_t type,
                        int16_t code, bool type_ok, bool flag_ok) {
  if (type_ok && flag_ok) return false;
  dialogs::ReportError(
      ctx, Paragraphs("Modulen BTRSUBIO för DATABASANROP får FELAKTIG parameter!"_w,
                      "Funktion: " + name + std::string(kDotSeparator) + Kanal(channel) +
                          std::string(kDotSeparator) + "Typen:" + WithSignPlace(type) +
                          std::string(kDotSeparator) + "Koden:" + WithSignPlace(code)));
  return true;
}

void Subio(Context& ctx, const std::string& name, std::string& key, int16_t channel,
           int16_t operation, int16_t message_flag, bool cancellable, int16_t& err) {
  Database& db = Db(ctx);
  db.subio_name = name;
  db.subio_key = key;
  db.kanal = channel;
  db.cancellable_lock_wait = cancellable;
  db.lock_wait_cancelled = false;
  db.statuskod = operation;
  BTRWRARD(ctx, key, db.statuskod, channel, message_flag);
  db.cancellable_lock_wait = false;
  err = db.statuskod == 0 ? 0 : 1;
}

}  // namespace

void Laser(Context& ctx, std::string& key, int16_t channel, int16_t type, int16_t message_flag,
           int16_t& err) {
  if (ctx.frame.stop == 1) return;
  if (BadSubioParameters(
          ctx, "LÄSER"_w, channel, type, message_flag,
          type == laser::kRead || type == laser::kReadLocked || type == laser::kReadLockedOrCancel,
          message_flag == kSilent || message_flag == kTellMissing)) {
    err = 1;
    return;
  }
  const int16_t operation = type == laser::kRead ? wrard::kGetEqual : -wrard::kGetEqual;
  Subio(ctx, "LÄSER"_w, key, channel, operation, message_flag, type == laser::kReadLockedOrCancel,
        err);
  if (err == 1 && Db(ctx).lock_wait_cancelled) err = 2;
}

void Nasta(Context& ctx, std::string& key, int16_t channel, int16_t type, int16_t& err) {
  if (ctx.frame.stop == 1) {
    err = 1;
    return;
  }
  const int16_t operation = type == nasta::kGreater ? wrard::kGetGreater : wrard::kGetLess;
  if (BadSubioParameters(ctx, "NÄSTA"_w, channel, type, operation,
                         type == nasta::kGreater || type == nasta::kLess, true)) {
    err = 1;
    return;
  }
  Subio(ctx, "NÄSTA"_w, key, channel, operation, kSilent, false, err);
}

void Skriver(Context& ctx, std::string& key, int16_t channel, int16_t type, int16_t message_flag,
             int16_t& err) {
  if (ctx.frame.stop == 1) return;
  if (BadSubioParameters(ctx, "SKRIVER", channel, type, message_flag,
                         type == skriver::kInsert || type == skriver::kUpdate,
                         message_flag == kSilent || message_flag == kTellMissing)) {
    err = 1;
    return;
  }
  Subio(ctx, "SKRIVER", key, channel, type == skriver::kInsert ? wrard::kInsert : wrard::kUpdate,
        message_flag, false, err);
}

std::string RegisterPath(const Context& ctx, const Layout& layout) {
  return DataFolder(ctx) + layout.System() + "\\" + layout.FileName();
}

void Open(Context& ctx, const Layout& layout, int16_t& err) {
  Database& db = Db(ctx);
  db.file_name = RegisterPath(ctx, layout);
  db.statuskod = pass::kOpen;
  BTROPASS(ctx, db.file_name, db.statuskod, layout.channel);
  // A file of another record or key length is of another version of the register: its records
  // would be cut at the wrong places, or not fit the record buffer.
  const Channel& ch = db.channels[layout.channel];
  if (db.statuskod == 0 &&
      (ch.postlangd != layout.record_end || ch.nyckellangd != layout.key_length)) {
    int16_t close = pass::kClose;
    BTROPASS(ctx, db.file_name, close, layout.channel);
    ReportOpenFailure(ctx, db.file_name, layout.channel, st::kNotRegisterFile);
    db.statuskod = st::kNotRegisterFile;
  }
  err = db.statuskod == 0 ? 0 : 1;
  db.channels[layout.channel].postnyckel.clear();
}

void Transfer(Context& ctx, const Layout& layout) {
  Database& db = Db(ctx);
  if (ValidChannel(db.kanal)) {
    Channel& ch = db.channels[db.kanal];
    ch.postnyckel = db.datapost.substr(0, ch.nyckellangd);
  }
  db.records[layout.channel - 1].MutableText() = db.datapost.substr(0, layout.record_end);
}

void ReadRecord(Context& ctx, std::string_view code, std::string key, int16_t type,
                int16_t message_flag, int16_t& err) {
  const Layout& layout = *FindLayout(code);
  Laser(ctx, key, layout.channel, type, message_flag, err);
  if (err == 0) Transfer(ctx, layout);
}

void Clear(Context& ctx, const Layout& layout) {
  Db(ctx).records[layout.channel - 1].MutableText().assign(layout.record_end, ' ');
}

void Build(Context& ctx, const Layout& layout) {
  Database& db = Db(ctx);
  db.datapost.replace(0, layout.record_end, db.records[layout.channel - 1].Text());
}

void OpenAllRegisters(Context& ctx, int16_t& err) {
  Db(ctx).textkanal = 28;
  for (const Layout& layout : AllLayouts()) {
    Open(ctx, layout, err);
    if (err > 0) return;
  }
}

}  // namespace kvor::registers
