#include "reg_commands.h"

#include <ostream>

#include "common/text.h"

namespace kvor::reg {

using registers::Field;
using registers::Layout;

namespace {

// The first few filled fields after the key, for a line of the list.
std::string ShortView(const Layout& layout, const std::string& record) {
  constexpr std::size_t kWidth = 70;
  std::string view;
  int shown = 0;
  for (const Field& f : layout.fields) {
    if (f.position <= layout.key_length) continue;
    const std::string value = Trim(record.substr(f.position - 1, f.width));
    if (value.empty()) continue;
    view += (view.empty() ? "" : " | ") + value;
    if (++shown == 3 || view.size() >= kWidth) break;
  }
  if (view.size() > kWidth) view = view.substr(0, kWidth - 3) + "...";
  return view;
}

}  // namespace

int List(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err) {
  if (cl.words.size() != 1) return Usage(err, "list takes a register");
  std::string error, prefix;
  std::vector<std::string> records;
  const Layout* layout = FindRegister(cl.words[0], error);
  if (!layout || !KeyText(*layout, cl.prefix, prefix, error) ||
      !keeper.List(*layout, prefix, records, error))
    return Fail(err, error);
  for (const std::string& r : records)
    out << Utf8(r.substr(0, layout->key_length)) << "  " << Utf8(ShortView(*layout, r)) << '\n';
  return 0;
}

}  // namespace kvor::reg
