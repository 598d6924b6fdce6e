#include "reg_commands.h"

#include <filesystem>
#include <ostream>

#include "registers/admin.h"

namespace kvor::reg {

using registers::Layout;

int Copy(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err) {
  if (!cl.words.empty() || !cl.has_from || !cl.has_to)
    return Usage(err, "copy takes --from SOURCE --to TARGET");
  const auto url = [](const std::string& place) { return place == "files" ? "" : place; };
  if (url(cl.from) == url(cl.to)) return Usage(err, "copy takes a SOURCE and a TARGET that differ");
  Context& c = keeper.ctx();
  const auto map = [&c](const std::string& path) { return c.drives.ToHost(path); };
  recman::Engine from(map, url(cl.from)), to(map, url(cl.to));
  std::string error;
  // Every source register must be there, and no target register may hold records unless
  // --replace, before anything is written. A server's URL is not shown: it may hold a password.
  std::vector<uint32_t> counts;
  for (const Layout& l : registers::AllLayouts()) {
    uint32_t count = 0;
    int16_t status = 0;
    if (!registers::CountRecords(from, keeper.WindowsPath(l), l, count, status, error))
      return Fail(err, "the source cannot be read: " + error);
    counts.push_back(count);
    if (!cl.replace &&
        registers::CountRecords(to, keeper.WindowsPath(l), l, count, status, error) && count > 0)
      return Fail(err, "the target's " + std::string(l.code) + " holds " + std::to_string(count) +
                           " records; nothing was copied (give --replace to overwrite the target)");
  }
  std::size_t i = 0;
  for (const Layout& l : registers::AllLayouts()) {
    if (url(cl.to).empty()) {
      std::error_code ec;
      std::filesystem::create_directories(std::filesystem::path(keeper.HostPath(l)).parent_path(),
                                          ec);
    }
    if (!registers::CopyRegister(from, to, keeper.WindowsPath(l), l, error))
      return Fail(err, error);
    out << l.code << ": " << counts[i++] << " records copied\n";
  }
  return 0;
}

}  // namespace kvor::reg
