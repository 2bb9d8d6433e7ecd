// The sender of the Windows build over real Windows objects: files, folders, devices and
// handles held by another opener. Run under Wine here; nothing in it is Wine's own, apart from
// the Z: drive that reaches the Unix /dev/full.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>

#include "eds_command.h"
#include "setting_sender.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const Bytes kBaudrate38400 = {0x1B, 0x7C, 0x00, 0x1E, 0x00, 0x48, 0xB7,
                              0x24, 0x31, 0x17, 0x06, 0x1B, 0x40};

// A fresh folder under the Windows temporary folder, removed with its contents at the end.
class TempFolder {
  public:
    TempFolder() {
        static std::atomic<int> serial = 0;
        path_ = fs::temp_directory_path() /
                ("eds-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(serial++));
        fs::create_directories(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }
    fs::path operator/(const fs::path& name) const { return path_ / name; }

  private:
    fs::path path_;
};

std::optional<Bytes> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

// The name of a path as the command line hands it over: UTF-8.
std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The same name in the ANSI code page, as a plain main() receives it.
std::string Ansi(const fs::path& path) {
    const std::wstring wide = path.wstring();
    const int size = static_cast<int>(wide.size());
    std::string text(
        WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, text.data(), static_cast<int>(text.size()),
                        nullptr, nullptr);
    return text;
}

struct Outcome {
    int ioCode = 0;  // 0: sent
    std::string message;
    bool operator==(const Outcome&) const = default;
};

const Outcome kSent{0, ""};

void PrintTo(const Outcome& outcome, std::ostream* os) {
    *os << outcome.ioCode << " \"" << outcome.message << "\"";
}

Outcome Send(const std::string& destination) {
    try {
        eds::TSettingSender(destination).SendSetting(24, 6);
        return {};
    } catch (const eds::EInOutError& error) {
        return {error.IoCode(), error.what()};
    }
}

struct ObjectCase {
    const char* name;
    // Makes the object in the folder and returns the name to send to.
    std::function<std::string(const TempFolder&)> prepare;
    Outcome expected;
    // Where the object keeps the bytes, and what it must hold afterwards (nothing: no file).
    const wchar_t* file = nullptr;
    std::optional<Bytes> expectedBytes = std::nullopt;
};

void PrintTo(const ObjectCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr wchar_t kUnicodeName[] =
    L"Drucker-B\u00FCro \u041F\u0440\u0438\u043D\u0442\u0435\u0440.prn";
constexpr wchar_t kAnsiName[] = L"Drucker-B\u00FCro.prn";

class SenderOverWindowsObjects : public testing::TestWithParam<ObjectCase> {};

TEST_P(SenderOverWindowsObjects, ReportsTheCodeOfTheFaultAndLeavesTheBytes) {
    const ObjectCase& c = GetParam();
    TempFolder folder;
    EXPECT_EQ(Send(c.prepare(folder)), c.expected);
    if (c.file) {
        EXPECT_EQ(ReadBytes(folder / c.file), c.expectedBytes);
    }
}

const ObjectCase kObjectCases[] = {
    // Create-always replaces what the file held; the 183 a successful open leaves behind is
    // no error.
    {"ExistingFileHoldsExactlyTheCommand",
     [](const TempFolder& f) {
         WriteBytes(f / "port", Bytes(100, 'x'));
         return Utf8(f / "port");
     },
     kSent, L"port", kBaudrate38400},
    // Unlike the Linux build, which never creates a file: a Windows port name is a device that
    // exists or not, and create-always is how the port has always been opened.
    {"MissingFileInAFolderIsCreated", [](const TempFolder& f) { return Utf8(f / "new.prn"); },
     kSent, L"new.prn", kBaudrate38400},
    {"MissingFolderIsInvalidFilename",
     [](const TempFolder& f) { return Utf8(f / "none/lpt"); },
     {3, "Invalid filename"},
     L"none/lpt"},
    {"FolderIsAccessDenied",
     [](const TempFolder& f) { return Utf8(f.Path()); },
     {5, "File access denied"}},
    {"NulDeviceTakesTheCommand", [](const TempFolder&) { return std::string("NUL"); }, kSent},
    {"UnicodeNameInUtf8", [](const TempFolder& f) { return Utf8(f / kUnicodeName); }, kSent,
     kUnicodeName, kBaudrate38400},
    {"NameInTheAnsiCodePage", [](const TempFolder& f) { return Ansi(f / kAnsiName); }, kSent,
     kAnsiName, kBaudrate38400},
};

INSTANTIATE_TEST_SUITE_P(, SenderOverWindowsObjects, testing::ValuesIn(kObjectCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The port is opened for reading and writing and shares both, so it gets past another opener
// exactly when that opener shares both: a reader that does not share reading shows that the
// port asks for read access too. 32 is the sharing violation.
TEST(SenderSharing, OpensBesideAnotherOpenerOnlyWhereBothShare) {
    struct Case {
        const char* name;
        DWORD access;
        DWORD share;
        Outcome expected;
    };
    const Case cases[] = {
        {"reader sharing both", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, kSent},
        {"writer sharing both", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, kSent},
        {"reader sharing writing only", GENERIC_READ, FILE_SHARE_WRITE, {32, "I/O error 32"}},
        {"reader sharing reading only", GENERIC_READ, FILE_SHARE_READ, {32, "I/O error 32"}},
        {"reader sharing nothing", GENERIC_READ, 0, {32, "I/O error 32"}},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        WriteBytes(folder / "port", {});
        const HANDLE other = CreateFileW((folder / "port").c_str(), c.access, c.share, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(other, INVALID_HANDLE_VALUE) << c.name;
        EXPECT_EQ(Send(Utf8(folder / "port")), c.expected) << c.name;
        CloseHandle(other);
        EXPECT_EQ(ReadBytes(folder / "port"), c.expected.ioCode ? Bytes{} : kBaudrate38400)
            << c.name;
    }
}

// /dev/full through Wine's Z: drive: a write that fails after a good open.
const char kFullDevice[] = "Z:\\dev\\full";

bool HaveFullDevice() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TEST(Sender, FullDeviceIsIoError112) {
    if (!HaveFullDevice())
        GTEST_SKIP() << "no Z:\\dev\\full outside Wine";
    EXPECT_EQ(Send(kFullDevice), (Outcome{112, "I/O error 112"}));
}

// A handle the sender left open, shared as the port is, would make an exclusive open fail with a
// sharing violation.
TEST(Sender, ReleasesTheHandleWhetherTheWriteSucceedsOrFails) {
    TempFolder folder;
    struct Path {
        const char* name;
        std::string destination;
        int ioCode;
    };
    std::vector<Path> paths = {{"sent", Utf8(folder / "port"), 0}};
    if (HaveFullDevice())
        paths.push_back({"write fails", kFullDevice, 112});
    for (const Path& path : paths) {
        ASSERT_EQ(Send(path.destination).ioCode, path.ioCode) << path.name;
        const HANDLE exclusive = CreateFileA(path.destination.c_str(), GENERIC_READ, 0, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(exclusive, INVALID_HANDLE_VALUE) << path.name << ": " << GetLastError();
        CloseHandle(exclusive);
    }
}

TEST(Sender, OpensAfreshAfterAFailure) {
    TempFolder folder;
    const eds::TSettingSender sender(Utf8(folder / "port/lpt"));
    EXPECT_THROW(sender.SendSetting(24, 6), eds::EInOutError);
    fs::create_directory(folder / "port");
    EXPECT_NO_THROW(sender.SendSetting(24, 6));
    EXPECT_EQ(ReadBytes(folder / "port/lpt"), kBaudrate38400);
}

}  // namespace
