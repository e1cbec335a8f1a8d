// The page's network calls on Linux: getifaddrs, getpeername, poll, shutdown, setrlimit.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "bingo/page_net.h"

namespace {
int Fd(NetSocket socket) { return static_cast<int>(socket); }

std::string TextOf(const in_addr& address) {
  char text[INET_ADDRSTRLEN] = {};
  return inet_ntop(AF_INET, &address, text, sizeof text) ? std::string(text) : std::string();
}
}  // namespace

std::vector<std::string> MachineAddresses() {
  std::vector<std::string> found;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return found;
  for (const ifaddrs* one = list; one != nullptr; one = one->ifa_next) {
    if (one->ifa_addr == nullptr || one->ifa_addr->sa_family != AF_INET) continue;
    if ((one->ifa_flags & IFF_UP) == 0 || (one->ifa_flags & IFF_LOOPBACK) != 0) continue;
    sockaddr_in address{};
    std::memcpy(&address, one->ifa_addr, sizeof address);
    found.push_back(TextOf(address.sin_addr));
  }
  freeifaddrs(list);
  return found;
}

namespace {
// One end of a connection, as getpeername or getsockname gives it.
template <typename GetName>
NetPeer EndOf(NetSocket socket, GetName get_name) {
  NetPeer end;
  sockaddr_storage name{};
  socklen_t size = sizeof name;
  if (get_name(Fd(socket), reinterpret_cast<sockaddr*>(&name), &size) != 0) return end;
  if (name.ss_family != AF_INET) {
    end.address = "?";
    return end;
  }
  const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(&name);
  end.address = TextOf(ipv4->sin_addr);
  end.port = ntohs(ipv4->sin_port);
  return end;
}
}  // namespace

NetPeer PeerOf(NetSocket socket) { return EndOf(socket, getpeername); }
NetPeer LocalOf(NetSocket socket) { return EndOf(socket, getsockname); }

long ReceiveWithin(NetSocket socket, char* into, std::size_t most, int milliseconds) {
  pollfd wait{Fd(socket), POLLIN, 0};
  const int ready = poll(&wait, 1, milliseconds);
  if (ready == 0) return kNetTimedOut;
  if (ready < 0) return errno == EINTR ? kNetTimedOut : -1;
  return static_cast<long>(recv(Fd(socket), into, most, 0));
}

long SendWithin(NetSocket socket, const char* bytes, std::size_t size, int milliseconds) {
  pollfd wait{Fd(socket), POLLOUT, 0};
  const int ready = poll(&wait, 1, milliseconds);
  if (ready == 0) return kNetTimedOut;
  if (ready < 0) return errno == EINTR ? kNetTimedOut : -1;
  return static_cast<long>(send(Fd(socket), bytes, size, MSG_NOSIGNAL));
}

void CloseSocket(NetSocket socket) { close(Fd(socket)); }

void EndConnection(NetSocket socket, const std::string& bytes) {
  if (!bytes.empty()) send(Fd(socket), bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
  shutdown(Fd(socket), SHUT_RDWR);
}

void SetListeningOptions(NetSocket listening) {
  const int yes = 1;
  setsockopt(Fd(listening), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

void WidenListenQueue(NetSocket listening) { listen(Fd(listening), SOMAXCONN); }

void LowerThisThreadsPriority() {
  // Linux gives each thread its own nice value, named by its thread id.
  setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
}

void PrepareProcessForConnections() {
  rlimit files{};
  if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
    files.rlim_cur = files.rlim_max < 65536 ? files.rlim_max : 65536;
    setrlimit(RLIMIT_NOFILE, &files);
  }
  signal(SIGPIPE, SIG_IGN);
}
