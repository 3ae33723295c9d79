// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/script/script_runner.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <istream>
#include <memory>
#include <new>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/float_text.h"
#include "platform/properties.h"
#include "platform/rest.h"
#include "platform/system.h"

namespace brz {

namespace {

// A fault of the script itself, reported with its line number.
struct ScriptFault {
  std::string message;
};

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), isDigit);
}

// Longer lines are refused rather than read into memory without end.
constexpr size_t kLongestLine = 1 << 20;

// Reads one line without its end; false at the end of the input. A read
// error, or a line longer than kLongestLine, is a fault of the script: it
// must not pass for the end of the input.
bool readLine(std::istream& in, std::string& line) {
  line.clear();
  if (!in) return false;
  std::streambuf* buffer = in.rdbuf();
  try {
    for (;;) {
      int c = buffer->sbumpc();
      if (c == std::char_traits<char>::eof()) {
        in.setstate(std::ios::eofbit);
        return !line.empty();
      }
      if (c == '\n') return true;
      if (line.size() == kLongestLine)
        throw ScriptFault{"line longer than " + std::to_string(kLongestLine) + " characters"};
      line.push_back(static_cast<char>(c));
    }
  } catch (const std::ios_base::failure& error) {
    in.setstate(std::ios::badbit);
    throw ScriptFault{"cannot read the script: " + error.code().message()};
  } catch (const std::bad_alloc&) {
    in.setstate(std::ios::badbit);
    throw ScriptFault{"cannot read the script: out of memory"};
  }
}

std::vector<std::string_view> splitWords(std::string_view line) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && isBlank(line[i])) ++i;
    size_t start = i;
    while (i < line.size() && !isBlank(line[i])) ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

bool isIdentifier(std::string_view text) {
  if (text.empty() || isDigit(text.front())) return false;
  return std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || isDigit(c) || c == '_';
  });
}

ScriptFault malformedName(std::string_view text) {
  return {"malformed name " + shownQuoted(text) +
          ": write WINDOW, WINDOW.CONTROL or WINDOW.CONTROL(i)"};
}

// The farthest a position may lie from its window's origin, in twips: far
// past any screen, and near enough that a front end replaying the script can
// turn it into pixels at any scale.
constexpr Twips kFarthest = 10'000'000;

// A position in twips: an optional minus sign, digits, and an optional
// fraction ("120", "-40", "3877.5"). No exponents, no "inf" or "nan".
Twips coordinate(std::string_view text) {
  std::string_view body = text.starts_with('-') ? text.substr(1) : text;
  size_t point = body.find('.');
  bool wellFormed = point == std::string_view::npos
                        ? isDigits(body)
                        : isDigits(body.substr(0, point)) && isDigits(body.substr(point + 1));
  if (!wellFormed) throw ScriptFault{"malformed number " + shownQuoted(text)};
  std::optional<float> value = readFloat(text);
  if (!value || !(std::fabs(*value) <= kFarthest))
    throw ScriptFault{"number out of range " + shownQuoted(text) + ": a position lies within " +
                      std::to_string(static_cast<long>(kFarthest)) + " twips either way"};
  return *value;
}

MouseButton mouseButton(std::string_view name) {
  if (name == "left") return MouseButton::Left;
  if (name == "right") return MouseButton::Right;
  if (name == "middle") return MouseButton::Other;
  throw ScriptFault{"a mouse button is left, right or middle, not " + shownQuoted(name)};
}

// A wait's or a stall's length: whole milliseconds, 0 or more, that keep the
// clock within its limit.
Millis waitLength(std::string_view command, std::string_view text, Millis now) {
  if (text.starts_with('-'))
    throw ScriptFault{"negative " + std::string(command) + " " + shownQuoted(text)};
  if (!isDigits(text))
    throw ScriptFault{"malformed time " + shownQuoted(text) +
                      ": MS is a whole number of milliseconds"};
  unsigned long long value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() ||
      value > static_cast<unsigned long long>(ScriptRunner::kClockLimit - now))
    throw ScriptFault{std::string(command) + " " + shown(text) +
                      " takes the clock past its limit of " +
                      std::to_string(ScriptRunner::kClockLimit) + " ms"};
  return static_cast<Millis>(value);
}

