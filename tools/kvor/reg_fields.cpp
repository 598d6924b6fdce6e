#include "reg_commands.h"

#include <ostream>

namespace kvor::reg {

using registers::Field;
using registers::Layout;

// A field that reaches past the end of the key is only partly a key part: said with how much.
int Fields(const Layout& layout, std::ostream& out) {
  for (const Field& f : layout.fields) {
    out << f.name << ' ' << f.position << ' ' << f.width;
    const int in_key = std::min<int>(f.width, layout.key_length - f.position + 1);
    if (in_key == f.width) {
      out << " key";
    } else if (in_key > 0) {
      out << " key (first " << in_key << " characters)";
    }
    out << '\n';
  }
  return 0;
}

}  // namespace kvor::reg
