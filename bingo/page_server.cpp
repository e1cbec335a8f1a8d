// cpp-httplib holds a worker thread for each connection, and a phone following the game
// holds its connection: the workers grow on demand up to PageLimits::connections (the
// library's own pool is fixed at its start), and a connection past them is answered 503
// on the accepting thread at once, as is one past its address's share. The library bounds
// each read but not the time a client takes to send its request, so the connection is
// read through a stream of our own with one deadline for the whole request: a slow drip
// of bytes is answered 408 and holds no worker for long, and a request larger than any the
// page makes is answered 431 however its lines are cut. One request a connection.
#include "bingo/page_server.h"

#include <httplib.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <list>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

#include "bingo/page_net.h"

namespace {
using Clock = std::chrono::steady_clock;

const char* const kBusy =
    "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
const char* const kTooSlow =
    "HTTP/1.1 408 Request Timeout\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
const char* const kTooLarge =
    "HTTP/1.1 431 Request Header Fields Too Large\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
const char* const kUriTooLong =
    "HTTP/1.1 414 URI Too Long\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
const char* const kHeartbeat = "event: latido\ndata: 0\n\n";
constexpr int kWriteMilliseconds = 5000;
constexpr int kWaitSliceMilliseconds = 200;  // how soon a wait notices the server stopping
// The caller's window and the hall's screen repaint first, then the phones are woken: a
// frame's time later, with what came meanwhile in one snapshot.
constexpr int kAnnounceAfterMilliseconds = 20;

// Set while the accepting thread itself runs a connection that found no worker.
thread_local bool refusing_connection = false;

class Workers : public httplib::TaskQueue {
 public:
  explicit Workers(size_t most) : most_(most) {}

  // A connection past the limit, or one the system gives no more threads for, is run on
  // the accepting thread at once, to be refused.
  void enqueue(std::function<void()> job) override {
    std::unique_lock<std::mutex> lock(mutex_);
    const bool room = jobs_.size() < idle_ + (most_ - threads_.size());
    if (room && (jobs_.size() < idle_ || AddThread())) {
      jobs_.push_back(std::move(job));
      lock.unlock();
      ready_.notify_one();
      return;
    }
    lock.unlock();
    refusing_connection = true;
    job();
    refusing_connection = false;
  }

  void shutdown() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    ready_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }

 private:
  // Under the lock; idle from its start, so that a job queued meanwhile is its own.
  bool AddThread() {
    try {
      threads_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
      return false;
    }
    ++idle_;
    return true;
  }

  void Work() {
    LowerThisThreadsPriority();
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      ready_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      if (jobs_.empty()) return;
      std::function<void()> job = std::move(jobs_.front());
      jobs_.pop_front();
      --idle_;
      lock.unlock();
      job();
      lock.lock();
      ++idle_;
    }
  }

  const size_t most_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::list<std::function<void()>> jobs_;
  std::vector<std::thread> threads_;
  size_t idle_ = 0;  // threads not running a job, those just started included
  bool stopping_ = false;
};

class Listener;
}  // namespace

struct PageServer {
  PageLimits limits;
  // Waking a thousand connections takes milliseconds, and they all take the lock they
  // waited on: a thread of its own wakes them, on a lock the game never takes, so that
  // publishing costs the game only the hand-over of a pointer.
  std::mutex state_mutex;  // guards state
  std::shared_ptr<const PageState> state;
  std::mutex announce_mutex;  // guards to_announce: the game and the announcer
  std::condition_variable announce;
  bool to_announce = false;
  std::mutex wait_mutex;  // guards announced: the announcer and the stream's connections
  std::condition_variable changed;
  std::shared_ptr<const PageState> announced;
  std::atomic<bool> stopping{false};
  std::thread announcer;

  std::mutex gate;  // guards per_address
  std::map<std::string, int> per_address;

  std::unique_ptr<Listener> listener;
  std::thread listening;
  int port = 0;

  ~PageServer() { StopPageServer(this); }
};

