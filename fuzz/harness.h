// What every fuzz target stands on: a small installation in a temporary folder and one run of
// the program on it (the scripted front end, no actions: a message closes by its own button).
// A target writes its input where the reader looks for it, calls the reader and checks what must
// hold afterwards; a broken rule aborts with the rule's text, which libFuzzer reports as a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/context.h"

namespace kvor::fuzz {

class Harness {
 public:
  Harness();
  ~Harness();
  Harness(const Harness&) = delete;
  Harness& operator=(const Harness&) = delete;

  Context& ctx();
  // The 28 registers of the data folder, empty.
  void MakeRegisters();
  const std::string& Dir() const { return dir_; }
  // Host path of a file of the installation, given its Windows path.
  std::string Host(const std::string& windows_path) const;
  void Write(const std::string& windows_path, std::string_view bytes) const;
  bool Exists(const std::string& windows_path) const;

 private:
  struct Parts;
  std::string dir_;
  std::unique_ptr<Parts> parts_;
};

// Aborts with `what` when `ok` is false.
void Require(bool ok, const char* what);

inline std::string_view Bytes(const uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace kvor::fuzz
