// The port layer: the three calls a send makes on the operating system, one implementation per
// platform.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace eds {

// A Windows system error code (2 file not found, 5 access denied, ...); 0 is success. The POSIX
// implementation translates errno into these.
using TPortCode = int;

struct TPortWrite {
    std::size_t Accepted = 0;
    TPortCode Code = 0;
};

class TPrinterPort {
  public:
    virtual ~TPrinterPort() = default;

    // Opens Name for writing: a device name such as "Lpt1" or a path.
    virtual TPortCode Open(const std::string& Name) = 0;
    // One write; Accepted may be less than asked.
    virtual TPortWrite Write(std::span<const std::uint8_t> Bytes) = 0;
    // Releases the handle even when it reports an error.
    virtual TPortCode Close() = 0;
};

// A bound on each step of a send: the open (or connect), the write and the close. A step that
// runs out of time fails with IoTimeout (1460). Zero is no bound: each step waits as long as the
// system call does, as the window's sends do.
using TPortTimeout = std::chrono::milliseconds;

// The operating system's file interface: CreateFile on Windows, open(2) on POSIX, where "LptN"
// names /dev/lp(N-1).
std::unique_ptr<TPrinterPort> MakeSystemPort();
std::unique_ptr<TPrinterPort> MakeBoundedSystemPort(TPortTimeout Timeout);

// This process's standard output. Open ignores the name and fails when there is no standard
// output; Close leaves standard output itself open.
std::unique_ptr<TPrinterPort> MakeStandardOutputPort(TPortTimeout Timeout);

// Raw TCP to a printer: Open takes "socket://HOST[:PORT]" (socket_address.h) and connects,
// Write sends without ever raising SIGPIPE, Close closes the connection. Failures carry Winsock
// codes: 10061 connection refused, 11001 host not found, ...
std::unique_ptr<TPrinterPort> MakeSocketPort(TPortTimeout Timeout);

}  // namespace eds
