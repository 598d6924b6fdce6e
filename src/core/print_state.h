// What the program knows about printers: the installation's printer table, the installed
// printers and the current choice. Owned by the printer choice and page engine (PRINTSET).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kvor {

struct PrintState {
  std::array<std::string, 16> table;   // device names by printer code 1 to 15; [0] unused
  std::vector<std::string> installed;  // device names in the system's order
  int16_t current_code = 0;            // the code last chosen by code
  std::string chosen_name;             // upper case, without blanks
  int16_t job_begun = 0;
};

}  // namespace kvor
