#include "reg_commands.h"

#include <ostream>

namespace kvor::reg {

using registers::Layout;

int Create(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err) {
  std::vector<const Layout*> which;
  std::string error;
  if (cl.words.size() > 1) return Usage(err, "create takes at most one register");
  if (cl.words.empty()) {
    for (const Layout& l : registers::AllLayouts()) which.push_back(&l);
  } else if (const Layout* l = FindRegister(cl.words[0], error)) {
    which.push_back(l);
  } else {
    return Fail(err, error);
  }
  for (const Layout* l : which) {
    const std::string shown = Utf8(keeper.WindowsPath(*l));
    if (!cl.replace && keeper.Exists(*l)) {
      out << l->code << ": " << shown << " exists, kept\n";
      continue;
    }
    if (!keeper.Create(*l, error)) return Fail(err, error);
    out << l->code << ": " << shown << " created\n";
  }
  return 0;
}

}  // namespace kvor::reg
