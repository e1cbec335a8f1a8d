// A thousand phones on the page's event stream, on loopback, from a client written for
// this benchmark (one epoll loop, no HTTP library): how long each of 100 balls takes to
// reach every phone (the median, the 99th percentile and the slowest, against 200 ms),
// how long publishing a snapshot takes the game, and the server's memory per connection
// (its resident memory with the phones connected, less before, against 64 KB). The
// server is the program's own (bingo/page_server) with the program's limits; each phone
// calls from a loopback address of its own.
//
//   page_bench [PHONES [BALLS]]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench/page_phones.h"
#include "bench/page_snapshot.h"
#include "bingo/page_server.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr double kTargetMs = 200.0;
constexpr double kTargetKilobytes = 64.0;

}  // namespace

int main(int argc, char** argv) {
  const int phone_count = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int balls = argc > 2 ? std::atoi(argv[2]) : 100;
  auto server = NewPageServer();
  PublishPageState(server.get(), BenchSnapshot(1));
  const PageStart start = StartPageServer(server.get(), 0);
  if (!start.error.empty()) return std::fprintf(stderr, "%s\n", start.error.c_str()), 1;
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const long rss_before = ProcessStatus("VmRSS:"), threads_before = ProcessStatus("Threads:");

  const Clock::time_point connecting = Clock::now();
  Phones phones = ConnectPhones(start.port, phone_count);
  if (!AwaitAll(&phones, 1, connecting, 60)) {
    const long had = std::count_if(phones.seen.begin(), phones.seen.end(), [](uint64_t one) { return one >= 1; });
    return std::fprintf(stderr, "only %ld phones of %d connected\n", had, phone_count), 1;
  }
  const double connect_ms = std::chrono::duration<double, std::milli>(Clock::now() - connecting).count();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const long rss_after = ProcessStatus("VmRSS:"), threads_after = ProcessStatus("Threads:");

  std::vector<double> all_reached, deliveries, publish_us;
  for (int ball = 0; ball < balls; ++ball) {
    const uint64_t number = static_cast<uint64_t>(ball) + 2;
    const auto snapshot = BenchSnapshot(number);
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
  ClosePhones(&phones);
  StopPageServer(server.get());
  return 0;
}
