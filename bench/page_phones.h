// Phones on the page's event stream, for the benchmarks: loopback connections read by one
// epoll loop, each noting when it had a snapshot whole. Linux only, as the benchmarks are.
#pragma once
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

struct Phones {
  int poll = -1;
  std::vector<int> sockets;
  std::vector<std::string> tails;  // the last bytes each has read
  std::vector<uint64_t> seen;      // the newest snapshot each has had whole
  std::vector<double> arrived_ms;  // when it had the snapshot awaited
};

// `count` phones asking for the stream at 127.0.0.1:port; exits on a refusal.
Phones ConnectPhones(int port, int count);
// Reads until every phone has had snapshot `number` or a newer one, noting when, since
// `since`; false past `seconds`.
bool AwaitAll(Phones* phones, uint64_t number, std::chrono::steady_clock::time_point since, int seconds);
void ClosePhones(Phones* phones);
// The process's status line `name` ("VmRSS:", "Threads:"), as a number.
long ProcessStatus(const char* name);
double Percentile(std::vector<double> values, double share);
