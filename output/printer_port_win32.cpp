#include <windows.h>

#include "printer_port.h"

namespace eds {
namespace {

// GetLastError is read only after a call has failed: a create-always open that succeeds leaves
// 183 (already exists) behind.
TPortCode LastCode() {
    return static_cast<TPortCode>(GetLastError());
}

class Win32Port final : public TPrinterPort {
  public:
    Win32Port() = default;
    Win32Port(const Win32Port&) = delete;
    Win32Port& operator=(const Win32Port&) = delete;
    ~Win32Port() override { Close(); }

    TPortCode Open(const std::string& name) override {
        handle_ = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        return handle_ == INVALID_HANDLE_VALUE ? LastCode() : 0;
    }

    TPortWrite Write(std::span<const std::uint8_t> bytes) override {
        DWORD written = 0;
        if (!WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
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

  private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<TPrinterPort> MakeSystemPort() {
    return std::make_unique<Win32Port>();
}

}  // namespace eds
