// How the common routines tell the user about a wrong parameter or a wrong entry. The message
// window and the system message box live above this library; they implement this interface, and
// tests put a recording one in their place.
#pragma once

#include <cstdint>
#include <string>

namespace kvor {

// A run-time fault caught inside a routine, as its error trap sees it.
struct TrappedError {
  std::string source;       // project or module in which it happened
  int32_t number = 0;       // the fault's number
  std::string description;  // what went wrong, in words
};

class Messenger {
 public:
  virtual ~Messenger() = default;
  // The message window, kind 1 to 4.
  virtual void ShowMessage(const std::string& text, int16_t kind) = 0;
  // The error report for a fault caught in a routine's error trap.
  virtual void ReportTrappedError(const std::string& text, const TrappedError& error) = 0;
  // The plain system message box titled "Felmeddelande" with the exclamation icon, used for
  // single-field input complaints.
  virtual void ShowInputError(const std::string& text) = 0;
};

}  // namespace kvor
