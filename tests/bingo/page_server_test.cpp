// The phones' page's server through real loopback sockets: what it serves, its event
// stream and how a reconnecting phone catches up, and hostile requests, each answered
// with its status while the server goes on serving the page.
#include "bingo/page_server.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

#include "card/layout.h"
#include "tests/bingo/page_client.h"

namespace {
const char* const kCode = "4730F0CA";

std::shared_ptr<const PageState> StateNumber(uint64_t number, int last) {
  auto cards = std::make_shared<PageCards>();
  cards->by_code.emplace(kCode, PlanCard(0x4730F0CAu));
  const std::string fields = "\"partida\":\"1-ab\",\"hay\":true,\"ultima\":" + std::to_string(last);
  return std::make_shared<const PageState>(PageStateOf(number, fields, cards));
}

// Header lines of 1 KB each, `bytes` of them in all.
std::string ManyHeaders(size_t bytes) {
  std::string headers;
  for (size_t line = 0; headers.size() < bytes; ++line)
    headers += "X-Relleno-" + std::to_string(line) + ": " + std::string(1000, 'x') + "\r\n";
  return headers;
}

struct PageServerTest : ::testing::Test {
  void SetUp() override { Start(PageLimits()); }
  // The server again, with other limits.
  void Restart(const PageLimits& limits) {
    StopPageServer(server.get());
    Start(limits);
  }
  void Start(const PageLimits& limits) {
    server = NewPageServer(limits);
    PublishPageState(server.get(), StateNumber(1, 47));
    const PageStart start = StartPageServer(server.get(), 0);
    ASSERT_EQ(start.error, "");
    port = start.port;
  }
  // The page still comes whole, whatever came before.
  void ExpectPageServed() {
    const std::string answer = GetFromPage(port, "/");
    EXPECT_EQ(StatusOf(answer), 200) << answer.substr(0, 200);
    EXPECT_NE(answer.find("Mis cartones"), std::string::npos);
  }
  std::shared_ptr<PageServer> server;
  int port = 0;
};

TEST_F(PageServerTest, ServesThePageItsStateWithTheCartonesAskedAndNothingElse) {
  const std::string page = GetFromPage(port, "/");
  EXPECT_EQ(StatusOf(page), 200);
  EXPECT_NE(page.find("Content-Type: text/html; charset=utf-8"), std::string::npos);
  EXPECT_NE(page.find("Content-Security-Policy: default-src 'none'"), std::string::npos);
  EXPECT_NE(page.find(std::string(kPageHtml, 200)), std::string::npos);

  const std::string state = GetFromPage(port, "/estado?cartones=4730f0ca,00000000,nada");
  EXPECT_EQ(StatusOf(state), 200);
  const CardLayout layout = PlanCard(0x4730F0CAu);
  std::string first_row = "[";
  for (int column = 0; column < kCardColumns; ++column)
    first_row += (column ? "," : "") + std::to_string(layout.cell[0][column]);
  EXPECT_NE(state.find("{\"n\":1,\"partida\":\"1-ab\",\"hay\":true,\"ultima\":47,\"cartones\":{"
                       "\"4730F0CA\":[" + first_row + "]"),
            std::string::npos)
      << state;
  EXPECT_NE(state.find("\"00000000\":null}}"), std::string::npos) << state;
  EXPECT_EQ(state.find("nada"), std::string::npos);

  for (const char* path : {"/index.html", "/estado/", "/eventos/x", "/favicon.ico", "/etc/passwd"})
    EXPECT_EQ(StatusOf(GetFromPage(port, path)), 404) << path;
}

TEST_F(PageServerTest, TheStreamSendsEachSnapshotAndAReconnectingPhoneWhatItMissed) {
  const int phone = ConnectToPage(port);
  ASSERT_GE(phone, 0);
  const std::string ask = "GET /eventos HTTP/1.1\r\nHost: sala\r\n\r\n";
  ASSERT_EQ(send(phone, ask.data(), ask.size(), 0), static_cast<ssize_t>(ask.size()));
  std::string got = ReadFromPage(phone, 3000, "\"ultima\":47}\n\n");
  EXPECT_NE(got.find("Content-Type: text/event-stream"), std::string::npos) << got;
  EXPECT_NE(got.find("id: 1\ndata: {\"n\":1,"), std::string::npos) << got;
  PublishPageState(server.get(), StateNumber(2, 12));
  got = ReadFromPage(phone, 3000, "\"ultima\":12}\n\n");
  EXPECT_NE(got.find("id: 2\ndata: {\"n\":2,"), std::string::npos) << got;
  close(phone);

  // A phone that saw snapshot 1 gets 2 at once; one that saw 2 waits for the next.
  const int behind = ConnectToPage(port), current = ConnectToPage(port);
  const std::string from_one = "GET /eventos HTTP/1.1\r\nLast-Event-ID: 1\r\n\r\n";
  const std::string from_two = "GET /eventos?desde=2 HTTP/1.1\r\n\r\n";
  send(behind, from_one.data(), from_one.size(), 0);
  send(current, from_two.data(), from_two.size(), 0);
  EXPECT_NE(ReadFromPage(behind, 3000, "}\n\n").find("id: 2\n"), std::string::npos);
  EXPECT_EQ(ReadFromPage(current, 500, "}\n\n").find("id: "), std::string::npos);
  PublishPageState(server.get(), StateNumber(3, 5));
  EXPECT_NE(ReadFromPage(current, 3000, "}\n\n").find("id: 3\n"), std::string::npos);
  close(behind);
  close(current);
}

TEST_F(PageServerTest, AStoppedServerLetsItsPhonesGoAndStartsAgainWithItsSnapshot) {
  const int phone = ConnectToPage(port);
  const std::string ask = "GET /eventos HTTP/1.1\r\n\r\n";
  send(phone, ask.data(), ask.size(), 0);
  ASSERT_NE(ReadFromPage(phone, 3000, "}\n\n").find("id: 1\n"), std::string::npos);
  const auto before = std::chrono::steady_clock::now();
  StopPageServer(server.get());
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
  EXPECT_FALSE(PageServerListening(*server));
  char byte;
  EXPECT_LE(recv(phone, &byte, 1, 0), 0);  // the phone sees its stream end
  close(phone);
  EXPECT_LT(ConnectToPage(port), 0);
  const PageStart again = StartPageServer(server.get(), port);
  ASSERT_EQ(again.error, "");
  EXPECT_NE(GetFromPage(port, "/estado").find("\"n\":1,"), std::string::npos);
}

TEST_F(PageServerTest, HostileRequestsGetTheirStatusAndThePageIsStillServed) {
  PageLimits limits;
  limits.header_milliseconds = 1500;
  Restart(limits);
  const struct {
    const char* what;
    std::string request;
    int status;
  } hostile[] = {
      {"a long path", "GET /" + std::string(100000, 'a') + " HTTP/1.1\r\n\r\n", 414},
      {"a path of 8 KB", "GET /" + std::string(8000, 'a') + " HTTP/1.1\r\n\r\n", 404},
      {"a path of 9 KB", "GET /" + std::string(9000, 'a') + " HTTP/1.1\r\n\r\n", 414},
      {"..", "GET /../../etc/passwd HTTP/1.1\r\n\r\n", 404},
      {".. escaped", "GET /%2e%2e/%2e%2e/etc/passwd HTTP/1.1\r\n\r\n", 404},
      {".. after the page", "GET /estado/../../bingo/page/pagina.html HTTP/1.1\r\n\r\n", 404},
      {"a header of 9 KB", "GET / HTTP/1.1\r\nX-Relleno: " + std::string(9000, 'x') + "\r\n\r\n", 400},
      {"a header of a megabyte", "GET / HTTP/1.1\r\nX-Relleno: " + std::string(1 << 20, 'x') + "\r\n\r\n", 431},
      {"a megabyte of short headers", "GET / HTTP/1.1\r\n" + ManyHeaders(1 << 20) + "\r\n", 431},
      {"POST", "POST /estado HTTP/1.1\r\nContent-Length: 5\r\n\r\nbola=", 405},
      {"PUT", "PUT / HTTP/1.1\r\nContent-Length: 2\r\n\r\n{}", 405},
      {"DELETE", "DELETE /eventos HTTP/1.1\r\n\r\n", 405},
      {"HEAD", "HEAD / HTTP/1.1\r\n\r\n", 405},
      {"a body of 10 MB", "GET / HTTP/1.1\r\nContent-Length: 10000000\r\n\r\n" + std::string(1 << 16, 'x'), 413},
      {"a body in chunks", "GET /estado HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nbola=\r\n", 413},
      {"no method", "BOLA 47 HTTP/1.1\r\n\r\n", 400},
      {"no HTTP and no line's end", "\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03", 408},
  };
  for (const auto& one : hostile) {
    const std::string answer = ExchangeWithPage(port, one.request);
    EXPECT_EQ(StatusOf(answer), one.status) << one.what << ": " << answer.substr(0, 120);
    ExpectPageServed();
  }
  EXPECT_NE(ExchangeWithPage(port, "POST / HTTP/1.1\r\n\r\n").find("Allow: GET"), std::string::npos);
}

TEST_F(PageServerTest, ASlowDripOfBytesIsAnsweredWithinTheHeadersTime) {
  PageLimits limits;
  limits.header_milliseconds = 800;
  Restart(limits);
  const int dripper = ConnectToPage(port);
  const std::string request = "GET / HTTP/1.1\r\nHost: sala\r\nX-Lento: ";
  const auto start = std::chrono::steady_clock::now();
  std::string answer;
  for (size_t at = 0; at < request.size() + 40 && answer.empty(); ++at) {
    const char byte = at < request.size() ? request[at] : 'x';
    if (send(dripper, &byte, 1, MSG_NOSIGNAL) != 1) break;
    answer = ReadFromPage(dripper, 60);
    if (at % 4 == 0) ExpectPageServed();  // the others are served meanwhile
  }
  answer += ReadFromPage(dripper, 2000);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(StatusOf(answer), 408) << answer;
  EXPECT_LT(took, std::chrono::milliseconds(2500));
  close(dripper);
  ExpectPageServed();
}

TEST_F(PageServerTest, OneAddressHoldsOnlyItsShareOfConnections) {
  std::vector<int> idle;
  for (int one = 0; one <= PageLimits().per_address; ++one) idle.push_back(ConnectToPage(port));
  // One too many: whichever came last is told at once, the others wait for their headers.
  int refused = 0;
  for (int round = 0; round < 30 && refused == 0; ++round)
    for (int socket_fd : idle) refused += StatusOf(ReadFromPage(socket_fd, 10)) == 503;
  EXPECT_EQ(refused, 1);
  EXPECT_EQ(StatusOf(GetFromPage(port, "/")), 503);
  for (int socket_fd : idle) close(socket_fd);
  // Their share comes back as the server sees them go.
  for (int tries = 0; tries < 30 && StatusOf(GetFromPage(port, "/")) == 503; ++tries)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ExpectPageServed();
}

TEST_F(PageServerTest, FiveThousandConnectionsAreEachAnsweredAndThePageIsStillServed) {
  rlimit files{};
  getrlimit(RLIMIT_NOFILE, &files);
  if (files.rlim_max < 12000) GTEST_SKIP() << "this machine lets a process open only " << files.rlim_max << " files";
  files.rlim_cur = files.rlim_max;
  setrlimit(RLIMIT_NOFILE, &files);
  PageLimits limits;
  limits.per_address = 6000;  // every connection comes from loopback here
  limits.connections = 500;
  limits.header_milliseconds = 1500;
  Restart(limits);
  std::vector<int> sockets;
  for (int one = 0; one < 5000; ++one) {
    const int socket_fd = ConnectToPage(port);
    ASSERT_GE(socket_fd, 0) << "connection " << one << " refused";
    sockets.push_back(socket_fd);
  }
  int busy = 0, slow = 0;
  for (int socket_fd : sockets) {
    const int status = StatusOf(ReadFromPage(socket_fd, 5000, "\r\n\r\n"));
    busy += status == 503;
    slow += status == 408;
    close(socket_fd);
  }
  // The workers' share waits its headers' time out; the rest are told at once.
  EXPECT_EQ(busy + slow, 5000);
  EXPECT_GE(busy, 5000 - limits.connections);
  ExpectPageServed();
}
}  // namespace
