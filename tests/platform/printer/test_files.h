// Small files and processes for the printer tests: BMP pictures written byte by byte, a fresh
// temporary folder, and a command's standard output.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace kvor::printer::test_files {

using kvor::test::WriteFile;

// A bottom-up BMP of 24 bits (pixels as 0xRRGGBB) or 8 bits (pixels index the palette).
inline std::string Bmp(int width, int height, int bits,
                       const std::vector<std::uint32_t>& pixels_top_down,
                       const std::vector<std::uint32_t>& palette = {}) {
  std::string b = "BM";
  auto put = [&b](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  const std::uint32_t stride = (width * bits + 31) / 32 * 4;
  const std::uint32_t offset = 14 + 40 + 4 * static_cast<std::uint32_t>(palette.size());
  const std::uint32_t size = stride * height;
  // File header, then the info header: 1 plane, no compression, 3780 pixels a metre (96 dpi).
  for (auto [value, bytes] : {std::pair<std::uint32_t, int>{offset + size, 4},
                              {0, 4},
                              {offset, 4},
                              {40, 4},
                              {width, 4},
                              {height, 4},
                              {1, 2},
                              {bits, 2},
                              {0, 4},
                              {size, 4},
                              {3780, 4},
                              {3780, 4},
                              {palette.size(), 4},
                              {0, 4}})
    put(value, bytes);
  for (std::uint32_t c : palette) put(c, 4);
  for (int row = height - 1; row >= 0; --row) {
    const std::size_t start = b.size();
    for (int x = 0; x < width; ++x) put(pixels_top_down[row * width + x], bits / 8);
    b.resize(start + stride, '\0');
  }
  return b;
}

// An empty temporary folder, removed with what it holds when the test is done.
struct FreshFolder {
  ~FreshFolder() { std::filesystem::remove_all(path); }
  operator const std::string&() const { return path; }
  std::string operator+(const char* tail) const { return path + tail; }
  const std::string path = kvor::test::TempFolder();
};

// Standard output of a command line (the arguments are test-made paths without quotes in them).
inline std::string RunTool(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen((command + " 2>/dev/null").c_str(), "r")) {
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

}  // namespace kvor::printer::test_files
