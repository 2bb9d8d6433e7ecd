#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <memory>
#include <mutex>
#include <vector>

#include "io_error.h"
#include "port_code_posix.h"
#include "printer_port.h"
#include "socket_address.h"

namespace eds {
namespace {

using Clock = std::chrono::steady_clock;

struct AddrInfoFree {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

// One asynchronous look-up: glibc's resolver thread writes into it until it is done.
struct TLookup {
    std::string Host;
    std::string Service;
    addrinfo Hints{};
    gaicb Request{};
};

// A look-up still running when its deadline passed cannot be cancelled and must outlive its
// caller; it is kept here, reachable, and never freed: glibc's thread may still write into it
// while the program exits.
void KeepRunningLookup(std::unique_ptr<TLookup> lookup) {
    static std::mutex guard;
    // NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
    static auto& abandoned = *new std::vector<std::unique_ptr<TLookup>>;
    const std::lock_guard lock(guard);
    abandoned.push_back(std::move(lookup));
}

timespec Remaining(Clock::time_point deadline) {
    const auto left = std::max(deadline - Clock::now(), Clock::duration::zero());
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
    return {static_cast<time_t>(seconds.count()),
            static_cast<long>(std::chrono::nanoseconds(left - seconds).count())};
}

// getaddrinfo, given up at deadline with the time-out code: a name server that never answers
// would otherwise hold the open for as long as the resolver retries.
TPortCode ResolveBefore(const std::string& host, const std::string& service, const addrinfo& hints,
                        Clock::time_point deadline, addrinfo** found) {
    auto lookup = std::make_unique<TLookup>(TLookup{host, service, hints, {}});
    lookup->Request.ar_name = lookup->Host.c_str();
    lookup->Request.ar_service = lookup->Service.c_str();
    lookup->Request.ar_request = &lookup->Hints;
    gaicb* requests[] = {&lookup->Request};
    if (const int eai = getaddrinfo_a(GAI_NOWAIT, requests, 1, nullptr))
        return PortCodeFromResolver(eai, errno);
    int status = EAI_INPROGRESS;
    while ((status = gai_error(&lookup->Request)) == EAI_INPROGRESS) {
        if (Clock::now() >= deadline) {
            if (gai_cancel(&lookup->Request) == EAI_ALLDONE)
                continue;
            if (gai_error(&lookup->Request) == EAI_INPROGRESS)
                KeepRunningLookup(std::move(lookup));
            return IoTimeout;
        }
        const timespec left = Remaining(deadline);
        gai_suspend(requests, 1, &left);
    }
    if (status != 0)
        return PortCodeFromResolver(status, errno);
    *found = lookup->Request.ar_result;
    return 0;
}

class SocketPort final : public TPrinterPort {
  public:
    explicit SocketPort(TPortTimeout timeout) : timeout_(timeout) {}
    SocketPort(const SocketPort&) = delete;
    SocketPort& operator=(const SocketPort&) = delete;
    ~SocketPort() override { Close(); }

    // Tries each address the name resolves to, in the resolver's order, until one connects; the
    // bound covers the look-up and the connects together.
    TPortCode Open(const std::string& name) override {
        const auto address = ParseSocketAddress(name);
        if (!address)
            return 3;
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_ADDRCONFIG;
        addrinfo* found = nullptr;
        const std::string service = std::to_string(address->Port);
        const auto deadline = Clock::now() + timeout_;
        if (Bounded()) {
            if (const TPortCode code =
                    ResolveBefore(address->Host, service, hints, deadline, &found))
                return code;
        } else if (const int eai =
                       getaddrinfo(address->Host.c_str(), service.c_str(), &hints, &found)) {
            return PortCodeFromResolver(eai, errno);
        }
        const std::unique_ptr<addrinfo, AddrInfoFree> list(found);

        TPortCode code = 2;
        for (const addrinfo* a = list.get(); a != nullptr; a = a->ai_next) {
            code = Connect(*a, deadline);
            if (code == 0 || code == IoTimeout)
                return code;
        }
        return code;
    }

    TPortWrite Write(std::span<const std::uint8_t> bytes) override {
        ssize_t sent = 0;
        do {
            sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        } while (sent == -1 && errno == EINTR);
        if (sent == -1) {
            // SO_SNDTIMEO ran out.
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return {0, IoTimeout};
            return {0, PortCodeFromErrno(errno)};
        }
        return {static_cast<std::size_t>(sent), 0};
    }

    TPortCode Close() override {
        if (fd_ == -1)
            return 0;
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) == -1 && errno != EINTR)
            return PortCodeFromErrno(errno);
        return 0;
    }

  private:
    bool Bounded() const { return timeout_ > TPortTimeout::zero(); }

    // A non-blocking connect waited for with poll, so that the bound covers it; the socket is
    // blocking again afterwards, with the bound as its send timeout.
    TPortCode Connect(const addrinfo& address, Clock::time_point deadline) {
        const int fd =
            ::socket(address.ai_family, address.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                     address.ai_protocol);
        if (fd == -1)
            return PortCodeFromErrno(errno);
        const TPortCode code = FinishConnect(fd, address, deadline);
        if (code != 0) {
            ::close(fd);
            return code;
        }
        fd_ = fd;
        return 0;
    }

    TPortCode FinishConnect(int fd, const addrinfo& address, Clock::time_point deadline) {
        if (::connect(fd, address.ai_addr, address.ai_addrlen) == -1) {
            if (errno != EINPROGRESS && errno != EINTR)
                return PortCodeFromErrno(errno);
            pollfd wait{fd, POLLOUT, 0};
            int ready = 0;
            do {
                ready = ::poll(&wait, 1, RemainingMillis(deadline));
            } while (ready == -1 && errno == EINTR);
            if (ready == -1)
                return PortCodeFromErrno(errno);
            if (ready == 0)
                return IoTimeout;
            int error = 0;
            socklen_t size = sizeof error;
            if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == -1)
                return PortCodeFromErrno(errno);
            if (error != 0)
                return PortCodeFromErrno(error);
        }
        if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == -1)
            return PortCodeFromErrno(errno);
        if (Bounded()) {
            const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(timeout_);
            timeval bound{static_cast<time_t>(micros.count() / 1'000'000),
                          static_cast<suseconds_t>(micros.count() % 1'000'000)};
            ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &bound, sizeof bound);
        }
        return 0;
    }

    int RemainingMillis(Clock::time_point deadline) const {
        if (!Bounded())
            return -1;
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        return left <= 0 ? 0 : static_cast<int>(left);
    }

    TPortTimeout timeout_;
    int fd_ = -1;
};

}  // namespace

std::unique_ptr<TPrinterPort> MakeSocketPort(TPortTimeout Timeout) {
    return std::make_unique<SocketPort>(Timeout);
}

}  // namespace eds