// A window or one of its controls.
struct Target {
  Window* window = nullptr;
  Control* control = nullptr;  // null: the window itself

  std::string ref() const { return control ? control->ref() : window->name(); }
  PropertyList properties() const {
    PropertyList list;
    if (control)
      control->properties(list);
    else
      window->properties(list);
    return list;
  }
};

// Reads a script and runs its lines on a runtime, printing what they print.
class ScriptInterpreter {
 public:
  ScriptInterpreter(Host& host, std::ostream& out)
      : out_(out), own_(std::make_unique<Runtime>(host, tracePrinter())), rt_(*own_), rest_(rt_) {}
  // On a runtime built elsewhere, whose trace this one cannot print.
  ScriptInterpreter(Runtime& runtime, std::ostream& out, ScriptPace& pace)
      : out_(out), rt_(runtime), rest_(rt_), pace_(&pace) {}

  int run(const ScriptRunner::Start& start, std::istream& script);

 private:
  Runtime::Trace tracePrinter() {
    return [this](const std::string& line) {
      rest_.traced();
      if (tracing_) out_ << '[' << rt_.now() << "] " << line << '\n';
    };
  }

  std::optional<int> outcome();
  void screen(const std::vector<std::string_view>& words);
  std::string inStartDirectory(std::string_view value) const;
  void execute(std::string_view line, const std::vector<std::string_view>& words);
  Target target(std::string_view text) const;
  Window& window(std::string_view text) const;
  // REF.PROP: the property's full name and its printed value.
  std::pair<std::string, std::string> property(std::string_view text) const;
  void ignored(const std::vector<std::string_view>& words);
  void wait(std::string_view text);
  void paced(std::string_view text, bool stall);
  void dump(std::ostream& to) const;

  std::ostream& out_;
  bool started_ = false;
  ScriptScreen screen_;  // the program's, once started
  bool tracing_ = false;
  bool expectFailed_ = false;
  int lineNumber_ = 0;
  std::unique_ptr<Runtime> own_;
  Runtime& rt_;
  RestWatch rest_;  // for the waits on the virtual clock
  ScriptPace* pace_ = nullptr;
};

int ScriptInterpreter::run(const ScriptRunner::Start& start, std::istream& script) {
  // The program starts at the first command: the lines before it state the
  // screen its first window shows on, 1024 x 768 unless they say otherwise.
  auto begin = [&] {
    auto [width, height] = screen_.twips();
    rt_.setScreen(width, height);
    started_ = true;
    start(rt_);
    return outcome();
  };
  std::string line;
  for (;;) {
    bool more = false;
    try {
      more = readLine(script, line);
    } catch (const ScriptFault& fault) {
      out_ << "script error at line " << lineNumber_ + 1 << ": " << fault.message << '\n';
      return kScriptError;
    }
    std::vector<std::string_view> words;
    if (more) {
      ++lineNumber_;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      words = splitWords(line);
      if (words.empty() || words.front().starts_with('#')) continue;
    }
    try {
      if (!started_ && (!more || words.front() != "screen"))
        if (auto status = begin()) return *status;
      if (!more) break;
      execute(line, words);
    } catch (const ScriptFault& fault) {
      out_ << "script error at line " << lineNumber_ << ": " << fault.message << '\n';
      return kScriptError;
    } catch (const std::exception& error) {
      // Also a fault the runtime did not catch, such as a window whose layout
      // names a missing container: the program cannot go on.
      out_ << "fatal: " << error.what() << '\n';
      return kScriptFatal;
    }
    if (auto status = outcome()) return *status;
    // Output that cannot be written is lost: the rest of the script would run
    // for no one.
    if (!out_) return kScriptError;
  }
  return expectFailed_ ? kScriptExpectFailed : kScriptPassed;
}

