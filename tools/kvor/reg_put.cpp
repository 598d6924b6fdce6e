#include "reg_commands.h"

#include <ostream>

namespace kvor::reg {

using registers::Layout;

int Put(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err) {
  if (cl.words.size() < 2) return Usage(err, "put takes a register and FIELD=VALUE ...");
  std::string error;
  const Layout* layout = FindRegister(cl.words[0], error);
  if (!layout) return Fail(err, error);
  std::vector<Assignment> values;
  for (std::size_t i = 1; i < cl.words.size(); ++i) {
    const std::string& w = cl.words[i];
    const std::size_t eq = w.find('=');
    if (eq == std::string::npos || eq == 0) return Fail(err, "'" + w + "' is not FIELD=VALUE");
    values.emplace_back(w.substr(0, eq), w.substr(eq + 1));
  }
  std::string record(layout->record_end, ' ');
  if (!SetUtf8Fields(*layout, values, record, error)) return Fail(err, error);
  const std::string key = record.substr(0, layout->key_length);
  if (cl.keep) {
    // The stored record under the named fields: set them again on top of it.
    std::string stored;
    if (keeper.Get(*layout, key, stored, error)) {
      record = stored;
      if (!SetUtf8Fields(*layout, values, record, error)) return Fail(err, error);
    } else if (!error.empty()) {
      return Fail(err, error);
    }
  }
  bool inserted = false;
  if (!keeper.Put(*layout, record, cl.insert_only, inserted, error)) return Fail(err, error);
  out << (inserted ? "inserted " : "updated ") << layout->code << " '" << Utf8(key) << "'\n";
  return 0;
}

}  // namespace kvor::reg