namespace {
// A new connection from `address`: false when that address has all it may hold.
bool Admit(PageServer* page, const std::string& address) {
  std::lock_guard<std::mutex> lock(page->gate);
  int& count = page->per_address[address];
  if (count >= page->limits.per_address) return false;
  ++count;
  return true;
}

void Leave(PageServer* page, const std::string& address) {
  std::lock_guard<std::mutex> lock(page->gate);
  if (--page->per_address[address] <= 0) page->per_address.erase(address);
}

// One connection as the library reads and writes it, buffered as the library's own
// stream is (its line reader asks for a byte at a time), every read within the deadline.
class PageStream : public httplib::Stream {
 public:
  PageStream(PageServer* page, NetSocket socket)
      : page_(page), socket_(socket),
        deadline_(Clock::now() + std::chrono::milliseconds(page->limits.header_milliseconds)) {}

  bool is_readable() const override { return begin_ < end_; }
  bool is_writable() const override { return !page_->stopping; }

  ssize_t read(char* into, size_t size) override {
    if (begin_ == end_ && !Fill()) return -1;
    const size_t given = std::min(size, end_ - begin_);
    std::memcpy(into, buffer_.data() + begin_, given);
    begin_ += given;
    return static_cast<ssize_t>(given);
  }

  ssize_t write(const char* bytes, size_t size) override {
    size_t sent = 0;
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(kWriteMilliseconds);
    while (sent < size && !page_->stopping && Clock::now() < until) {
      const long wrote = SendWithin(socket_, bytes + sent, size - sent, kWaitSliceMilliseconds);
      if (wrote == kNetTimedOut) continue;
      if (wrote <= 0) return -1;
      sent += static_cast<size_t>(wrote);
    }
    return sent == size ? static_cast<ssize_t>(size) : -1;
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    const NetPeer peer = PeerOf(socket_);
    ip = peer.address;
    port = peer.port;
  }
  void get_local_ip_and_port(std::string& ip, int& port) const override {
    const NetPeer local = LocalOf(socket_);
    ip = local.address;
    port = local.port;
  }
  socket_t socket() const override { return static_cast<socket_t>(socket_); }

 private:
  // The next bytes, before the deadline; past it the client is told 408 and let go.
  bool Fill() {
    while (!page_->stopping) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now());
      if (left.count() <= 0) {
        EndConnection(socket_, kTooSlow);
        return false;
      }
      const int wait = static_cast<int>(std::min<long long>(left.count(), kWaitSliceMilliseconds));
      const long got = ReceiveWithin(socket_, buffer_.data(), buffer_.size(), wait);
      if (got == kNetTimedOut) continue;
      if (got <= 0) return false;
      // The library reads a line whole before it judges its length: the request is bounded here.
      read_ += static_cast<size_t>(got);
      if (!first_line_read_)
        first_line_read_ = std::memchr(buffer_.data(), '\n', static_cast<size_t>(got)) != nullptr;
      if (read_ > page_->limits.header_bytes + page_->limits.request_bytes) {
        EndConnection(socket_, first_line_read_ ? kTooLarge : kUriTooLong);
        return false;
      }
      begin_ = 0;
      end_ = static_cast<size_t>(got);
      return true;
    }
    return false;
  }

  PageServer* page_;
  NetSocket socket_;
  Clock::time_point deadline_;
  std::array<char, 4096> buffer_{};
  size_t begin_ = 0, end_ = 0;
  size_t read_ = 0;  // all the connection sent
  bool first_line_read_ = false;
};

class Listener : public httplib::Server {
 public:
  explicit Listener(PageServer* page) : page_(page) {}
  NetSocket Listening() const { return static_cast<NetSocket>(svr_sock_.load()); }

 private:
  bool process_and_close_socket(socket_t sock) override {
    const auto socket = static_cast<NetSocket>(sock);
    const std::string address = PeerOf(socket).address;
    bool served = false;
    if (refusing_connection || !Admit(page_, address)) {
      EndConnection(socket, kBusy);
    } else {
      PageStream stream(page_, socket);
      bool closed = false;
      served = process_request(stream, true, closed, nullptr);
      Leave(page_, address);
      EndConnection(socket, "");
    }
    CloseSocket(socket);
    return served;
  }

