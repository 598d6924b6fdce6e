#include "ui/scripted/actions.h"

#include <sstream>

#include "common/cp1252.h"

namespace kvor::ui {

namespace {

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

// Splits off the first blank-separated word.
std::string FirstWord(std::string& rest) {
  rest = Trim(rest);
  const auto sp = rest.find_first_of(" \t");
  std::string word = rest.substr(0, sp);
  rest = sp == std::string::npos ? std::string() : Trim(rest.substr(sp + 1));
  return word;
}

bool ParseNumber(const std::string& s, int& n) {
  if (s.empty() || s.size() > 6 || s.find_first_not_of("0123456789") != std::string::npos)
    return false;
  n = std::stoi(s);
  return true;
}

bool ParseOne(const std::string& line, Action& a, std::string& why) {
  std::string rest = line;
  const std::string verb = FirstWord(rest);
  a.line = line;
  using V = Action::Verb;
  auto need_control = [&] {
    a.control = FromUtf8(FirstWord(rest));
    if (a.control.empty()) why = "'" + verb + "' needs a control name";
    return !a.control.empty();
  };
  if (verb == "focus" || verb == "click" || verb == "show") {
    a.verb = verb == "focus" ? V::Focus : verb == "click" ? V::Click : V::Show;
    if (!need_control()) return false;
    if (!rest.empty()) return why = "'" + verb + "' takes only a control name", false;
    return true;
  }
  if (verb == "type" || verb == "set") {
    a.verb = verb == "type" ? V::Type : V::Set;
    if (!need_control()) return false;
    a.text = FromUtf8(rest);
    if (a.verb == V::Type && a.text.empty()) return why = "'type' needs a text", false;
    return true;
  }
  if (verb == "key") {
    a.verb = V::Key;
    if (!need_control()) return false;
    a.text = FromUtf8(rest);
    const bool named = a.text == "Enter" || a.text == "Escape" || a.text == "Tab" ||
                       a.text == "Up" || a.text == "Down";
    if (!named && a.text.size() != 1)
      return why = "'key' takes Enter, Escape, Tab, Up, Down or one character", false;
    return true;
  }
  if (verb == "select") {
    a.verb = V::Select;
    if (!need_control()) return false;
    if (!ParseNumber(rest, a.number)) return why = "'select' needs an entry number from 0", false;
    return true;
  }
  if (verb == "answer") {
    a.verb = V::Answer;
    a.text = Upper(FromUtf8(rest));
    if (a.text != "ST\xC4NG" && a.text != "AVBRYT" && a.text != "JA" && a.text != "NEJ")
      return why = "'answer' takes ST\xC3\x84NG, AVBRYT, JA or NEJ", false;
    return true;
  }
  if (verb == "close") {
    a.verb = V::Close;
    if (!rest.empty()) return why = "'close' takes nothing more", false;
    return true;
  }
  if (verb == "tick") {
    a.verb = V::Tick;
    if (!ParseNumber(rest, a.number)) return why = "'tick' needs a number of seconds", false;
    return true;
  }
  if (verb == "wait") {
    a.verb = V::Wait;
    a.text = rest;
    if (a.text.empty()) return why = "'wait' needs the path of a file", false;
    return true;
  }
  if (verb == "during") {
    a.verb = V::During;
    a.inner = std::make_shared<Action>();
    // An optional count: the action arrives at that turn of the busy work's event loop.
    a.number = 1;
    std::string count = rest;
    const std::string first = FirstWord(count);
    if (!first.empty() && first.find_first_not_of("0123456789") == std::string::npos) {
      if (!ParseNumber(first, a.number) || a.number < 1)
        return why = "'during' takes a count from 1", false;
      rest = count;
    }
    if (Trim(rest).rfind("during", 0) == 0)
      return why = "'during' cannot hold another 'during'", false;
    return ParseOne(rest, *a.inner, why);
  }
  why = "unknown action '" + verb + "'";
  return false;
}

}  // namespace

bool ParseActions(const std::string& utf8, std::vector<Action>& out, std::string& error) {
  std::istringstream in(utf8);
  std::string raw;
  int number = 0;
  while (std::getline(in, raw)) {
    ++number;
    const auto hash = raw.find('#');
    const std::string line = Trim(hash == std::string::npos ? raw : raw.substr(0, hash));
    if (line.empty()) continue;
    Action a;
    std::string why;
    if (!ParseOne(line, a, why)) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    }
    out.push_back(std::move(a));
  }
  return true;
}

}  // namespace kvor::ui