// The status to stop with, once the program has stopped.
std::optional<int> ScriptInterpreter::outcome() {
  if (!rt_.fatalError().empty()) {
    out_ << "fatal: " << rt_.fatalError() << '\n';
    return kScriptFatal;
  }
  if (rt_.ended()) {
    // While tracing, the runtime's own "end" trace line has said it.
    if (!tracing_) out_ << "end\n";
    return expectFailed_ ? kScriptExpectFailed : kScriptPassed;
  }
  return std::nullopt;
}

void ScriptInterpreter::execute(std::string_view line, const std::vector<std::string_view>& words) {
  std::string_view command = words[0];
  auto arguments = [&](size_t count, std::string_view usage) {
    if (words.size() != count + 1)
      throw ScriptFault{"wrong number of arguments: " + std::string(usage)};
  };

  if (command == "screen") {
    screen(words);
  } else if (command == "wait") {
    arguments(1, "wait MS");
    if (pace_)
      paced(words[1], false);
    else
      wait(words[1]);
  } else if (command == "stall") {
    arguments(1, "stall MS");
    if (pace_)
      paced(words[1], true);
    else
      rt_.runDueTimers(rt_.now() + waitLength("stall", words[1], rt_.now()));
  } else if (command == "click") {
    arguments(1, "click REF");
    Target t = target(words[1]);
    if (!(t.control ? rt_.click(*t.control) : rt_.click(*t.window))) ignored(words);
  } else if (command == "clickat") {
    if (words.size() != 4 && words.size() != 5)
      throw ScriptFault{"wrong number of arguments: clickat WINDOW X Y [left|right|middle]"};
    Window& w = window(words[1]);
    Twips x = coordinate(words[2]), y = coordinate(words[3]);
    MouseButton button = words.size() == 5 ? mouseButton(words[4]) : MouseButton::Left;
    if (pace_) pace_->pointTo(w, x, y);
    if (!rt_.press(w, x, y, button, rt_.now())) ignored(words);
  } else if (command == "moveat") {
    arguments(3, "moveat WINDOW X Y");
    Window& w = window(words[1]);
    Twips x = coordinate(words[2]), y = coordinate(words[3]);
    if (pace_) pace_->pointTo(w, x, y);
    if (!rt_.moveAt(w, x, y)) ignored(words);
  } else if (command == "move") {
    arguments(3, "move REF X Y");
    Target t = target(words[1]);
    Twips x = coordinate(words[2]), y = coordinate(words[3]);
    if (!(t.control ? rt_.move(*t.control, x, y) : rt_.move(*t.window, x, y))) ignored(words);
  } else if (command == "key") {
    arguments(1, "key NAME");
    rt_.pressKey(words[1]);
  } else if (command == "close") {
    arguments(1, "close WINDOW");
    rt_.close(window(words[1]));
  } else if (command == "print") {
    arguments(1, "print REF.PROP");
    auto [name, value] = property(words[1]);
    out_ << name << " = " << value << '\n';
  } else if (command == "expect") {
    if (words.size() < 3) throw ScriptFault{"wrong number of arguments: expect REF.PROP VALUE"};
    auto [name, actual] = property(words[1]);
    // The value is the rest of the line as written, so quoted text keeps its blanks.
    std::string_view expected = line.substr(words[2].data() - line.data());
    while (isBlank(expected.back())) expected.remove_suffix(1);
    if (actual != inStartDirectory(expected)) {
      expectFailed_ = true;
      out_ << "expect failed at line " << lineNumber_ << ": " << name << " = " << actual
           << ", expected " << shown(expected) << '\n';
    }
  } else if (command == "dump") {
    arguments(0, "dump");
    dump(out_);
  } else if (command == "trace") {
    arguments(1, "trace on|off");
    if (words[1] != "on" && words[1] != "off")
      throw ScriptFault{"trace takes on or off, not " + shownQuoted(words[1])};
    tracing_ = words[1] == "on";
  } else {
    throw ScriptFault{"unknown command " + shownQuoted(command)};
  }
}

