// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the fuzz target without libFuzzer: every file named on the command
// line (or found in a directory named there), then a fixed number of seeded
// byte-level mutations of them. The same seed always makes the same inputs.
//
//   fuzz_replay [--runs N] [--seed S] FILE|DIR...
//   BRIZZLET_FUZZ_RUNS=100000 ctest -R fuzz    (a longer run by hand)
#include <malloc.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/fuzz/script_fuzz.h"

namespace {

namespace fs = std::filesystem;

// Words a mutation drops in: the runner's commands, the game's names and the
// numbers at the edges of what a line may hold.
// clang-format off
const std::vector<std::string> kWords = {
    "wait", "click", "clickat", "move", "moveat", "key", "close", "print", "expect", "dump",
    "trace", "on", "off", "space", "enter", "menutama", "Form1", "Form1.nyamuk1", "Form1.nyamuk5",
    "Form1.Frame1", "Form1.reload", "Form1.Command1", "Form1.Command3(0)", "Form1.Command3(1)",
    "Form1.Command3", "Form1.Command3(2)", "menutama.Command1", "menutama.Command2",
    "menutama.Command3", "menutama.Command5", "menutama.Picture2", "menutama.Check1",
    "menutama.Label3(5)", "menutama.Timer1", "Form1.Timer1", "Form1.Line1", ".Text", ".Left",
    ".Caption", ".Visible", ".BackColor", ".Path", ".ActiveControl", ".FileName", ".Interval", "0",
    "-0", "1", "-1", "0.5", "3877.5", "-400", "9900", "65535", "2147483648",
    "99999999999999999999", "340282356779733661637539395458142568448", "1e9", "nan", "inf", "1.",
    ".5", "--1", "\"", "\"\"", "\"a\\\"b\"", "True", "&H0000FF00", "#", "(", ")", "()", "(-1)",
    "(99999999)", "\t", "\r", " ", "\n", std::string(300, 'x')};
// clang-format on

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int run(const std::string& input) {
  return LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

class Mutator {
 public:
  explicit Mutator(std::uint64_t seed) : random_(seed) {}

  std::string mutate(std::string s, const std::vector<std::string>& corpus) {
    for (int n = 1 + pick(6); n > 0; --n) {
      size_t at = s.empty() ? 0 : pick(static_cast<int>(s.size()));
      switch (pick(8)) {
        case 0:  // flip a bit
          if (!s.empty()) s[at] = static_cast<char>(s[at] ^ (1 << pick(8)));
          break;
        case 1:  // any byte at all
          s.insert(s.begin() + static_cast<long>(at), static_cast<char>(pick(256)));
          break;
        case 2:  // cut a stretch
          s.erase(at, pick(40));
          break;
        case 3:  // a word from the dictionary
          s.insert(at, kWords[pick(std::size(kWords))]);
          break;
        case 4: {  // a word replaced, up to the next blank
          size_t end = s.find_first_of(" \t\n", at);
          s.replace(at, end == std::string::npos ? s.size() - at : end - at,
                    kWords[pick(std::size(kWords))]);
          break;
        }
        case 5: {  // a line of this script repeated elsewhere
          size_t begin = s.rfind('\n', at);
          begin = begin == std::string::npos ? 0 : begin + 1;
          size_t end = s.find('\n', at);
          std::string line = s.substr(begin, end == std::string::npos ? end : end - begin + 1);
          s.insert(pick(static_cast<int>(s.size()) + 1), line);
          break;
        }
        case 6: {  // the head of this script, the tail of another
          const std::string& other = corpus[pick(static_cast<int>(corpus.size()))];
          s = s.substr(0, at) +
              other.substr(other.empty() ? 0 : pick(static_cast<int>(other.size())));
          break;
        }
        default:  // a new line with a random command and arguments
          std::string line = kWords[pick(11)];
          for (int w = pick(4); w > 0; --w)
            line += std::string(" ") + kWords[pick(std::size(kWords))];
          s.insert(at, line + "\n");
          break;
      }
    }
    if (s.size() > 8192) s.resize(8192);
    return s;
  }

 private:
  int pick(int n) { return n <= 0 ? 0 : static_cast<int>(random_() % static_cast<unsigned>(n)); }
  int pick(size_t n) { return pick(static_cast<int>(n)); }
  std::mt19937_64 random_;
};

}  // namespace

int main(int argc, char** argv) {
  long runs =
      std::getenv("BRIZZLET_FUZZ_RUNS") ? std::atol(std::getenv("BRIZZLET_FUZZ_RUNS")) : 20000;
  std::uint64_t seed = 1;
  std::vector<std::string> corpus;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--runs" && i + 1 < argc) {
      runs = std::atol(argv[++i]);
    } else if (arg == "--seed" && i + 1 < argc) {
      seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (fs::is_directory(arg)) {
      std::vector<fs::path> files;  // sorted, so a seed makes the same inputs anywhere
      for (const auto& entry : fs::directory_iterator(arg))
        if (entry.is_regular_file() &&
            (entry.path().extension() == ".script" || entry.path().extension().empty()))
          files.push_back(entry.path());
      std::sort(files.begin(), files.end());
      for (const auto& file : files) corpus.push_back(readFile(file));
    } else {
      corpus.push_back(readFile(arg));
    }
  }
  if (corpus.empty()) corpus.push_back("");

  // Every input starts the game afresh and decodes its pictures again: the
  // memory one run frees is kept for the next, not handed back to the system
  // and faulted in again, which costs more than the runs themselves.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  long skipped = 0;
  for (const auto& input : corpus) skipped += run(input) < 0;
  Mutator mutator(seed);
  for (long n = 0; n < runs; ++n)
    skipped += run(mutator.mutate(corpus[n % corpus.size()], corpus)) < 0;
  std::printf(
      "%zu seed inputs and %ld mutations (seed %llu) ran; %ld left alone for their long waits\n",
      corpus.size(), runs, static_cast<unsigned long long>(seed), skipped);
  return 0;
}
