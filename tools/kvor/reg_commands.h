// The commands of kvor reg, one file each (reg_create.cpp, reg_put.cpp, ...), and what they share:
// the command line taken apart and the register, key and fields it names (reg.cpp), and text
// between the registers' Windows-1252 and the UTF-8 of the command line and the records
// (reg_text.cpp).
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "frame/options.h"
#include "reg.h"

namespace kvor::reg {

// What follows "kvor reg", taken apart.
struct CommandLine {
  std::string command;
  std::vector<std::string> words;  // what follows the command
  frame::Options where;            // --root and --drive
  std::string prefix;
  bool has_prefix = false;
  std::string hold;  // seconds of lock --hold
  bool has_hold = false;
  std::string from, to;  // copy --from --to: "files" or a server's URL
  bool has_from = false, has_to = false;
  bool replace = false, insert_only = false, keep = false;
};

// Windows-1252 to UTF-8. The five bytes Windows-1252 leaves undefined travel as the C1 controls of
// the same number, so that whatever a record holds comes back unchanged through export and import.
std::string Utf8(std::string_view cp1252);
// UTF-8 to Windows-1252, refusing what Windows-1252 cannot hold rather than losing it.
bool Cp1252(std::string_view utf8, std::string& out, std::string& error);
// A message of the program as one line of UTF-8: paragraphs joined by " / ".
std::string OneLine(const std::string& message);

// The register of a code given on the command line; null with a message naming all 28.
const registers::Layout* FindRegister(const std::string& code, std::string& error);
// A key or prefix from the command line: Windows-1252, no longer than the key.
bool KeyText(const registers::Layout& layout, const std::string& utf8, std::string& key,
             std::string& error);
// Field values given in UTF-8 set into a record; false with a message.
bool SetUtf8Fields(const registers::Layout& layout, const std::vector<Assignment>& utf8,
                   std::string& record, std::string& error);
// A failure: the message on `err`; gives `code`.
int Fail(std::ostream& err, const std::string& message, int code = 1);
// A wrong command line: the message and the usage on `err`; gives 2.
int Usage(std::ostream& err, const std::string& message);

// The commands: each gives the command's exit code.
int Fields(const registers::Layout& layout, std::ostream& out);
int Create(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err);
int Put(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err);
int Get(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err);
int List(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err);
int Export(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err);
int Import(Keeper& keeper, const CommandLine& cl, std::istream& in, std::ostream& out,
           std::ostream& err);
int Copy(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err);
int Lock(Keeper& keeper, const CommandLine& cl, std::ostream& out, std::ostream& err);

}  // namespace kvor::reg
