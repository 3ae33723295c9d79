// SPDX-License-Identifier: GPL-3.0-or-later
// How fast the scenario runner plays a busy round on its virtual clock:
// `brizzlet-script` plays one hour of a Time Attack round with a shot at a
// mosquito every 250 ms and a reload whenever the magazine is empty (every
// shot hits, so the round never runs out and the mosquitoes get ever faster).
// Each shot reads and decodes two magazine pictures, as in the game.
//
//   bench_script_hour BRIZZLET_SCRIPT ASSETS_DIR [RUNS [FLOOR_RUNNER]]
// prints the median CPU time (user + system) of RUNS runs of the whole
// process, start-up included; with FLOOR_RUNNER (bench_script_floor, the
// same runner with pictures that are not decoded) that of the same hour
// there, its floor.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kShotEveryMs = 250;
constexpr int kShots = 60 * 60 * 1000 / kShotEveryMs;

std::string busyHour() {
  std::string script = "# One hour of Time Attack, a shot every 250 ms.\nclick menutama.Command1\n";
  for (int shot = 0; shot < kShots; ++shot) {
    script += "click Form1.nyamuk" + std::to_string(shot % 5 + 1) + "\n";
    if (shot % 6 == 5) script += "click Form1.reload\n";
    script += "wait " + std::to_string(kShotEveryMs) + "\n";
  }
  // Still the same round an hour later, every shot having hit.
  script += "expect Form1.Visible True\n";
  script += "expect Form1.Caption \"Brizzlet!!! ~ Time Attack\"\n";
  script += "expect Form1.ganas.Text \"" + std::to_string(kShots) + "\"\n";
  return script;
}

double seconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Runs RUNNER on the script RUNS times in ASSETS, noting each run's CPU and
// wall time; false (said on stderr) when a run fails.
bool timeRuns(std::string runner, std::string path, const std::string& assets, int runs,
              std::vector<double>& cpu, std::vector<double>& wall) {
  for (int run = 0; run < runs; ++run) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, assets.c_str());
    char* args[] = {runner.data(), path.data(), nullptr};
    auto started = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, runner.c_str(), &actions, nullptr, args, environ) != 0) {
      std::perror("posix_spawn");
      return false;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    wall.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::fprintf(stderr, "%s failed the busy hour (status %d): run it with %s\n", runner.c_str(),
                   WIFEXITED(status) ? WEXITSTATUS(status) : -1, path.c_str());
      return false;
    }
    cpu.push_back(seconds(usage.ru_utime) + seconds(usage.ru_stime));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: bench_script_hour BRIZZLET_SCRIPT ASSETS_DIR [RUNS [FLOOR_RUNNER]]\n");
    return 2;
  }
  std::string runner = std::filesystem::absolute(argv[1]).string();
  std::string assets = argv[2];
  int runs = argc > 3 ? std::atoi(argv[3]) : 5;

  auto file = std::filesystem::temp_directory_path() /
              ("brizzlet-busy-hour-" + std::to_string(getpid()) + ".script");
  std::ofstream(file) << busyHour();

  std::vector<double> cpu, wall, floorCpu, floorWall;
  if (!timeRuns(runner, file.string(), assets, runs, cpu, wall)) return 1;
  if (argc > 4 && !timeRuns(std::filesystem::absolute(argv[4]).string(), file.string(), assets,
                            runs, floorCpu, floorWall))
    return 1;
  std::filesystem::remove(file);
  std::printf(
      "virtual-time speed: one hour of busy Time Attack (%d shots, %d picture loads) "
      "in %.3f s CPU (median of %d; wall %.3f s) [target < 0.3 s]\n",
      kShots, kShots * 2 + kShots / 6, median(cpu), runs, median(wall));
  if (!floorCpu.empty())
    std::printf("  its floor, the same hour with no picture decoded: %.3f s CPU (wall %.3f s)\n",
                median(floorCpu), median(floorWall));
  std::printf("figure script_hour %.4f s\n", median(cpu));
  if (!floorCpu.empty()) std::printf("figure script_hour_floor %.4f s\n", median(floorCpu));
  return 0;
}
