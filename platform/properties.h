// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "platform/types.h"

namespace brz {

class Runtime;
class Control;

// A colour shown as the toolkit writes colours: &H and eight hex digits.
struct ColorValue {
  Color color;
  bool operator==(const ColorValue&) const = default;
};

// A property's value as the scenario runner prints and compares it.
using PropertyValue = std::variant<std::string, double, bool, ColorValue>;
using PropertyList = std::vector<std::pair<std::string, PropertyValue>>;

// Text in double quotes with \" and \\ escaped.
std::string quote(std::string_view text);

// Text from outside (a script's words, a file name, an argument) as a message
// may show it on a terminal: every byte but printable ASCII written \xNN, and
// a word longer than kLongestShownWord bytes cut to its start and its size.
// shownQuoted puts it in double quotes, as quote does.
inline constexpr size_t kLongestShownWord = 256;
std::string shown(std::string_view text);
std::string shownQuoted(std::string_view text);

// The printed form of a value: "text", 5755, -400, 3877.5, True, &H0000FF00.
std::string formatValue(const PropertyValue& value);

// Every property of every window and control, in layout order (windows in
// creation order, each followed by its controls), with its full name
// (`Form1.Command3(1).Caption`) and its control, null for a window's own.
using PropertyVisitor =
    std::function<void(const std::string& name, const Control* control, const PropertyValue&)>;
void forEachProperty(const Runtime& runtime, const PropertyVisitor& visit);

}  // namespace brz
