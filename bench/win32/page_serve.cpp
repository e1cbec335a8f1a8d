// The page's server of the Windows build, alone, for bench/page_wine_bench.cpp, which runs
// it under Wine and times a thousand phones on it from Linux. Prints the port it listens
// on, then reads its standard input a line at a time: a number publishes that snapshot,
// "m" prints the process's private memory and threads ("KB THREADS"), the end of input
// stops it.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>

#include "bench/page_snapshot.h"
#include "bingo/page_server.h"

namespace {
long ThreadsOfThisProcess() {
  const HANDLE all = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 thread{};
  thread.dwSize = sizeof(thread);
  long count = 0;
  for (BOOL more = Thread32First(all, &thread); more; more = Thread32Next(all, &thread))
    if (thread.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  CloseHandle(all);
  return count;
}

void PrintMemory() {
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), memory.cb);
  std::printf("%lu %ld\n", static_cast<unsigned long>(memory.PrivateUsage / 1024), ThreadsOfThisProcess());
}
}  // namespace

int main() {
  auto server = NewPageServer();
  PublishPageState(server.get(), BenchSnapshot(1));
  const PageStart start = StartPageServer(server.get(), 0);
  if (!start.error.empty()) return std::fprintf(stderr, "%s\n", start.error.c_str()), 1;
  std::printf("%d\n", start.port);
  std::fflush(stdout);
  char line[32];
  while (std::fgets(line, sizeof line, stdin) != nullptr) {
    if (line[0] == 'm')
      PrintMemory();
    else
      PublishPageState(server.get(), BenchSnapshot(std::strtoull(line, nullptr, 10)));
    std::fflush(stdout);
  }
  StopPageServer(server.get());
  return 0;
}
