// The error every printer operation raises when its backend fails: the print queue refuses the
// job, the disk is full, the output folder cannot be written. The page engine catches it per step
// and reports its number and description.
#pragma once

#include <stdexcept>
#include <string>

namespace kvor::printer {

// Numbers as the program's fault reports show them.
enum FaultNumber {
  kDiskFull = 61,
  kFileAccess = 75,
  kPathNotFound = 76,
  kInvalidValue = 380,
  kSetWithinPage = 396,
  kPrinterError = 482,
};

class Fault : public std::runtime_error {
 public:
  Fault(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  int Number() const { return number_; }
  std::string Description() const { return what(); }

 private:
  int number_;
};

}  // namespace kvor::printer
