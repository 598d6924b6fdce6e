// The 28 registers the program opens, described as data: code, channel, record end, key length,
// whether the register has Clear and Build, and its fields in record order.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kvor::registers {

inline constexpr int kRegisterCount = 28;

struct Field {
  const char* name;  // "FAKTNR", "FTSP_P070"
  int16_t position;  // 1-based
  int16_t width;
};

struct Layout {
  const char* code;    // "SVF-FTHD": system code, hyphen, register code
  int16_t channel;     // 1 to 28, fixed
  int16_t record_end;  // the record length the program works with
  int16_t key_length;  // key 0: the first key_length characters of the record
  bool has_clear;
  bool has_build;  // written back by the program
  std::span<const Field> fields;

  std::string FileName() const { return std::string(code) + ".BTR"; }  // "SVF-FTHD.BTR"
  std::string System() const { return std::string(code, 3); }          // "SVF"
  // The field of that name, or nullptr.
  const Field* Find(std::string_view name) const;
};

// Every register, in channel order (index = channel - 1).
const std::array<Layout, kRegisterCount>& AllLayouts();
// The register of that code ("SVF-FTHD"), or nullptr.
const Layout* FindLayout(std::string_view code);
const Layout& LayoutOfChannel(int channel);

}  // namespace kvor::registers
