#include "tests/bingo/page_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

int ConnectToPage(int port) {
  const int socket_fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(socket_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(socket_fd);
    return -1;
  }
  return socket_fd;
}

std::string ReadFromPage(int socket_fd, int milliseconds, const std::string& until) {
  std::string got;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  char buffer[8192];
  while (until.empty() || got.find(until) == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now()).count();
    if (left <= 0) break;
    pollfd wait{socket_fd, POLLIN, 0};
    if (poll(&wait, 1, static_cast<int>(left)) <= 0) break;
    const ssize_t read_now = recv(socket_fd, buffer, sizeof buffer, 0);
    if (read_now <= 0) break;
    got.append(buffer, static_cast<size_t>(read_now));
  }
  return got;
}

std::string ExchangeWithPage(int port, const std::string& request, int milliseconds) {
  const int socket_fd = ConnectToPage(port);
  if (socket_fd < 0) return "";
  size_t sent = 0;
  while (sent < request.size()) {
    const ssize_t wrote = send(socket_fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (wrote <= 0) break;  // the server may answer and close before reading all
    sent += static_cast<size_t>(wrote);
  }
  const std::string answer = ReadFromPage(socket_fd, milliseconds);
  close(socket_fd);
  return answer;
}

int StatusOf(const std::string& answer) {
  if (answer.rfind("HTTP/1.1 ", 0) != 0 || answer.size() < 12) return 0;
  return std::stoi(answer.substr(9, 3));
}

std::string GetFromPage(int port, const std::string& target) {
  return ExchangeWithPage(port, "GET " + target + " HTTP/1.1\r\nHost: sala\r\n\r\n");
}
