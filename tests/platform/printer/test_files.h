// Small files and processes for the printer tests: BMP pictures written byte by byte, a fresh
// temporary folder, and a command's standard output.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace kvor::printer::test_files {

inline void Put(std::vector<std::uint8_t>& b, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back((v >> (8 * i)) & 0xFF);
}

// A bottom-up BMP of 24 bits (pixels as 0xRRGGBB) or 8 bits (pixels index the palette).
inline std::vector<std::uint8_t> Bmp(int width, int height, int bits,
                                     const std::vector<std::uint32_t>& pixels_top_down,
                                     const std::vector<std::uint32_t>& palette = {}) {
  const std::uint32_t stride = (width * bits + 31) / 32 * 4;
  const std::uint32_t offset = 14 + 40 + 4 * static_cast<std::uint32_t>(palette.size());
  std::vector<std::uint8_t> b{'B', 'M'};
  Put(b, offset + stride * height, 4);
  Put(b, 0, 4);
  Put(b, offset, 4);
  Put(b, 40, 4);
  Put(b, width, 4);
  Put(b, height, 4);
  Put(b, 1, 2);
  Put(b, bits, 2);
  Put(b, 0, 4);
  Put(b, stride * height, 4);
  Put(b, 3780, 4);  // 96 dpi
  Put(b, 3780, 4);
  Put(b, palette.size(), 4);
  Put(b, 0, 4);
  for (std::uint32_t c : palette) Put(b, c, 4);
  for (int row = height - 1; row >= 0; --row) {
    const std::size_t start = b.size();
    for (int x = 0; x < width; ++x) Put(b, pixels_top_down[row * width + x], bits / 8);
    b.resize(start + stride, 0);
  }
  return b;
}

inline void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// An empty temporary folder, removed with what it holds when the test is done.
class FreshFolder {
 public:
  explicit FreshFolder(const std::string& name)
      : path_((std::filesystem::temp_directory_path() /
               ("kvor-printer-" + std::to_string(::getpid()) + "-" + name))
                  .string()) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~FreshFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& Path() const { return path_; }
  operator const std::string&() const { return path_; }
  std::string operator+(const char* tail) const { return path_ + tail; }

 private:
  std::string path_;
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
