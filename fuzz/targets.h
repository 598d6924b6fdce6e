// The fuzz targets: one entry function a reader, each taking one input of arbitrary bytes. The
// libFuzzer executables (fuzz/main.cpp) call one each; the corpus replay test calls them all with
// the inputs kept in fuzz/corpus/<name>/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvor::fuzz {

using Entry = int (*)(const uint8_t* data, std::size_t size);

struct Target {
  const char* name;  // the folder of its corpus and the suffix of its executable
  Entry entry;
};

// DISKUNIT.DAT, read by the drive-settings reader.
int DriveSettings(const uint8_t* data, std::size_t size);
// LINKAREA.DAT, read by the link-area reader (line 4 with its numbers included).
int LinkArea(const uint8_t* data, std::size_t size);
// The settings file that holds the per-user settings value.
int SettingsValue(const uint8_t* data, std::size_t size);
// LANGUAGE.DAT.
int LanguageTable(const uint8_t* data, std::size_t size);
// SKRIVARE.DAT, the printer table.
int PrinterTable(const uint8_t* data, std::size_t size);
// An ACTIONS file of a headless run.
int Actions(const uint8_t* data, std::size_t size);
// The JSON Lines of "kvor reg import".
int RegisterImport(const uint8_t* data, std::size_t size);
// A record of any register: first byte the register, the rest the record's bytes.
int RecordTransfer(const uint8_t* data, std::size_t size);
// A register file damaged in its meta row or its records, opened and read by the channel layer.
int DamagedRegisterFile(const uint8_t* data, std::size_t size);

inline const std::vector<Target>& Targets() {
  static const std::vector<Target> all = {{"diskunit", DriveSettings},
                                          {"linkarea", LinkArea},
                                          {"settings_value", SettingsValue},
                                          {"language", LanguageTable},
                                          {"skrivare", PrinterTable},
                                          {"actions", Actions},
                                          {"reg_import", RegisterImport},
                                          {"record_transfer", RecordTransfer},
                                          {"register_file", DamagedRegisterFile}};
  return all;
}

}  // namespace kvor::fuzz
