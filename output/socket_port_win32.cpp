#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include "io_error.h"
#include "printer_port.h"
#include "socket_address.h"

namespace eds {
namespace {

using Clock = std::chrono::steady_clock;

// Winsock is started once, on the first socket send, and left running for the process.
int StartWinsock() {
    static const int code = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data);
    }();
    return code;
}

struct AddrInfoFree {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

// Winsock's codes are Windows system error codes already: 10061 refused, 11001 host not found.
class SocketPort final : public TPrinterPort {
  public:
    explicit SocketPort(TPortTimeout timeout) : timeout_(timeout) {}
    SocketPort(const SocketPort&) = delete;
    SocketPort& operator=(const SocketPort&) = delete;
    ~SocketPort() override { Close(); }

    // Tries each address the name resolves to, in the resolver's order, until one connects.
    TPortCode Open(const std::string& name) override {
        Close();
        const auto address = ParseSocketAddress(name);
        if (!address)
            return 3;
        if (const int code = StartWinsock())
            return code;
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_ADDRCONFIG;
        addrinfo* found = nullptr;
        const std::string service = std::to_string(address->Port);
        if (const int code = getaddrinfo(address->Host.c_str(), service.c_str(), &hints, &found))
            return code;
        const std::unique_ptr<addrinfo, AddrInfoFree> list(found);

        const auto deadline = Clock::now() + timeout_;
        TPortCode code = 2;
        for (const addrinfo* a = list.get(); a != nullptr; a = a->ai_next) {
            code = Connect(*a, deadline);
            if (code == 0 || code == IoTimeout)
                return code;
        }
        return code;
    }

    TPortWrite Write(std::span<const std::uint8_t> bytes) override {
        const int count = static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX));
        const int sent = ::send(socket_, reinterpret_cast<const char*>(bytes.data()), count, 0);
        if (sent == SOCKET_ERROR) {
            const int code = WSAGetLastError();
            // SO_SNDTIMEO ran out.
            return {0, code == WSAETIMEDOUT ? IoTimeout : code};
        }
        return {static_cast<std::size_t>(sent), 0};
    }

    TPortCode Close() override {
        if (socket_ == INVALID_SOCKET)
            return 0;
        const SOCKET socket = socket_;
        socket_ = INVALID_SOCKET;
        return closesocket(socket) == 0 ? 0 : WSAGetLastError();
    }

  private:
    bool Bounded() const { return timeout_ > TPortTimeout::zero(); }

    TPortCode Connect(const addrinfo& address, Clock::time_point deadline) {
        const SOCKET s = ::socket(address.ai_family, address.ai_socktype, address.ai_protocol);
        if (s == INVALID_SOCKET)
            return WSAGetLastError();
        const TPortCode code = FinishConnect(s, address, deadline);
        if (code != 0) {
            closesocket(s);
            return code;
        }
        socket_ = s;
        return 0;
    }

    // A non-blocking connect waited for with select, so that the bound covers it; the socket is
    // blocking again afterwards, with the bound as its send timeout.
    TPortCode FinishConnect(SOCKET s, const addrinfo& address, Clock::time_point deadline) {
        u_long nonBlocking = 1;
        if (ioctlsocket(s, FIONBIO, &nonBlocking) != 0)
            return WSAGetLastError();
        if (::connect(s, address.ai_addr, static_cast<int>(address.ai_addrlen)) != 0) {
            if (WSAGetLastError() != WSAEWOULDBLOCK)
                return WSAGetLastError();
            fd_set writable;
            fd_set failed;
            FD_ZERO(&writable);
            FD_ZERO(&failed);
            FD_SET(s, &writable);
            FD_SET(s, &failed);
            timeval left{};
            if (Bounded()) {
                const auto micros = std::max<long long>(
                    0,
                    std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now())
                        .count());
                left = {static_cast<long>(micros / 1'000'000),
                        static_cast<long>(micros % 1'000'000)};
            }
            const int ready = select(0, nullptr, &writable, &failed, Bounded() ? &left : nullptr);
            if (ready == SOCKET_ERROR)
                return WSAGetLastError();
            if (ready == 0)
                return IoTimeout;
            int error = 0;
            int size = sizeof error;
            if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0)
                return WSAGetLastError();
            if (error != 0)
                return error;
        }
        u_long blocking = 0;
        if (ioctlsocket(s, FIONBIO, &blocking) != 0)
            return WSAGetLastError();
        if (Bounded()) {
            const DWORD millis =
                static_cast<DWORD>(std::min<long long>(timeout_.count(), MAXDWORD));
            setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&millis),
                       sizeof millis);
        }
        return 0;
    }

    TPortTimeout timeout_;
    SOCKET socket_ = INVALID_SOCKET;
};

}  // namespace

std::unique_ptr<TPrinterPort> MakeSocketPort(TPortTimeout Timeout) {
    return std::make_unique<SocketPort>(Timeout);
}

}  // namespace eds
