#include <windows.h>

#include <algorithm>
#include <cwctype>

#include "port_listing.h"

namespace eds::cli {
namespace {

// The N of "LPTN", or -1 for any other DOS device name.
int LptNumber(const std::wstring& name) {
    if (name.size() < 4 || name.size() > 6 || _wcsnicmp(name.c_str(), L"LPT", 3) != 0)
        return -1;
    if (!std::all_of(name.begin() + 3, name.end(), [](wchar_t c) { return std::iswdigit(c); }))
        return -1;
    return std::stoi(name.substr(3));
}

// Every DOS device name the system knows, from QueryDosDevice's list of strings.
std::vector<std::wstring> DosDeviceNames() {
    std::vector<wchar_t> buffer(16384);
    for (;;) {
        const DWORD length =
            QueryDosDeviceW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length != 0) {
            std::vector<std::wstring> names;
            for (const wchar_t* name = buffer.data(); *name != L'\0'; name += wcslen(name) + 1)
                names.emplace_back(name);
            return names;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || buffer.size() > (1U << 22))
            return {};
        buffer.resize(buffer.size() * 4);
    }
}

// Opening for writing with OPEN_EXISTING sends nothing, not even to a printer.
bool CanWrite(const std::wstring& name) {
    const HANDLE handle =
        CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return true;
}

}  // namespace

// Windows has no device folders to look in: the parallel ports are the LPT names among the DOS
// devices, and the roots that the Linux build reads are not used.
std::vector<TPortEntry> FindPrinterPorts(const std::filesystem::path&,
                                         const std::filesystem::path&) {
    std::vector<std::pair<int, std::wstring>> lpts;
    for (const std::wstring& name : DosDeviceNames()) {
        if (const int number = LptNumber(name); number > 0)
            lpts.emplace_back(number, name);
    }
    std::sort(lpts.begin(), lpts.end());
    std::vector<TPortEntry> ports;
    for (const auto& [number, name] : lpts) {
        TPortEntry port;
        port.Device = "LPT" + std::to_string(number);
        port.Present = true;
        port.Writable = CanWrite(name);
        if (!port.Writable)
            port.Fix =
                "A port that cannot be opened is held by another program or disabled: "
                "check Device Manager, then the program that prints to it.";
        ports.push_back(port);
    }
    return ports;
}

}  // namespace eds::cli
