#include "reg_commands.h"

#include <ostream>

#include "common/numbers.h"

namespace kvor::reg {

using registers::Field;
using registers::Layout;

int Get(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err) {
  if (cl.words.size() != 2) return Usage(err, "get takes a register and a key");
  std::string error, key, record;
  const Layout* layout = FindRegister(cl.words[0], error);
  if (!layout || !KeyText(*layout, cl.words[1], key, error)) return Fail(err, error);
  if (!keeper.Get(*layout, key, record, error)) {
    return Fail(err, error.empty()
                         ? "no record with the key '" + cl.words[1] + "' in " + layout->code
                         : error);
  }
  for (const Field& f : layout->fields)
    out << f.name << '=' << Utf8(TrimRight(record.substr(f.position - 1, f.width))) << '\n';
  return 0;
}

}  // namespace kvor::reg
