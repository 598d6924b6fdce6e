#include "reg_commands.h"

#include <fstream>
#include <istream>
#include <map>
#include <ostream>
#include <set>

#include "common/text.h"

namespace kvor::reg {

using registers::Layout;

int Import(Keeper& keeper, const CommandLine& cl, std::istream& in, std::ostream& out,
           std::ostream& err) {
  if (cl.words.empty() || cl.words.size() > 2)
    return Usage(err, "import takes a register and at most one file");
  std::string error;
  const Layout* layout = FindRegister(cl.words[0], error);
  if (!layout) return Fail(err, error);
  std::ifstream file;
  std::istream* source = &in;
  if (cl.words.size() == 2 && cl.words[1] != "-") {
    file.open(cl.words[1], std::ios::binary);
    if (!file) return Fail(err, "cannot read " + cl.words[1]);
    source = &file;
  }

  // Every line is checked before anything is written.
  constexpr int kShownProblems = 20;
  std::vector<std::string> problems;
  std::vector<std::string> records;
  std::vector<int> line_of;
  std::map<std::string, int> seen;  // key -> line
  std::string line;
  for (int number = 1; std::getline(*source, line); ++number) {
    if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);  // byte order mark
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (IsBlank(line)) continue;
    std::vector<Assignment> values;
    std::string record(layout->record_end, ' ');
    if (!ReadJsonObject(line, values, error) || !SetUtf8Fields(*layout, values, record, error)) {
      problems.push_back("line " + std::to_string(number) + ": " + error);
      continue;
    }
    const std::string key = record.substr(0, layout->key_length);
    const auto [it, fresh] = seen.emplace(key, number);
    if (!fresh) {
      problems.push_back("line " + std::to_string(number) + ": the key '" + Utf8(key) +
                         "' is on line " + std::to_string(it->second) + " already");
      continue;
    }
    records.push_back(std::move(record));
    line_of.push_back(number);
  }
  if (source->bad()) return Fail(err, "cannot read the records");
  std::set<std::string> stored;
  if (problems.empty() && !records.empty()) {
    std::vector<std::string> all;
    if (!keeper.List(*layout, "", all, error)) return Fail(err, error);
    for (const std::string& r : all) stored.insert(r.substr(0, layout->key_length));
    if (!cl.replace) {
      for (std::size_t i = 0; i < records.size(); ++i) {
        const std::string key = records[i].substr(0, layout->key_length);
        if (stored.count(key))
          problems.push_back("line " + std::to_string(line_of[i]) + ": the key '" + Utf8(key) +
                             "' is in " + layout->code + " already (--replace replaces it)");
      }
    }
  }
  if (!problems.empty()) {
    for (std::size_t i = 0; i < problems.size() && i < kShownProblems; ++i)
      err << "kvor reg: " << problems[i] << '\n';
    if (problems.size() > kShownProblems)
      err << "kvor reg: ... and " << problems.size() - kShownProblems << " more\n";
    return Fail(err, std::to_string(problems.size()) + " bad line" +
                         (problems.size() == 1 ? "" : "s") + "; nothing was written to " +
                         layout->code);
  }

  int inserted = 0, updated = 0;
  for (const std::string& record : records) {
    bool fresh = false;
    if (!keeper.Put(*layout, record, false, fresh, error)) {
      return Fail(err, error + " (" + std::to_string(inserted + updated) + " of " +
                           std::to_string(records.size()) + " records were written before)");
    }
    ++(fresh ? inserted : updated);
  }
  out << layout->code << ": " << inserted << " inserted, " << updated << " replaced\n";
  return 0;
}

}  // namespace kvor::reg
