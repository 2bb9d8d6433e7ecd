// Small helpers the tests share: a temporary directory, whole-file reads and writes, and
// running another program with its output captured.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace eds::test {

using Bytes = std::vector<std::uint8_t>;

// A fresh directory under $TMPDIR (or /tmp), removed with everything in it at the end.
class TempDir {
  public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

Bytes ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const Bytes& bytes);

struct ProcessResult {
    int exitCode = -1;  // -1 when the program did not exit normally
    int signal = 0;     // the signal that ended it, if one did
    std::string out;
    std::string err;
};

// Runs argv[0] (looked up in PATH) with the given arguments and standard input closed.
ProcessResult RunProcess(const std::vector<std::string>& argv);

// The number of descriptors this process has open.
int OpenDescriptorCount();

// Whether strace can trace a program here (ptrace may be refused in a container).
bool StraceWorks();

// Setting 24 at "38400 *", spelt out byte by byte so that it checks the command frame too.
inline const Bytes kBaudrate38400 = {0x1B, 0x7C, 0x00, 0x1E, 0x00, 0x48, 0xB7,
                                     0x24, 0x31, 0x17, 0x06, 0x1B, 0x40};

// Real faults that only root can make; each returns nothing for another user.

// Put in front of a command line: runs the program as the unprivileged user nobody.
std::vector<std::string> AsNobody();
// A node of the parallel printer driver (major 6) with minor 200, which no port ever has: its
// open reaches the driver and finds no port. Safe on a machine with a real printer.
std::optional<std::filesystem::path> MakeNodeWithoutDriver(const TempDir& dir);
// An empty file in dir that only root may write, with dir opened for everyone to reach it.
std::optional<std::filesystem::path> MakeRootOnlyFile(const TempDir& dir);

}  // namespace eds::test
