#include "socket_address.h"

#include <charconv>

namespace eds {

bool IsSocketDestination(std::string_view Destination) {
    return Destination.starts_with(SocketScheme);
}

std::optional<TSocketAddress> ParseSocketAddress(std::string_view Destination) {
    if (!IsSocketDestination(Destination))
        return std::nullopt;
    std::string_view rest = Destination.substr(std::string_view(SocketScheme).size());
    std::string_view host;
    if (rest.starts_with('[')) {
        const auto close = rest.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        host = rest.substr(1, close - 1);
        rest.remove_prefix(close + 1);
    } else {
        host = rest.substr(0, rest.find(':'));
        rest.remove_prefix(host.size());
    }
    if (host.empty() || host.find_first_of("/[] ") != std::string_view::npos)
        return std::nullopt;

    TSocketAddress address{std::string(host)};
    if (rest.empty())
        return address;
    if (!rest.starts_with(':') || rest.size() == 1)
        return std::nullopt;
    const std::string_view port = rest.substr(1);
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), address.Port);
    if (error != std::errc() || end != port.data() + port.size() || address.Port < 1 ||
        address.Port > 65535)
        return std::nullopt;
    return address;
}

}  // namespace eds