Target ScriptInterpreter::target(std::string_view text) const {
  size_t dot = text.find('.');
  std::string_view windowName = text.substr(0, dot);
  if (!isIdentifier(windowName)) throw malformedName(text);
  Window* w = rt_.findWindow(windowName);
  if (!w) throw ScriptFault{"unknown window " + shownQuoted(windowName)};
  if (dot == std::string_view::npos) return {w, nullptr};

  std::string_view name = text.substr(dot + 1);
  int index = -1;
  if (name.ends_with(')')) {
    size_t open = name.find('(');
    if (open == std::string_view::npos) throw malformedName(text);
    std::string_view digits = name.substr(open + 1, name.size() - open - 2);
    if (!isDigits(digits) || digits.size() > 6) throw malformedName(text);
    std::from_chars(digits.data(), digits.data() + digits.size(), index);
    name = name.substr(0, open);
  }
  if (!isIdentifier(name)) throw malformedName(text);
  if (Control* c = w->find(name, index)) return {w, c};
  if (index < 0)
    for (const auto& c : w->controls())
      if (c->name() == name)
        throw ScriptFault{shownQuoted(text) + " is a control array: name one as " + shown(text) +
                          "(i)"};
  throw ScriptFault{"unknown control " + shownQuoted(text)};
}

Window& ScriptInterpreter::window(std::string_view text) const {
  Target t = target(text);
  if (t.control) throw ScriptFault{"not a window: " + shownQuoted(text)};
  return *t.window;
}

std::pair<std::string, std::string> ScriptInterpreter::property(std::string_view text) const {
  size_t dot = text.rfind('.');
  if (dot == std::string_view::npos)
    throw ScriptFault{"malformed property " + shownQuoted(text) + ": write REF.PROP"};
  Target t = target(text.substr(0, dot));
  std::string_view name = text.substr(dot + 1);
  for (const auto& [property, value] : t.properties())
    if (property == name) return {t.ref() + "." + property, formatValue(value)};
  throw ScriptFault{"unknown property " + shownQuoted(text)};
}

// A recording is played back in any directory: <dir> in an expected value
// stands for the one the program started in, written as print writes it,
// and "/" right after it for this system's separator.
std::string ScriptInterpreter::inStartDirectory(std::string_view value) const {
  std::string directory = quote(rt_.startDirectory());
  directory = directory.substr(1, directory.size() - 2);
  std::string separator = quote(std::string(1, kPathSeparator));
  separator = separator.substr(1, separator.size() - 2);
  std::string out;
  for (size_t at; (at = value.find(kStartDirectory)) != value.npos;) {
    out.append(value.substr(0, at)).append(directory);
    value.remove_prefix(at + kStartDirectory.size());
    if (value.starts_with('/')) {
      out.append(separator);
      value.remove_prefix(1);
    }
  }
  return out.append(value);
}

// The screen is stated before the program starts: its windows centre on it
// as they first show.
void ScriptInterpreter::screen(const std::vector<std::string_view>& words) {
  if (words.size() != 4) throw ScriptFault{"wrong number of arguments: screen WIDTH HEIGHT SCALE"};
  if (started_) throw ScriptFault{"screen comes before every other command"};
  auto number = [](std::string_view text, int most, const char* what) {
    int value = 0;
    bool fits = isDigits(text) && text.size() <= 6 &&
                std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc() &&
                value >= 1 && value <= most;
    if (!fits)
      throw ScriptFault{std::string(what) + " is a whole number from 1 to " + std::to_string(most) +
                        ", not " + shownQuoted(text)};
    return value;
  };
  screen_ = {.width = number(words[1], ScriptScreen::kWidest, "WIDTH"),
             .height = number(words[2], ScriptScreen::kWidest, "HEIGHT"),
             .scale = number(words[3], ScriptScreen::kLargestScale, "SCALE")};
}

void ScriptInterpreter::ignored(const std::vector<std::string_view>& words) {
  out_ << "ignored:";
  for (std::string_view word : words) out_ << ' ' << shown(word);
  out_ << '\n';
}

