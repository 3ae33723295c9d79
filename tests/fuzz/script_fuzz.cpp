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

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>

#include "menu/start.h"
#include "platform/sdl_pictures.h"
#include "tools/script_runner.h"

namespace {

// Waits cost real time (every tick they cover runs): a script whose waits add
// up to more than this is left to the runner's own tests of long waits.
constexpr unsigned long long kMostVirtualTime = 200'000;

bool waitsTooLong(const std::string& script) {
  static const std::regex wait(R"(^[ \t]*wait[ \t]+([0-9]+))");
  unsigned long long total = 0;
  std::istringstream in(script);
  for (std::string line; std::getline(in, line);) {
    std::smatch m;
    if (!std::regex_search(line, m, wait)) continue;
    if (m[1].length() > 6) return true;
    total += std::stoull(m[1]);
    if (total > kMostVirtualTime) return true;
  }
  return false;
}

[[noreturn]] void broken(const std::string& what, const std::string& script,
                         const std::string& out) {
  std::fprintf(stderr, "scenario runner broke its promise: %s\n--- script ---\n", what.c_str());
  for (char c : script) {
    auto u = static_cast<unsigned char>(c);
    if (c == '\n' || (u >= 32 && u < 127 && c != '\\'))
      std::fputc(c, stderr);
    else
      std::fprintf(stderr, "\\x%02x", u);
  }
  std::fprintf(stderr, "\n--- output ---\n%s\n",
               out.substr(out.size() - std::min<size_t>(out.size(), 2000)).c_str());
  std::abort();
}

// The line numbers of the output's lines that begin "PREFIX N: ", in order;
// 0 for one whose N is no line of the script.
std::vector<unsigned long> numbered(const std::string& out, const std::string& prefix,
                                    size_t scriptLines, size_t& lastIndex) {
  const std::regex line("^" + prefix + "([0-9]{1,9}): ");
  std::vector<unsigned long> found;
  std::istringstream in(out);
  size_t index = 0;
  for (std::string l; std::getline(in, l); ++index) {
    std::smatch m;
    if (!std::regex_search(l, m, line)) continue;
    unsigned long n = std::stoul(m[1]);
    found.push_back(n >= 1 && n <= scriptLines ? n : 0);
    lastIndex = index;
  }
  return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string script(reinterpret_cast<const char*>(data), size);
  if (waitsTooLong(script)) return -1;

  static brz::SdlPictureDecoder decoder;
  brz::Services services;
  services.pictures = &decoder;
  static const brz::ScriptRunner runner(
      [](brz::Runtime& rt) {
        rt.setStartDirectory(BRIZZLET_ASSETS_DIR);
        rt.setScreenSize(15360, 11520);
        brz::startBrizzlet(rt);
      },
      services);

  std::istringstream in(script);
  std::ostringstream printed;
  int status = runner.run(in, printed);
  std::string out = printed.str();

  if (status < brz::kScriptPassed || status > brz::kScriptError)
    broken("status " + std::to_string(status), script, out);
  if (!out.empty() && out.back() != '\n') broken("a line without its end", script, out);
  size_t scriptLines = std::count(script.begin(), script.end(), '\n') +
                       (script.empty() || script.back() == '\n' ? 0 : 1);
  size_t outLines = std::count(out.begin(), out.end(), '\n'), lastError = 0, lastExpect = 0;
  auto errors = numbered(out, "script error at line ", scriptLines, lastError);
  auto expects = numbered(out, "expect failed at line ", scriptLines, lastExpect);
  if (std::count(errors.begin(), errors.end(), 0) || std::count(expects.begin(), expects.end(), 0))
    broken("a line number that is no line of the script", script, out);
  if (errors.size() > 1 || (errors.size() == 1 && lastError + 1 != outLines))
    broken("output after a script error", script, out);
  if ((status == brz::kScriptError) != !errors.empty())
    broken("status " + std::to_string(status) + " and " + std::to_string(errors.size()) +
               " script errors",
           script, out);
  if (status != brz::kScriptError && (status == brz::kScriptExpectFailed) != !expects.empty())
    broken("status " + std::to_string(status) + " and " + std::to_string(expects.size()) +
               " failed expects",
           script, out);
  return 0;
}
