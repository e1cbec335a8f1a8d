#include "bingo/page_address.h"

namespace {
bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

int PrivateRank(const std::string& address) {
  if (StartsWith(address, "192.168.")) return 0;
  if (StartsWith(address, "10.")) return 1;
  for (int second = 16; second <= 31; ++second)
    if (StartsWith(address, ("172." + std::to_string(second) + ".").c_str())) return 2;
  if (StartsWith(address, "169.254.")) return 4;  // a link with no address given: last
  return 3;
}
}  // namespace

std::string HallNetworkAddress(const std::vector<std::string>& addresses) {
  std::string best = "127.0.0.1";
  int best_rank = 5;
  for (const std::string& address : addresses) {
    const int rank = PrivateRank(address);
    if (rank < best_rank) {
      best = address;
      best_rank = rank;
    }
  }
  return best;
}

std::string PageAddressOf(const std::string& host, int port) {
  return "http://" + host + ":" + std::to_string(port) + "/";
}