  PageServer* page_;
};

// The page talks only to its own server: no script, style or font from anywhere else.
void GuardResponse(httplib::Response& response) {
  response.set_header("Content-Security-Policy",
                      "default-src 'none'; script-src 'unsafe-inline'; style-src 'unsafe-inline'; "
                      "connect-src 'self'; img-src data:; base-uri 'none'; form-action 'none'");
  response.set_header("X-Content-Type-Options", "nosniff");
  response.set_header("Referrer-Policy", "no-referrer");
  response.set_header("Cache-Control", "no-store");
}

// Before any route: a method other than GET goes no further, not even to read its body,
// and a GET that says it brings more than a request needs is refused too.
httplib::Server::HandlerResponse Screen(const PageLimits& limits, const httplib::Request& request,
                                        httplib::Response& response) {
  GuardResponse(response);
  const std::string length = request.get_header_value("Content-Length");
  const bool too_long = request.has_header("Transfer-Encoding") || length.size() > 9 ||
                        std::strtoul(length.c_str(), nullptr, 10) > limits.request_bytes;
  if (request.method == "GET" && !too_long) return httplib::Server::HandlerResponse::Unhandled;
  response.status = request.method == "GET" ? 413 : 405;
  if (response.status == 405) response.set_header("Allow", "GET");
  response.set_content(response.status == 405 ? "Solo se puede leer esta página.\n"
                                              : "Una petición tan larga no es de esta página.\n",
                       "text/plain; charset=utf-8");
  return httplib::Server::HandlerResponse::Handled;
}

std::shared_ptr<const PageState> CurrentState(PageServer* page) {
  std::lock_guard<std::mutex> lock(page->state_mutex);
  return page->state;
}

// The snapshot announced (the stream never takes the game's lock): with `wait`, once it is
// other than `seen`, or the same one when the heartbeat is due; null when the server stops.
std::shared_ptr<const PageState> NextState(PageServer* page, uint64_t seen, bool wait) {
  std::unique_lock<std::mutex> lock(page->wait_mutex);
  const auto news = [page, seen] {
    return page->stopping || (page->announced && page->announced->number != seen);
  };
  const auto heartbeat = std::chrono::milliseconds(page->limits.heartbeat_milliseconds);
  if (wait) page->changed.wait_for(lock, heartbeat, news);
  return page->stopping ? nullptr : page->announced;
}

// The snapshot a phone last had: the stream's Last-Event-ID, or ?desde= from a page that
// opened the stream again itself. 0 when none or not a number.
uint64_t SeenNumber(const httplib::Request& request) {
  std::string text = request.get_header_value("Last-Event-ID");
  if (text.empty()) text = request.get_param_value("desde");
  if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string::npos)
    return 0;
  return std::strtoull(text.c_str(), nullptr, 10);
}

void StreamEvents(PageServer* page, const httplib::Request& request, httplib::Response& response) {
  auto seen = std::make_shared<uint64_t>(SeenNumber(request));
  auto first = std::make_shared<bool>(true);
  response.set_chunked_content_provider(
      "text/event-stream", [page, seen, first](size_t, httplib::DataSink& sink) {
        // At first what the phone missed, at once; then each change as it comes.
        std::shared_ptr<const PageState> state = *first ? NextState(page, *seen, false) : nullptr;
        if (!state || state->number == *seen) state = NextState(page, *seen, true);
        *first = false;
        if (!state) return false;
        // A named event the page listens for: it tells a live stream from one gone silent.
        if (state->number == *seen) return sink.write(kHeartbeat, std::strlen(kHeartbeat));
        *seen = state->number;
        const std::string event =
            "retry: 2000\nid: " + std::to_string(state->number) + "\ndata: " + state->json + "\n\n";
        return sink.write(event.data(), event.size());
      });
}

