// SPDX-License-Identifier: GPL-3.0-or-later
// The scenario runner's input, fuzzed on the real game with its real run-time
// files. Whatever bytes a script holds, the run
//   - ends with status 0, 1 or 2 (3, a fatal run-time error, cannot happen:
//     every file the game reads is there);
//   - with status 2 has printed, as its last line, "script error at line N: "
//     with N a line of the script;
//   - with status 1 has printed an "expect failed at line N: " line, and with
//     status 0 none and no script error;
//   - and never crashes, hangs or trips a sanitizer.
#include "tests/fuzz/script_fuzz.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "menu/start.h"
#include "platform/script/script_runner.h"
#include "tools/game_host.h"

namespace {

// Waits cost real time (every tick they cover runs): a script whose waits add
// up to more than this is left to the runner's own tests of long waits.
constexpr unsigned long long kMostVirtualTime = 200'000;

std::vector<std::string_view> lines(std::string_view text) {
  std::vector<std::string_view> out;
  while (!text.empty()) {
    size_t end = text.find('\n');
    out.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return out;
}

bool waitsTooLong(std::string_view script) {
  unsigned long long total = 0;
  for (std::string_view line : lines(script)) {
    std::istringstream words{std::string(line)};
    std::string command, time, more;
    if (!(words >> command >> time) || command != "wait" || (words >> more)) continue;
    unsigned long long ms = 0;
    for (char c : time) {
      if (c < '0' || c > '9') break;
      ms = ms * 10 + static_cast<unsigned>(c - '0');
      if (ms > kMostVirtualTime) return true;
    }
    total += ms;
    if (total > kMostVirtualTime) return true;
  }
  return false;
}

[[noreturn]] void broken(const std::string& what, std::string_view script, const std::string& out) {
  std::fprintf(stderr, "scenario runner broke its promise: %s\n--- script (%zu bytes) ---\n",
               what.c_str(), script.size());
  for (char c : script)  // readable, with every unprintable byte as \xNN
    std::fprintf(stderr, c == '\n' || (c >= 32 && c < 127 && c != '\\') ? "%c" : "\\x%02x",
                 static_cast<unsigned char>(c));
  std::fprintf(stderr, "\n--- output (last 2000 bytes) ---\n%s\n",
               out.substr(out.size() > 2000 ? out.size() - 2000 : 0).c_str());
  std::abort();
}

// "PREFIX N: " at the start of `line`, with 1 <= N <= lines.
bool numberedLine(std::string_view line, std::string_view prefix, size_t lineCount) {
  if (!line.starts_with(prefix)) return false;
  line.remove_prefix(prefix.size());
  size_t digits = line.find_first_not_of("0123456789");
  if (digits == 0 || digits == std::string_view::npos || line.substr(digits, 2) != ": ")
    return false;
  unsigned long long n = std::strtoull(std::string(line.substr(0, digits)).c_str(), nullptr, 10);
  return n >= 1 && n <= lineCount;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string script(reinterpret_cast<const char*>(data), size);
  if (waitsTooLong(script)) return -1;

  static brz::GameHost host(BRIZZLET_ASSETS_DIR);
  static const brz::ScriptRunner runner(brz::startBrizzlet, host);

  std::istringstream in(script);
  std::ostringstream printed;
  int status = runner.run(in, printed);
  std::string out = printed.str();

  if (status < brz::kScriptPassed || status > brz::kScriptError)
    broken("status " + std::to_string(status), script, out);
  if (!out.empty() && out.back() != '\n') broken("a line without its end", script, out);
  auto outLines = lines(out);
  if (!outLines.empty() && outLines.back().empty()) outLines.pop_back();
  size_t scriptLines = lines(script).size();
  bool scriptError = false, expectFailed = false;
  for (size_t i = 0; i < outLines.size(); ++i) {
    if (numberedLine(outLines[i], "script error at line ", scriptLines)) {
      scriptError = true;
      if (i + 1 != outLines.size()) broken("output after a script error", script, out);
    }
    if (numberedLine(outLines[i], "expect failed at line ", scriptLines)) expectFailed = true;
  }
  // A script error decides the status; otherwise a failed expect does.
  if ((status == brz::kScriptError) != scriptError ||
      (!scriptError && (status == brz::kScriptExpectFailed) != expectFailed))
    broken("status " + std::to_string(status) + " with a script error " +
               (scriptError ? "printed" : "not printed") + " and a failed expect " +
               (expectFailed ? "printed" : "not printed"),
           script, out);
  return 0;
}
