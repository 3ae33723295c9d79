// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "platform/properties.h"

namespace brz {

namespace {

// One option: its name, the name of its value in the usage text ("" when it
// takes none; a value is given as "--name VALUE" or "--name=VALUE"), its line
// in the usage text, and what it does. `apply` returns an error text, or ""
// when the value is good.
struct Option {
  std::string_view name;
  std::string_view valueName;
  std::string_view help;
  std::string (*apply)(CommandLine&, std::string_view value);
};

// A scale is a plain whole number from 1 up: no sign, no spaces, no fraction.
std::optional<int> scaleOf(std::string_view text) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
  if (value < 1 || value > kMaxCommandLineScale) return {};
  return value;
}

std::string badScale(std::string_view where, std::string_view text) {
  return std::string(where) + " must be a whole number from 1 to " +
         std::to_string(kMaxCommandLineScale) + ", not '" + shown(text) + "'";
}

// A session is either played (and perhaps recorded) or replayed: a replay
// recorded again would only copy its file.
std::string fileGiven(std::string_view name, std::string_view value, const std::string& other) {
  if (value.empty()) return std::string(name) + " needs a FILE";
  if (!other.empty()) return "--record and --replay cannot be given together";
  return {};
}

constexpr std::array kOptions{
    Option{"--help", "", "show this help and exit",
           [](CommandLine& line, std::string_view) {
             line.action = CommandLine::Action::Help;
             return std::string();
           }},
    Option{"--version", "", "show the version and exit",
           [](CommandLine& line, std::string_view) {
             line.action = CommandLine::Action::Version;
             return std::string();
           }},
    Option{"--scale", "N", "draw the windows N times the size (1 to 16)",
           [](CommandLine& line, std::string_view value) {
             line.scale = scaleOf(value);
             return line.scale ? std::string() : badScale("--scale", value);
           }},
    Option{"--single-window", "", "show the game's windows in one window of the desktop",
           [](CommandLine& line, std::string_view) {
             line.singleWindow = true;
             return std::string();
           }},
    Option{"--record", "FILE", "write the session to FILE as a scenario",
           [](CommandLine& line, std::string_view value) {
             line.recordPath = value;
             return fileGiven("--record", value, line.replayPath);
           }},
    Option{"--replay", "FILE", "play the recording in FILE and check its end",
           [](CommandLine& line, std::string_view value) {
             line.replayPath = value;
             return fileGiven("--replay", value, line.recordPath);
           }},
};

const Option* optionNamed(std::string_view name) {
  for (const Option& option : kOptions)
    if (option.name == name) return &option;
  return nullptr;
}

CommandLine failed(std::string text) {
  CommandLine line;
  line.action = CommandLine::Action::Error;
  line.error = std::move(text);
  return line;
}

}  // namespace

CommandLine parseCommandLine(std::span<const std::string_view> arguments,
                             const char* scaleVariable) {
  CommandLine line;
  for (size_t i = 0; i < arguments.size(); ++i) {
    std::string_view argument = arguments[i];
    std::string_view name = argument;
    std::optional<std::string_view> value;
    if (size_t equals = argument.find('='); argument.starts_with("--") && equals != argument.npos) {
      name = argument.substr(0, equals);
      value = argument.substr(equals + 1);
    }
    if (name == "-h") name = "--help";

    const Option* option = optionNamed(name);
    if (!option) return failed("unknown option '" + shown(argument) + "'");
    bool takesValue = !option->valueName.empty();
    if (takesValue && !value) {
      if (i + 1 == arguments.size()) return failed(std::string(name) + " needs a value");
      value = arguments[++i];
    } else if (!takesValue && value) {
      return failed(std::string(name) + " takes no value");
    }
    if (std::string error = option->apply(line, value.value_or("")); !error.empty())
      return failed(std::move(error));
    // --help and --version answer at once, whatever follows them or the
    // environment holds.
    if (line.action != CommandLine::Action::Play) return line;
  }
  // An empty variable is as good as none, as shells leave it after "X= cmd".
  // A good option does not rescue a bad variable: both are the user's input.
  if (scaleVariable && *scaleVariable) {
    std::optional<int> scale = scaleOf(scaleVariable);
    if (!scale) return failed(badScale("BRIZZLET_SCALE", scaleVariable));
    if (!line.scale) line.scale = scale;
  }
  return line;
}

std::string usage() {
  std::string text =
      "Usage: brizzlet [OPTION]...\n"
      "Shoot the mosquitoes with a six-shot gun.\n\n";
  for (const Option& option : kOptions) {
    std::string left = "  " + std::string(option.name);
    if (!option.valueName.empty()) left += " " + std::string(option.valueName);
    left.resize(std::max<size_t>(left.size() + 2, 20), ' ');
    text += left + std::string(option.help) + "\n";
  }
  text +=
      "\nBRIZZLET_SCALE=N sets the scale as --scale does; the option wins.\n"
      "The game reads its music, sounds and magazine pictures from the\n"
      "directory it is started in (the brizzlet launcher starts it there),\n"
      "on Windows from the folder brizzlet.exe is in.\n";
  return text;
}

}  // namespace brz
