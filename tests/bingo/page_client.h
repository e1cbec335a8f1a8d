// A client of the phones' page over a real loopback socket, written for the tests: it
// sends bytes as given (well-formed or not) and reads what the server answers.
#pragma once
#include <string>

// A connected socket to 127.0.0.1:port, -1 when refused.
int ConnectToPage(int port);
// Sends `request` whole, then reads until the server closes or `milliseconds` pass.
std::string ExchangeWithPage(int port, const std::string& request, int milliseconds = 3000);
// Reads what comes within `milliseconds` (until `until` is seen, when given).
std::string ReadFromPage(int socket, int milliseconds, const std::string& until = "");
// "HTTP/1.1 404 Not Found…" -> 404; 0 when the answer is no HTTP status line.
int StatusOf(const std::string& answer);
std::string GetFromPage(int port, const std::string& target);
