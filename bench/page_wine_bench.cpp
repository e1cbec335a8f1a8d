// The Windows program's page server under Wine with a thousand phones on it, from Linux:
// bench/win32/page_serve.exe (of the Windows build) is run by WINE, the phones connect
// from loopback addresses of their own (bench/page_phones), and each of 100 balls is told
// to the server through its standard input and timed until every phone has it (the time
// includes the pipe's hop, well under a millisecond). Also the Windows process's memory per
// connection (its resident memory as Linux counts it: Wine's process is a Linux one) and
// its threads, as Windows' Toolhelp counts them.
//
//   page_wine_bench WINE PAGE_SERVE.exe [PHONES [BALLS]]
//   e.g. page_wine_bench /usr/lib/wine/wine64 build/windows64/bench/win32/page_serve.exe
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench/page_phones.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr double kTargetMs = 200.0;
constexpr double kTargetKilobytes = 64.0;

struct Served {
  pid_t pid = -1;
  FILE* ask = nullptr;     // its standard input
  FILE* answer = nullptr;  // its standard output
};

Served RunUnderWine(const char* wine, const char* exe) {
  int to_server[2], from_server[2];
  if (pipe(to_server) != 0 || pipe(from_server) != 0) std::exit(1);
  Served served;
  served.pid = fork();
  if (served.pid == 0) {
    dup2(to_server[0], 0);
    dup2(from_server[1], 1);
    close(to_server[1]);
    close(from_server[0]);
    setenv("WINEDEBUG", "-all", 1);
    setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
    execl(wine, wine, exe, static_cast<char*>(nullptr));
    std::_Exit(127);
  }
  close(to_server[0]);
  close(from_server[1]);
  served.ask = fdopen(to_server[1], "w");
  served.answer = fdopen(from_server[0], "r");
  return served;
}

std::string Line(const Served& served) {
  char line[64] = {};
  if (std::fgets(line, sizeof line, served.answer) == nullptr) return "";
  return line;
}

// The process's resident memory in KB, from /proc.
long ResidentKilobytes(pid_t pid) {
  FILE* status = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
  if (status == nullptr) return 0;
  char line[256];
  long kilobytes = 0;
  while (std::fgets(line, sizeof line, status) != nullptr)
    if (std::sscanf(line, "VmRSS: %ld", &kilobytes) == 1) break;
  std::fclose(status);
  return kilobytes;
}

std::string Ask(const Served& served, const std::string& what) {
  std::fprintf(served.ask, "%s\n", what.c_str());
  std::fflush(served.ask);
  return what == "m" ? Line(served) : "";
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return std::fprintf(stderr, "uso: page_wine_bench WINE PAGE_SERVE.exe [PHONES [BALLS]]\n"), 2;
  const int phone_count = argc > 3 ? std::atoi(argv[3]) : 1000;
  const int balls = argc > 4 ? std::atoi(argv[4]) : 100;
  std::signal(SIGPIPE, SIG_IGN);
  Served served = RunUnderWine(argv[1], argv[2]);
  const int port = std::atoi(Line(served).c_str());
  if (port <= 0) return std::fprintf(stderr, "page_serve.exe gave no port\n"), 1;
  long kb_before = 0, threads_before = 0, kb_after = 0, threads_after = 0;
  std::sscanf(Ask(served, "m").c_str(), "%*s %ld", &threads_before);
  kb_before = ResidentKilobytes(served.pid);

  const Clock::time_point connecting = Clock::now();
  Phones phones = ConnectPhones(port, phone_count);
  if (!AwaitAll(&phones, 1, connecting, 120)) return std::fprintf(stderr, "not every phone connected\n"), 1;
  const double connect_ms = std::chrono::duration<double, std::milli>(Clock::now() - connecting).count();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  std::sscanf(Ask(served, "m").c_str(), "%*s %ld", &threads_after);
  kb_after = ResidentKilobytes(served.pid);

  std::vector<double> all_reached;
  for (int ball = 0; ball < balls; ++ball) {
    const uint64_t number = static_cast<uint64_t>(ball) + 2;
    const Clock::time_point called = Clock::now();
    Ask(served, std::to_string(number));
    if (!AwaitAll(&phones, number, called, 10)) return std::fprintf(stderr, "ball %d lost\n", ball), 1;
    all_reached.push_back(*std::max_element(phones.arrived_ms.begin(), phones.arrived_ms.end()));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  const double per_connection_kb = double(kb_after - kb_before) / phone_count;
  std::printf("Windows build under Wine: %d phones connected in %.0f ms; %ld server threads for them\n",
              phone_count, connect_ms, threads_after - threads_before);
  std::printf("a ball reaching every phone, %d balls: median %.1f ms, 99 %% %.1f ms, slowest %.1f ms "
              "(target 99 %% < %.0f ms: %s)\n", balls, Percentile(all_reached, 0.5),
              Percentile(all_reached, 0.99), Percentile(all_reached, 1.0), kTargetMs,
              Percentile(all_reached, 0.99) < kTargetMs ? "met" : "MISSED");
  std::printf("server resident memory: %ld KB before, %ld KB with the phones: %.1f KB a connection "
              "(target < %.0f KB: %s)\n", kb_before, kb_after, per_connection_kb, kTargetKilobytes,
              per_connection_kb < kTargetKilobytes ? "met" : "MISSED");
  ClosePhones(&phones);
  std::fclose(served.ask);  // the end of its input stops it
  int status = 0;
  waitpid(served.pid, &status, 0);
  return 0;
}
