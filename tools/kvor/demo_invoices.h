// The sample company's invoices as a clerk meets them: headers, their rows, customers, load
// specifications, texts and the code registers the rows refer to, for the sample installation.
#pragma once

#include <vector>

#include "reg.h"

namespace kvor::demo {

// One record of the sample, by field name; fields not named are blank.
struct SampleRecord {
  const char* code;  // the register, "SVF-FTHD"
  std::vector<reg::Assignment> fields;
};

// Every record of the sample invoices of company "001", at most one per register and key.
// Invoice numbers 241001 to 241014, each showing one case (see the README).
std::vector<SampleRecord> InvoiceRecords();

}  // namespace kvor::demo
