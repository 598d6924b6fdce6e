#include "frame/frame.h"
#include "frame/options.h"

int RunWithWindows(int, char**, const kvor::frame::Options&, const kvor::frame::StartInfo&) {
  return 3;
}