// A wait follows the rest rule of the desktop loop (RestWatch): once a
// program is seen at rest, the rest of the wait is skipped in whole periods of
// its timers and what is left runs tick by tick, so the script sees exactly
// what running every tick would give. A program that does not come to rest
// (a round whose score drains with the clock) stops a wait once it has run as
// long as the watch may take, rather than running it for ever.
void ScriptInterpreter::wait(std::string_view text) {
  const Millis start = rt_.now(), end = start + waitLength("wait", text, start);
  const Millis giveUp = start + RestWatch::kLongestWatch;
  rest_.stir();
  while (rt_.running() && rt_.now() < end) {
    Millis step = std::min(end, giveUp);
    if (Millis look = rest_.nextLook(); look >= 0) step = std::min(step, look);
    if (rt_.now() >= giveUp && !rest_.atRest())
      throw ScriptFault{"wait " + shown(text) + " stopped after " +
                        std::to_string(rt_.now() - start) +
                        " ms: the program's state still changes, so a wait this long would "
                        "run for ever"};
    rest_.runTo(rest_.atRest() ? end : step, [this](Millis time) { rt_.advanceTo(time); });
  }
}

void ScriptInterpreter::paced(std::string_view text, bool stall) {
  if (!pace_->runTo(rt_, rt_.now() + waitLength(stall ? "stall" : "wait", text, rt_.now()), stall))
    throw ScriptFault{"the replay was stopped before its end"};
}

void ScriptInterpreter::dump(std::ostream& to) const {
  forEachProperty(rt_, [&to](const std::string& name, const Control*, const PropertyValue& value) {
    to << name << " = " << formatValue(value) << '\n';
  });
}

}  // namespace

std::pair<Twips, Twips> ScriptScreen::twips() const {
  return {static_cast<Twips>(static_cast<double>(width) * kTwipsPerPixel / scale),
          static_cast<Twips>(static_cast<double>(height) * kTwipsPerPixel / scale)};
}

std::string ScriptScreen::line() const {
  return "screen " + std::to_string(width) + " " + std::to_string(height) + " " +
         std::to_string(scale);
}

ScriptRunner::ScriptRunner(Start start)
    : start_(std::move(start)), ownHost_(std::make_shared<HeadlessHost>()), host_(ownHost_.get()) {}

ScriptRunner::ScriptRunner(Start start, Host& host) : start_(std::move(start)), host_(&host) {}

int ScriptRunner::run(std::istream& script, std::ostream& out) const {
  ScriptInterpreter interpreter(*host_, out);
  return interpreter.run(start_, script);
}

int playScript(Runtime& runtime, const ScriptRunner::Start& start, std::istream& script,
               std::ostream& out, ScriptPace& pace) {
  ScriptInterpreter interpreter(runtime, out, pace);
  return interpreter.run(start, script);
}

int runScriptCommand(std::span<const std::string> args, const ScriptRunner& runner,
                     std::istream& in, std::ostream& out, std::ostream& err) {
  if (args.size() > 1 || (args.size() == 1 && args[0].starts_with('-'))) {
    err << "usage: brizzlet-script [FILE]\n"
           "Runs the scenario script in FILE, or on standard input, against the game.\n";
    return kScriptError;
  }
  // Every write error shows at the latest when the output is flushed at the
  // end. What a failed write left in the buffer is tried once more, for the
  // system's reason.
  auto finish = [&](int status) {
    bool failed = !out;
    out.clear();
    errno = 0;
    out.flush();
    if (out && !failed) return status;
    int reason = errno;
    err << "brizzlet-script: cannot write the output: "
        << (reason ? std::strerror(reason) : "write error") << '\n';
    return static_cast<int>(kScriptError);
  };
  if (args.empty()) return finish(runner.run(in, out));
  const std::string& path = args[0];
  std::error_code error;
  if (std::filesystem::is_directory(filePath(path), error)) {
    err << "brizzlet-script: cannot read " << shown(path) << ": it is a directory\n";
    return kScriptError;
  }
  std::ifstream file(filePath(path));
  if (!file) {
    err << "brizzlet-script: cannot open " << shown(path) << ": " << std::strerror(errno) << '\n';
    return kScriptError;
  }
  return finish(runner.run(file, out));
}

}  // namespace brz
