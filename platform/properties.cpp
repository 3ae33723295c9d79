// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/properties.h"

#include <algorithm>
#include <cstdio>

#include "platform/float_text.h"
#include "platform/runtime.h"

namespace brz {

std::string quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

namespace {

std::string escaped(std::string_view text, bool quoted) {
  std::string out;
  while (!text.empty()) {
    size_t length = std::min(text.find(' '), text.size());  // a word, then its blank
    std::string_view word = text.substr(0, length);
    std::string_view kept =
        word.size() > kLongestShownWord ? word.substr(0, kLongestShownWord / 2) : word;
    for (char c : kept) {
      if (quoted && (c == '"' || c == '\\')) out += '\\';
      if (c >= 0x20 && c < 0x7f) {
        out += c;
      } else {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(c));
        out += hex;
      }
    }
    if (kept.size() < word.size()) out += "...(" + std::to_string(word.size()) + " bytes)";
    if (length < text.size()) out += ' ', ++length;
    text.remove_prefix(length);
  }
  return out;
}

// Positions are single precision: print the shortest text that reads back as
// the same float, so 3877.5 stays 3877.5 and 0.1f does not become 0.100000001.
std::string shortestNumber(double value) {
  if (value == 0) return "0";
  auto asFloat = static_cast<float>(value);
  return static_cast<double>(asFloat) == value ? shortestText(asFloat) : shortestText(value);
}

}  // namespace

std::string shown(std::string_view text) {
  return escaped(text, false);
}

std::string shownQuoted(std::string_view text) {
  return '"' + escaped(text, true) + '"';
}

std::string formatValue(const PropertyValue& value) {
  struct Visitor {
    std::string operator()(const std::string& s) const { return quote(s); }
    std::string operator()(double d) const { return shortestNumber(d); }
    std::string operator()(bool b) const { return b ? "True" : "False"; }
    std::string operator()(ColorValue c) const {
      char buffer[16];
      std::snprintf(buffer, sizeof buffer, "&H%08X", static_cast<unsigned>(c.color));
      return buffer;
    }
  };
  return std::visit(Visitor{}, value);
}

void forEachProperty(const Runtime& runtime, const PropertyVisitor& visit) {
  PropertyList list;
  for (const auto& window : runtime.windows()) {
    list.clear();
    window->properties(list);
    for (const auto& [name, value] : list) visit(window->name() + "." + name, nullptr, value);
    for (const auto& control : window->controls()) {
      list.clear();
      control->properties(list);
      for (const auto& [name, value] : list)
        visit(control->ref() + "." + name, control.get(), value);
    }
  }
}

}  // namespace brz
