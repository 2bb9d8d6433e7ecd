#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>
#include <utility>

#include "io_error.h"
#include "printer_port.h"

namespace eds {
namespace {

// GetLastError is read only after a call has failed: a create-always open that succeeds leaves
// 183 (already exists) behind.
TPortCode LastCode() {
    return static_cast<TPortCode>(GetLastError());
}

// Names reach CreateFileW as UTF-16. A name that is valid UTF-8 is read as UTF-8, which is what
// the command line hands over; any other is read in the ANSI code page, the 8-bit text a plain
// main() receives. ASCII names such as "Lpt1" read the same either way.
std::wstring WideName(const std::string& name) {
    const int size = static_cast<int>(std::min<std::size_t>(name.size(), INT_MAX));
    for (const auto& [codePage, flags] : {std::pair<UINT, DWORD>{CP_UTF8, MB_ERR_INVALID_CHARS},
                                          std::pair<UINT, DWORD>{CP_ACP, 0}}) {
        const int length = MultiByteToWideChar(codePage, flags, name.data(), size, nullptr, 0);
        if (length > 0) {
            std::wstring wide(static_cast<std::size_t>(length), L'\0');
            MultiByteToWideChar(codePage, flags, name.data(), size, wide.data(), length);
            return wide;
        }
    }
    return {};
}

// One WriteFile takes at most 4 GiB; more comes back as a short write.
DWORD WriteCount(std::span<const std::uint8_t> bytes) {
    return static_cast<DWORD>(std::min<std::size_t>(bytes.size(), MAXDWORD));
}

class Win32Port : public TPrinterPort {
  public:
    explicit Win32Port(TPortTimeout timeout) : timeout_(timeout) {}
    Win32Port(const Win32Port&) = delete;
    Win32Port& operator=(const Win32Port&) = delete;
    ~Win32Port() override { Win32Port::Close(); }

    TPortCode Open(const std::string& name) override {
        Close();
        // Read and write access with both shared, as the port has always been opened, so that a
        // spooler or monitor holding the port does not lock the program out. A bounded port is
        // opened for overlapped writes, which can be given up on; the open itself returns at
        // once for a parallel port and is not bounded.
        const DWORD attributes = FILE_ATTRIBUTE_NORMAL | (Bounded() ? FILE_FLAG_OVERLAPPED : 0);
        handle_ = CreateFileW(WideName(name).c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                              attributes, nullptr);
        return handle_ == INVALID_HANDLE_VALUE ? LastCode() : 0;
    }

    TPortWrite Write(std::span<const std::uint8_t> bytes) override {
        if (Bounded())
            return WriteWithin(bytes);
        DWORD written = 0;
        if (!WriteFile(handle_, bytes.data(), WriteCount(bytes), &written, nullptr))
            return {0, LastCode()};
        return {written, 0};
    }

    TPortCode Close() override {
        if (handle_ == INVALID_HANDLE_VALUE)
            return 0;
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) ? 0 : LastCode();
    }

  protected:
    bool Bounded() const { return timeout_ > TPortTimeout::zero(); }

    HANDLE handle_ = INVALID_HANDLE_VALUE;

  private:
    // An overlapped write waited for up to the bound, then cancelled: 1460 unless it finished
    // in the meantime.
    TPortWrite WriteWithin(std::span<const std::uint8_t> bytes) {
        OVERLAPPED overlapped{};
        overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (overlapped.hEvent == nullptr)
            return {0, LastCode()};
        TPortWrite result;
        DWORD written = 0;
        if (WriteFile(handle_, bytes.data(), WriteCount(bytes), nullptr, &overlapped) ||
            GetLastError() == ERROR_IO_PENDING) {
            const auto millis = std::min<long long>(timeout_.count(), INFINITE - 1);
            const bool late =
                WaitForSingleObject(overlapped.hEvent, static_cast<DWORD>(millis)) == WAIT_TIMEOUT;
            if (late)
                CancelIoEx(handle_, &overlapped);
            if (GetOverlappedResult(handle_, &overlapped, &written, TRUE))
                result = {written, 0};
            else
                result = {0, late ? IoTimeout : LastCode()};
        } else {
            result = {0, LastCode()};
        }
        CloseHandle(overlapped.hEvent);
        return result;
    }

    TPortTimeout timeout_;
};

// A handle of its own on standard output, so that Close leaves standard output open. Writes to
// it are not bounded: a console or an inherited pipe is not opened for overlapped writes.
class StandardOutputPort final : public Win32Port {
  public:
    StandardOutputPort() : Win32Port(TPortTimeout::zero()) {}

    TPortCode Open(const std::string&) override {
        Close();
        const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
        if (output == INVALID_HANDLE_VALUE)
            return LastCode();
        if (output == nullptr)
            return ERROR_INVALID_HANDLE;
        if (!DuplicateHandle(GetCurrentProcess(), output, GetCurrentProcess(), &handle_, 0, FALSE,
                             DUPLICATE_SAME_ACCESS)) {
            handle_ = INVALID_HANDLE_VALUE;
            return LastCode();
        }
        return 0;
    }
};

}  // namespace

std::unique_ptr<TPrinterPort> MakeSystemPort() {
    return MakeBoundedSystemPort(TPortTimeout::zero());
}

std::unique_ptr<TPrinterPort> MakeBoundedSystemPort(TPortTimeout Timeout) {
    return std::make_unique<Win32Port>(Timeout);
}

std::unique_ptr<TPrinterPort> MakeStandardOutputPort(TPortTimeout) {
    return std::make_unique<StandardOutputPort>();
}

}  // namespace eds
