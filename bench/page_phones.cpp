#include "bench/page_phones.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {
using Clock = std::chrono::steady_clock;

// Phone `one` calls from an address of its own, 127.0.1.1 and on (all of 127/8 is this
// machine's), as a phone of the hall does from its own: the server's share per address
// holds as it would there.
int Connect(int port, int one) {
  const int phone = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in own{};
  own.sin_family = AF_INET;
  own.sin_addr.s_addr = htonl(0x7F000101u + static_cast<uint32_t>(one / 250) * 256 + static_cast<uint32_t>(one % 250));
  if (bind(phone, reinterpret_cast<sockaddr*>(&own), sizeof own) != 0) {
    std::perror("bind");
    std::exit(1);
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(phone, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    std::perror("connect");
    std::exit(1);
  }
  const std::string ask = "GET /eventos HTTP/1.1\r\nHost: sala\r\n\r\n";
  if (send(phone, ask.data(), ask.size(), 0) != static_cast<ssize_t>(ask.size())) std::exit(1);
  return phone;
}

// The newest snapshot whole in what a phone read: the last "id: N" followed by its end.
uint64_t NewestWhole(const std::string& tail) {
  const size_t end = tail.rfind("\n\n");
  if (end == std::string::npos) return 0;
  const size_t id = tail.rfind("\nid: ", end);
  if (id == std::string::npos) return 0;
  return std::strtoull(tail.c_str() + id + 5, nullptr, 10);
}
}  // namespace

Phones ConnectPhones(int port, int count) {
  rlimit files{};
  getrlimit(RLIMIT_NOFILE, &files);
  files.rlim_cur = files.rlim_max;
  setrlimit(RLIMIT_NOFILE, &files);
  Phones phones;
  phones.poll = epoll_create1(0);
  for (int one = 0; one < count; ++one) {
    phones.sockets.push_back(Connect(port, one));
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = static_cast<uint64_t>(one);
    epoll_ctl(phones.poll, EPOLL_CTL_ADD, phones.sockets.back(), &event);
  }
  phones.tails.resize(phones.sockets.size());
  phones.seen.assign(phones.sockets.size(), 0);
  phones.arrived_ms.assign(phones.sockets.size(), 0);
  return phones;
}

bool AwaitAll(Phones* phones, uint64_t number, Clock::time_point since, int seconds) {
  size_t waiting = 0;
  for (uint64_t one : phones->seen) waiting += one < number;
  epoll_event events[256];
  char buffer[16384];
  const Clock::time_point end = Clock::now() + std::chrono::seconds(seconds);
  while (waiting > 0 && Clock::now() < end) {
    const int ready = epoll_wait(phones->poll, events, 256, 100);
    for (int at = 0; at < ready; ++at) {
      const size_t phone = events[at].data.u64;
      const ssize_t got = recv(phones->sockets[phone], buffer, sizeof buffer, 0);
      if (got <= 0) continue;
      std::string& tail = phones->tails[phone];
      tail.append(buffer, static_cast<size_t>(got));
      const uint64_t newest = std::max(phones->seen[phone], NewestWhole(tail));
      if (phones->seen[phone] < number && newest >= number) {
        phones->arrived_ms[phone] = std::chrono::duration<double, std::milli>(Clock::now() - since).count();
        --waiting;
      }
      phones->seen[phone] = newest;
      if (tail.size() > 4096) tail.erase(0, tail.size() - 2048);
    }
  }
  return waiting == 0;
}

void ClosePhones(Phones* phones) {
  for (int phone : phones->sockets) close(phone);
  close(phones->poll);
  phones->sockets.clear();
}

long ProcessStatus(const char* name) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(name, 0) == 0) return std::atol(line.c_str() + std::string(name).size());
  return 0;
}

double Percentile(std::vector<double> values, double share) {
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<size_t>(values.size() * share))];
}
