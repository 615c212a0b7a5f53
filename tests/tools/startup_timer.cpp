// Measures a GUI program's start: time from exec to its first frame on screen and its peak
// resident memory. The program reports the first frame on stderr ("first-frame-ms N",
// printed by the SDL backend when XB_EXEC_NS is set); it is then ended and its peak
// resident set read from the kernel.
//
//   startup_timer [-n runs] [--settle ms] program [args...]
//
// Prints one line per run and the medians. Run it with a display (e.g. under Xvfb).
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

double monoNs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

struct Run {
  double firstFrameMs = -1;
  long peakKb = 0;
  double cpuMs = 0;  // user + system time of the whole run (with --settle 0: up to the frame)
};

Run runOnce(char** argv, int settleMs) {
  int errPipe[2];
  if (pipe(errPipe) != 0) {
    std::perror("pipe");
    std::exit(2);
  }
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%.0f", monoNs());
  setenv("XB_EXEC_NS", stamp, 1);
  pid_t pid = fork();
  if (pid == 0) {
    dup2(errPipe[1], 2);
    close(errPipe[0]);
    close(errPipe[1]);
    execvp(argv[0], argv);
    std::fprintf(stderr, "exec failed: %s\n", std::strerror(errno));
    _exit(127);
  }
  close(errPipe[1]);
  Run r;
  std::string buf;
  const double deadline = monoNs() + 10e9;
  while (monoNs() < deadline) {
    pollfd p{errPipe[0], POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char chunk[512];
    ssize_t n = read(errPipe[0], chunk, sizeof chunk);
    if (n <= 0) break;
    buf.append(chunk, static_cast<size_t>(n));
    size_t at = buf.find("first-frame-ms ");
    if (at != std::string::npos && buf.find('\n', at) != std::string::npos) {
      r.firstFrameMs = std::strtod(buf.c_str() + at + 15, nullptr);
      break;
    }
  }
  if (r.firstFrameMs < 0) std::fprintf(stderr, "no first frame reported; program said:\n%s\n", buf.c_str());
  // Let it settle (what it does after the first frame also counts for memory), then end it.
  usleep(static_cast<useconds_t>(settleMs) * 1000);
  kill(pid, SIGTERM);
  int status;
  rusage ru{};
  wait4(pid, &status, 0, &ru);
  close(errPipe[0]);
  r.peakKb = ru.ru_maxrss;
  r.cpuMs = (static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 +
             static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3);
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 10, settle = 200, i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    if (!std::strcmp(argv[i], "-n") && i + 1 < argc) runs = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--settle") && i + 1 < argc) settle = std::atoi(argv[++i]);
    else break;
  }
  if (i >= argc) {
    std::fprintf(stderr, "usage: startup_timer [-n runs] [--settle ms] program [args...]\n");
    return 2;
  }
  std::vector<double> ms, kb, cpu;
  for (int k = 0; k < runs; ++k) {
    Run r = runOnce(argv + i, settle);
    std::printf("run %d: first frame %.2f ms, peak RSS %.1f MB, CPU %.1f ms\n", k + 1,
                r.firstFrameMs, r.peakKb / 1024.0, r.cpuMs);
    cpu.push_back(r.cpuMs);
    if (r.firstFrameMs >= 0) ms.push_back(r.firstFrameMs);
    kb.push_back(static_cast<double>(r.peakKb));
  }
  std::printf("median: first frame %.2f ms, peak RSS %.1f MB, CPU %.1f ms (%zu runs)\n",
              median(ms), median(kb) / 1024.0, median(cpu), kb.size());
  return ms.empty() ? 1 : 0;
}
