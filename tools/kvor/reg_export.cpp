#include "reg_commands.h"

#include <ostream>

#include "common/numbers.h"

namespace kvor::reg {

using registers::Field;
using registers::Layout;

int Export(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err) {
  if (cl.words.size() != 1) return Usage(err, "export takes a register");
  std::string error;
  std::vector<std::string> records;
  const Layout* layout = FindRegister(cl.words[0], error);
  if (!layout || !keeper.List(*layout, "", records, error)) return Fail(err, error);
  std::vector<Assignment> members;
  for (const std::string& r : records) {
    members.clear();
    for (const Field& f : layout->fields)
      members.emplace_back(f.name, Utf8(TrimRight(r.substr(f.position - 1, f.width))));
    out << WriteJsonObject(members) << '\n';
  }
  return out.good() ? 0 : Fail(err, "cannot write the records");
}

}  // namespace kvor::reg
