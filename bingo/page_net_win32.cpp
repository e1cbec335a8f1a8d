// The page's network calls on Windows: GetAdaptersAddresses, getpeername, select,
// shutdown. Windows keeps no per-process limit of sockets to raise, and a write to a
// closed connection is an error, never a signal.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include "bingo/page_net.h"

namespace {
SOCKET Handle(NetSocket socket) { return static_cast<SOCKET>(socket); }

std::string TextOf(const in_addr& address) {
  char text[INET_ADDRSTRLEN] = {};
  return inet_ntop(AF_INET, &address, text, sizeof text) ? std::string(text) : std::string();
}
}  // namespace

std::vector<std::string> MachineAddresses() {
  std::vector<std::string> found;
  ULONG size = 16 * 1024;
  std::vector<unsigned char> buffer(size);
  auto* adapters = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
  const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
  if (GetAdaptersAddresses(AF_INET, flags, nullptr, adapters, &size) == ERROR_BUFFER_OVERFLOW) {
    buffer.resize(size);
    adapters = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
  }
  if (GetAdaptersAddresses(AF_INET, flags, nullptr, adapters, &size) != NO_ERROR) return found;
  for (const IP_ADAPTER_ADDRESSES* one = adapters; one != nullptr; one = one->Next) {
    if (one->OperStatus != IfOperStatusUp || one->IfType == IF_TYPE_SOFTWARE_LOOPBACK) continue;
    for (const IP_ADAPTER_UNICAST_ADDRESS* at = one->FirstUnicastAddress; at; at = at->Next)
      found.push_back(TextOf(reinterpret_cast<const sockaddr_in*>(at->Address.lpSockaddr)->sin_addr));
  }
  return found;
}

namespace {
// One end of a connection, as getpeername or getsockname gives it.
template <typename GetName>
NetPeer EndOf(NetSocket socket, GetName get_name) {
  NetPeer end;
  sockaddr_storage name{};
  int size = sizeof name;
  if (get_name(Handle(socket), reinterpret_cast<sockaddr*>(&name), &size) != 0) return end;
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

namespace {
// select takes any socket on Windows (its sets are lists, not bit masks).
int WaitFor(NetSocket socket, bool to_write, int milliseconds) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(Handle(socket), &set);
  timeval wait{milliseconds / 1000, (milliseconds % 1000) * 1000};
  return select(0, to_write ? nullptr : &set, to_write ? &set : nullptr, nullptr, &wait);
}
}  // namespace

long ReceiveWithin(NetSocket socket, char* into, std::size_t most, int milliseconds) {
  const int ready = WaitFor(socket, false, milliseconds);
  if (ready == 0) return kNetTimedOut;
  if (ready < 0) return -1;
  return recv(Handle(socket), into, static_cast<int>(most), 0);
}

long SendWithin(NetSocket socket, const char* bytes, std::size_t size, int milliseconds) {
  const int ready = WaitFor(socket, true, milliseconds);
  if (ready == 0) return kNetTimedOut;
  if (ready < 0) return -1;
  return send(Handle(socket), bytes, static_cast<int>(size), 0);
}

void CloseSocket(NetSocket socket) { closesocket(Handle(socket)); }

void EndConnection(NetSocket socket, const std::string& bytes) {
  u_long no_wait = 1;
  ioctlsocket(Handle(socket), FIONBIO, &no_wait);
  if (!bytes.empty()) send(Handle(socket), bytes.data(), static_cast<int>(bytes.size()), 0);
  shutdown(Handle(socket), SD_BOTH);
}

void SetListeningOptions(NetSocket listening) {
  const BOOL yes = TRUE;
  setsockopt(Handle(listening), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes),
             sizeof yes);
}

void WidenListenQueue(NetSocket listening) { listen(Handle(listening), SOMAXCONN); }

void LowerThisThreadsPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }

void PrepareProcessForConnections() {}
