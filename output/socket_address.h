// The raw TCP destination "socket://HOST[:PORT]": HOST a name, an IPv4 address or an IPv6 address
// in brackets; PORT 1 to 65535, 9100 (the AppSocket port) when left out.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace eds {

inline constexpr char SocketScheme[] = "socket://";
inline constexpr int AppSocketPort = 9100;

struct TSocketAddress {
    std::string Host;  // without the brackets of an IPv6 address
    int Port = AppSocketPort;
};

// True when Destination names a socket at all, even a malformed one.
bool IsSocketDestination(std::string_view Destination);

// The host and port, or nothing when Destination is not a well-formed socket address.
std::optional<TSocketAddress> ParseSocketAddress(std::string_view Destination);

}  // namespace eds
