// The phones' page served on the hall's network by cpp-httplib on threads of its own. It
// answers three things only: the page (GET /), its state (GET /estado, with the cartones a
// phone asks for) and its event stream (GET /eventos, Server-Sent Events numbered so that a
// phone reconnecting is sent what it missed). Every other path is 404, every other method
// 405, and no request reaches the game: the server reads only the snapshots published to
// it, never waits on the game, and the game never waits on it. Nothing comes from the
// disk. Limits: the request's size, the headers' size and the time to send them, the
// connections in all and from one address; past them a client is answered and let go.
#pragma once
#include <cstddef>
#include <memory>
#include <string>

#include "bingo/page_state.h"

// Each connection holds a thread, and each thread reserves its stack's address space: a
// 32-bit program has room for fewer of them.
constexpr int kMostPageConnections = sizeof(void*) >= 8 ? 1100 : 500;

struct PageLimits {
  int connections = kMostPageConnections;  // in all: a thousand phones, and room to fetch the page
  int per_address = 12;       // a phone with a few tabs
  size_t request_bytes = 4096;  // a body: a GET has none to speak of
  size_t header_bytes = 16384;  // the request's line and headers, all of them
  int header_milliseconds = 10000;  // from the connection to the end of its headers
  int heartbeat_milliseconds = 15000;  // a comment on the stream, so that dead phones are found
};

struct PageServer;

std::shared_ptr<PageServer> NewPageServer(const PageLimits& limits = PageLimits());

struct PageStart {
  int port = 0;
  std::string error;  // "" when listening
};
// Listens on every interface, on `port`, or on one the system chooses when 0.
PageStart StartPageServer(PageServer* server, int port);
// Stops listening and lets every connection go; the snapshot is kept for the next start.
void StopPageServer(PageServer* server);
bool PageServerListening(const PageServer& server);
// The snapshot every phone is sent from now on; the stream's waiting connections wake.
void PublishPageState(PageServer* server, std::shared_ptr<const PageState> state);

// The page itself, embedded at build time (bingo/page/).
extern const char* const kPageHtml;
extern const std::size_t kPageHtmlSize;
