// The port layer: the three calls a send makes on the operating system, one implementation per
// platform.
#pragma once

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

// The operating system's file interface: CreateFile on Windows, open(2) on POSIX, where "LptN"
// names /dev/lp(N-1).
std::unique_ptr<TPrinterPort> MakeSystemPort();

}  // namespace eds
