// A thousand phones on the page's event stream, on loopback, from a client written for
// this benchmark (one epoll loop, no HTTP library): how long each of 100 balls takes to
// reach every phone (the median, the 99th percentile and the slowest, against 200 ms),
// how long publishing a snapshot takes the game, and the server's memory per connection
// (its resident memory with the phones connected, less before, against 64 KB). The
// server is the program's own (bingo/page_server), with the program's limits but for the
// connections from one address, which here are all of them.
//
//   page_bench [PHONES [BALLS]]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bingo/page_server.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr double kTargetMs = 200.0;
constexpr double kTargetKilobytes = 64.0;

long StatusField(const char* name) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(name, 0) == 0) return std::atol(line.c_str() + std::string(name).size());
  return 0;
}

// A snapshot the size of a real one in the middle of a game: 40 balls, five recent, a prize.
std::shared_ptr<const PageState> Snapshot(uint64_t number) {
  std::string called;
  for (int ball = 1; ball <= 40; ++ball) called += (ball > 1 ? "," : "") + std::to_string(ball * 2);
  const std::string fields =
      "\"partida\":\"1733775240000-3b0c91ae04f2\",\"hay\":true,\"ultima\":" + std::to_string(number % 99 + 1) +
      ",\"bolas\":40,\"maximo\":99,\"salidas\":[" + called + "],\"recientes\":[80,78,76,74,72],"
      "\"premio\":\"Se juega: bingo\",\"filas\":3,\"importe\":\"\",\"aviso\":\"\","
      "\"dados\":[\"Línea: cartón 0123\"],\"compromiso\":\"\"";
  return std::make_shared<const PageState>(PageStateOf(number, fields, nullptr));
}

int Connect(int port) {
  const int phone = socket(AF_INET, SOCK_STREAM, 0);
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

struct Phones {
  int poll = epoll_create1(0);
  std::vector<int> sockets;
  std::vector<std::string> tails;   // the last bytes each has read
  std::vector<uint64_t> seen;       // the last snapshot each has had whole
  std::vector<double> arrived_ms;   // when it had the snapshot awaited
};

// Reads until every phone has had snapshot `number`; false past `seconds`.
bool AwaitAll(Phones* phones, uint64_t number, Clock::time_point since, int seconds) {
  const std::string mark = "id: " + std::to_string(number) + "\n";
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
      if (phones->seen[phone] < number && tail.find(mark) != std::string::npos &&
          tail.find("\n\n", tail.find(mark)) != std::string::npos) {
        phones->seen[phone] = number;
        phones->arrived_ms[phone] = std::chrono::duration<double, std::milli>(Clock::now() - since).count();
        --waiting;
      }
      if (tail.size() > 4096) tail.erase(0, tail.size() - 2048);
    }
  }
  return waiting == 0;
}

double Percentile(std::vector<double> values, double share) {
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<size_t>(values.size() * share))];
}
}  // namespace

int main(int argc, char** argv) {
  const int phone_count = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int balls = argc > 2 ? std::atoi(argv[2]) : 100;
  rlimit files{};
  getrlimit(RLIMIT_NOFILE, &files);
  files.rlim_cur = files.rlim_max;
  setrlimit(RLIMIT_NOFILE, &files);

  PageLimits limits;
  limits.per_address = phone_count + 10;
  auto server = NewPageServer(limits);
  PublishPageState(server.get(), Snapshot(1));
  const PageStart start = StartPageServer(server.get(), 0);
  if (!start.error.empty()) return std::fprintf(stderr, "%s\n", start.error.c_str()), 1;
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const long rss_before = StatusField("VmRSS:"), threads_before = StatusField("Threads:");

  Phones phones;
  const Clock::time_point connecting = Clock::now();
  for (int one = 0; one < phone_count; ++one) {
    phones.sockets.push_back(Connect(start.port));
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = static_cast<uint64_t>(one);
    epoll_ctl(phones.poll, EPOLL_CTL_ADD, phones.sockets.back(), &event);
  }
  phones.tails.resize(phones.sockets.size());
  phones.seen.assign(phones.sockets.size(), 0);
  phones.arrived_ms.assign(phones.sockets.size(), 0);
  if (!AwaitAll(&phones, 1, connecting, 60)) {
    const long had = std::count(phones.seen.begin(), phones.seen.end(), 1u);
    return std::fprintf(stderr, "only %ld phones of %d connected\n", had, phone_count), 1;
  }
  const double connect_ms = std::chrono::duration<double, std::milli>(Clock::now() - connecting).count();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const long rss_after = StatusField("VmRSS:"), threads_after = StatusField("Threads:");
  if (std::getenv("PAGE_BENCH_PAUSE")) std::this_thread::sleep_for(std::chrono::seconds(std::atoi(std::getenv("PAGE_BENCH_PAUSE"))));

  std::vector<double> all_reached, deliveries, publish_us;
  for (int ball = 0; ball < balls; ++ball) {
    const uint64_t number = static_cast<uint64_t>(ball) + 2;
    const auto snapshot = Snapshot(number);
    const Clock::time_point called = Clock::now();
    PublishPageState(server.get(), snapshot);
    publish_us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - called).count());
    if (!AwaitAll(&phones, number, called, 10)) return std::fprintf(stderr, "ball %d lost\n", ball), 1;
    all_reached.push_back(*std::max_element(phones.arrived_ms.begin(), phones.arrived_ms.end()));
    deliveries.insert(deliveries.end(), phones.arrived_ms.begin(), phones.arrived_ms.end());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  const double per_connection_kb = double(rss_after - rss_before) / phone_count;
  std::printf("%d phones connected in %.0f ms; %ld server threads for them\n", phone_count, connect_ms,
              threads_after - threads_before);
  std::printf("a ball reaching every phone, %d balls: median %.1f ms, 99 %% %.1f ms, slowest %.1f ms "
              "(target 99 %% < %.0f ms: %s)\n", balls, Percentile(all_reached, 0.5),
              Percentile(all_reached, 0.99), Percentile(all_reached, 1.0), kTargetMs,
              Percentile(all_reached, 0.99) < kTargetMs ? "met" : "MISSED");
  std::printf("one phone's ball, %zu deliveries: median %.1f ms, 99 %% %.1f ms\n", deliveries.size(),
              Percentile(deliveries, 0.5), Percentile(deliveries, 0.99));
  std::printf("publishing a snapshot, the game's side: median %.1f us, 90 %% %.1f us, slowest %.1f us\n",
              Percentile(publish_us, 0.5), Percentile(publish_us, 0.9), Percentile(publish_us, 1.0));
  std::printf("server memory: %ld KB resident before, %ld KB with the phones: %.1f KB a connection "
              "(target < %.0f KB: %s)\n", rss_before, rss_after, per_connection_kb, kTargetKilobytes,
              per_connection_kb < kTargetKilobytes ? "met" : "MISSED");
  for (int phone : phones.sockets) close(phone);
  StopPageServer(server.get());
  return 0;
}
