// The libFuzzer entry of one target; KVOR_FUZZ_ENTRY names its entry function (fuzz/targets.h).
#include "fuzz/targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  return KVOR_FUZZ_ENTRY(data, size);
}