void Route(PageServer* page, Listener* listener) {
  listener->set_pre_routing_handler(
      [page](const httplib::Request& request, httplib::Response& response) {
        return Screen(page->limits, request, response);
      });
  listener->Get("/", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(kPageHtml, kPageHtmlSize, "text/html; charset=utf-8");
  });
  listener->Get("/estado", [page](const httplib::Request& request, httplib::Response& response) {
    const std::shared_ptr<const PageState> state = CurrentState(page);
    if (!state) return void(response.status = 503);
    response.set_content(PageStateWithCards(*state, PageCodesAsked(request.get_param_value("cartones"))),
                         "application/json; charset=utf-8");
  });
  listener->Get("/eventos", [page](const httplib::Request& request, httplib::Response& response) {
    StreamEvents(page, request, response);
  });
}

void Announce(PageServer* page) {
  LowerThisThreadsPriority();
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(page->announce_mutex);
      page->announce.wait(lock, [page] { return page->stopping || page->to_announce; });
      page->announce.wait_for(lock, std::chrono::milliseconds(kAnnounceAfterMilliseconds),
                              [page] { return page->stopping.load(); });
      if (page->stopping) return;
      page->to_announce = false;
    }
    std::shared_ptr<const PageState> state = CurrentState(page);
    {
      std::lock_guard<std::mutex> lock(page->wait_mutex);
      page->announced.swap(state);
    }
    page->changed.notify_all();
  }
}

// Wakes every wait at once, under its lock so that no waiter misses it.
template <typename Wake>
void WakeUnder(std::mutex* mutex, Wake wake) {
  { std::lock_guard<std::mutex> lock(*mutex); }
  wake();
}

void SetLimits(PageServer* page, Listener* listener) {
  const PageLimits& limits = page->limits;
  listener->new_task_queue = [limits] { return new Workers(static_cast<size_t>(limits.connections)); };
  listener->set_payload_max_length(limits.request_bytes);
  listener->set_socket_options(
      [](socket_t listening) { SetListeningOptions(static_cast<NetSocket>(listening)); });
}
}  // namespace

std::shared_ptr<PageServer> NewPageServer(const PageLimits& limits) {
  auto server = std::make_shared<PageServer>();
  server->limits = limits;
  return server;
}

PageStart StartPageServer(PageServer* page, int port) {
  PageStart start;
  if (page->listener) StopPageServer(page);
  PrepareProcessForConnections();
  auto listener = std::make_unique<Listener>(page);
  SetLimits(page, listener.get());
  Route(page, listener.get());
  start.port = port == 0 ? listener->bind_to_any_port("0.0.0.0") : port;
  if (start.port <= 0 || (port != 0 && !listener->bind_to_port("0.0.0.0", port))) {
    start.error = port == 0 ? std::string("No se pudo abrir ningún puerto para la página")
                            : "No se pudo abrir el puerto " + std::to_string(port) +
                                  " para la página: ¿lo usa otro programa?";
    start.port = 0;
    return start;
  }
  WidenListenQueue(listener->Listening());
  page->stopping = false;
  page->to_announce = true;  // the snapshot published while stopped
  page->listener = std::move(listener);
  page->port = start.port;
  page->listening = std::thread([page] { page->listener->listen_after_bind(); });
  page->announcer = std::thread([page] { Announce(page); });
  // Stopped before it runs, the library would go on listening.
  while (!page->listener->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return start;
}

void StopPageServer(PageServer* page) {
  if (!page->listener) return;
  page->stopping = true;
  WakeUnder(&page->wait_mutex, [page] { page->changed.notify_all(); });
  WakeUnder(&page->announce_mutex, [page] { page->announce.notify_all(); });
  page->announcer.join();
  page->listener->stop();
  page->listening.join();
  page->listener.reset();
  page->port = 0;
}

bool PageServerListening(const PageServer& server) { return server.listener != nullptr; }

void PublishPageState(PageServer* page, std::shared_ptr<const PageState> state) {
  {
    std::lock_guard<std::mutex> lock(page->state_mutex);
    page->state = std::move(state);
  }
  {
    std::lock_guard<std::mutex> lock(page->announce_mutex);
    page->to_announce = true;
  }
  page->announce.notify_one();
}
