// What the phones' page needs of the system's network, one small file a platform
// (page_net_posix.cpp, page_net_win32.cpp): the machine's own addresses, and a few calls
// on a connection's socket that the HTTP library does not offer. A socket travels as the
// library's socket_t widened to an integer, so this header needs no network header.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using NetSocket = std::uintptr_t;

// The IPv4 addresses of the machine's interfaces that are up, loopback left out.
std::vector<std::string> MachineAddresses();
// The other end of a connection; an empty address when unknown.
struct NetPeer {
  std::string address;
  int port = 0;
};
NetPeer PeerOf(NetSocket socket);
NetPeer LocalOf(NetSocket socket);

// What ReceiveWithin and SendWithin return past their time.
constexpr long kNetTimedOut = -2;
// Waits at most `milliseconds` for bytes, then reads what came: their count, 0 once the
// other end closed, -1 on an error, kNetTimedOut when nothing came.
long ReceiveWithin(NetSocket socket, char* into, std::size_t most, int milliseconds);
// Waits at most `milliseconds` for room, then sends what fits: the bytes sent, -1 on an
// error (the other end gone), kNetTimedOut when there was no room.
long SendWithin(NetSocket socket, const char* bytes, std::size_t size, int milliseconds);
void CloseSocket(NetSocket socket);
// Sends what it can of `bytes` without waiting, then ends the connection both ways: the
// thread reading it wakes at once.
void EndConnection(NetSocket socket, const std::string& bytes);
// The listening socket's options: it may listen again at once after a stop, but never
// share its port with another program (the library's own options would let it).
void SetListeningOptions(NetSocket listening);
// The listening socket's queue of connections not yet accepted, as long as the system allows.
void WidenListenQueue(NetSocket listening);
// The calling thread yields the processor to the program's own: the window and the game
// go first when a thousand phones wake at once.
void LowerThisThreadsPriority();
// Room for a thousand phones: the open files a process may hold, raised to what the system
// allows, and a write to a phone gone away is an error returned, never a signal.
void PrepareProcessForConnections();
