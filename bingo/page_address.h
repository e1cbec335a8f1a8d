// The address phones type or scan: the machine's address on the hall's network and the
// page's port, "http://192.168.1.20:8047/".
#pragma once
#include <string>
#include <vector>

// Among the machine's IPv4 addresses, the one a phone on the same network reaches: a
// private network's (192.168/16, 10/8, 172.16/12) first, else the first one, else loopback.
std::string HallNetworkAddress(const std::vector<std::string>& addresses);
std::string PageAddressOf(const std::string& host, int port);
