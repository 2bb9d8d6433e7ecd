#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <optional>
#include <thread>

#include "eds_command.h"
#include "setting_sender.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using eds::test::Bytes;
using eds::test::kBaudrate38400;
using eds::test::ReadBytes;
using eds::test::RunProcess;
using eds::test::TempDir;
using eds::test::WriteBytes;

struct Outcome {
    int ioCode = 0;  // 0: sent
    std::string message;
};

Outcome SendInProcess(const std::string& destination) {
    try {
        eds::TSettingSender(destination).SendSetting(24, 6);
        return {};
    } catch (const eds::EInOutError& error) {
        return {error.IoCode(), error.what()};
    }
}

// The same send in a child process: "sent", or "CODE MESSAGE" on its standard output.
Outcome ParseProbe(const eds::test::ProcessResult& run) {
    if (run.exitCode == 0 && run.out == "sent\n")
        return {};
    if (run.exitCode != 1)
        return {-1, "probe failed: " + run.out + run.err};
    const auto blank = run.out.find(' ');
    return {std::stoi(run.out.substr(0, blank)),
            run.out.substr(blank + 1, run.out.size() - blank - 2)};
}

constexpr int kSkip = 77;

// Prepares a real kernel object in the case's directory and sends setting 24 at "38400 *" to it.
// Returns nothing when this machine cannot make the object (not root, no namespaces).
struct SenderCase {
    const char* name;
    std::function<std::optional<Outcome>(const TempDir&)> send;
    int ioCode;
    const char* message;
    // The bytes the object must hold afterwards, where it keeps them.
    std::function<std::optional<Bytes>(const TempDir&)> received = nullptr;
    std::optional<Bytes> expectedBytes = std::nullopt;
};

std::optional<Outcome> ToPath(const TempDir& dir, const std::string& name) {
    return SendInProcess((dir / name).string());
}

std::optional<Outcome> ToFifoWithReader(const TempDir& dir) {
    const fs::path fifo = dir / "fifo";
    if (mkfifo(fifo.c_str(), 0600) != 0)
        return std::nullopt;
    Bytes arrived;
    std::thread reader([&] {
        const int fd = open(fifo.c_str(), O_RDONLY | O_CLOEXEC);
        std::uint8_t buffer[64];
        for (ssize_t n = 0; (n = read(fd, buffer, sizeof buffer)) > 0;) {
            arrived.insert(arrived.end(), buffer, buffer + n);
        }
        close(fd);
    });
    Outcome outcome = SendInProcess(fifo.string());
    reader.join();
    WriteBytes(dir / "fifo-arrived", arrived);
    return outcome;
}

// The write side of a pipe whose reader has closed, reached by name through /proc.
std::optional<Outcome> ToPipeWithoutReader(const TempDir& /*dir*/) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return std::nullopt;
    close(ends[0]);
    Outcome outcome = SendInProcess("/proc/self/fd/" + std::to_string(ends[1]));
    close(ends[1]);
    return outcome;
}

std::optional<Outcome> ToNodeWithoutDriver(const TempDir& dir) {
    const std::optional<fs::path> node = eds::test::MakeNodeWithoutDriver(dir);
    if (!node)
        return std::nullopt;
    return SendInProcess(node->string());
}

std::optional<Outcome> AsNobody(const TempDir& dir) {
    const std::optional<fs::path> file = eds::test::MakeRootOnlyFile(dir);
    if (!file)
        return std::nullopt;
    std::vector<std::string> argv = eds::test::AsNobody();
    argv.insert(argv.end(), {SEND_PROBE, file->string(), "24", "6"});
    return ParseProbe(RunProcess(argv));
}

// Runs the probe with the program's own destination, the first parallel port, in a private
// mount namespace whose /dev is an overlay, so the real /dev is never touched. With a capture
// file, /dev/lp0 there is that file; without, /dev/lp0 does not exist.
std::optional<Outcome> ToLpt1InPrivateDev(const TempDir& dir, bool withPort) {
    if (geteuid() != 0)
        return std::nullopt;
    fs::create_directory(dir / "upper");
    fs::create_directory(dir / "work");
    const std::string capture = withPort ? (dir / "capture").string() : "";
    if (withPort)
        WriteBytes(capture, {});
    const char* script = R"(
        mount -t overlay overlay -o "lowerdir=/dev,upperdir=$1,workdir=$2" /dev || exit 77
        rm -f /dev/lp0
        if [ -n "$3" ]; then touch /dev/lp0 && mount --bind "$3" /dev/lp0 || exit 77; fi
        exec "$4" 24 6)";
    const auto run =
        RunProcess({"unshare", "-m", "--propagation", "private", "sh", "-c", script, "sh",
                    (dir / "upper").string(), (dir / "work").string(), capture, SEND_PROBE});
    if (run.exitCode == kSkip || (run.exitCode != 0 && run.exitCode != 1))
        return std::nullopt;
    return ParseProbe(run);
}

std::optional<Bytes> FileAt(const TempDir& dir, const char* name) {
    if (!fs::exists(dir / name))
        return std::nullopt;
    return ReadBytes(dir / name);
}

void PrintTo(const SenderCase& c, std::ostream* os) {
    *os << c.name;
}

class SenderOverKernelObjects : public testing::TestWithParam<SenderCase> {};

TEST_P(SenderOverKernelObjects, ReportsTheCodeAndMessageOfTheFault) {
    const SenderCase& c = GetParam();
    TempDir dir;
    const std::optional<Outcome> outcome = c.send(dir);
    if (!outcome)
        GTEST_SKIP() << "this machine cannot make the object (needs root)";
    EXPECT_EQ(outcome->ioCode, c.ioCode);
    EXPECT_EQ(outcome->message, c.message);
    if (c.received) {
        EXPECT_EQ(c.received(dir), c.expectedBytes);
    }
}

const SenderCase kSenderCases[] = {
    {"TempFileHoldsExactlyTheCommand",
     [](const TempDir& d) {
         WriteBytes(d / "file", Bytes(100, 'x'));
         return ToPath(d, "file");
     },
     0, "", [](const TempDir& d) { return FileAt(d, "file"); }, kBaudrate38400},
    {"MissingDirectoryIsFileNotFound", [](const TempDir& d) { return ToPath(d, "none/lp0"); }, 2,
     "File not found", [](const TempDir& d) { return FileAt(d, "none/lp0"); }},
    {"MissingNodeIsNeverCreated", [](const TempDir& d) { return ToPath(d, "lp0"); }, 2,
     "File not found", [](const TempDir& d) { return FileAt(d, "lp0"); }},
    {"DirectoryIsAccessDenied", [](const TempDir& d) { return SendInProcess(d.Path().string()); },
     5, "File access denied"},
    {"FullDeviceIsIoError112", [](const TempDir&) { return SendInProcess("/dev/full"); }, 112,
     "I/O error 112"},
    {"PathThroughAFileIsInvalidFilename",
     [](const TempDir& d) {
         WriteBytes(d / "file", {});
         return ToPath(d, "file/lp0");
     },
     3, "Invalid filename"},
    {"SymlinkLoopIsInvalidFilename",
     [](const TempDir& d) {
         fs::create_symlink(d / "loop", d / "loop");
         return ToPath(d, "loop");
     },
     3, "Invalid filename"},
    {"FifoWithAReaderGetsTheBytes", ToFifoWithReader, 0, "",
     [](const TempDir& d) { return FileAt(d, "fifo-arrived"); }, kBaudrate38400},
    {"ReaderGoneIsBrokenPipeNotASignal", ToPipeWithoutReader, 232, "I/O error 232"},
    {"NodeWithoutADriverIsFileNotFound", ToNodeWithoutDriver, 2, "File not found"},
    {"AccessDeniedToAnotherUser", AsNobody, 5, "File access denied",
     [](const TempDir& d) { return FileAt(d, "root-only"); }, Bytes{}},
    {"Lpt1IsDevLp0", [](const TempDir& d) { return ToLpt1InPrivateDev(d, true); }, 0, "",
     [](const TempDir& d) { return FileAt(d, "capture"); }, kBaudrate38400},
    {"AbsentDevLp0IsFileNotFoundAndNotCreated",
     [](const TempDir& d) { return ToLpt1InPrivateDev(d, false); }, 2, "File not found",
     [](const TempDir& d) -> std::optional<Bytes> {
         struct stat st {};
         if (lstat((d / "upper/lp0").c_str(), &st) == 0 && S_ISREG(st.st_mode))
             return Bytes{};
         return std::nullopt;
     }},
};

INSTANTIATE_TEST_SUITE_P(, SenderOverKernelObjects, testing::ValuesIn(kSenderCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Sender, OpensAfreshAfterAFailure) {
    TempDir dir;
    const eds::TSettingSender sender((dir / "port/lp0").string());
    EXPECT_THROW(sender.SendSetting(24, 6), eds::EInOutError);
    fs::create_directory(dir / "port");
    WriteBytes(dir / "port/lp0", {});
    EXPECT_NO_THROW(sender.SendSetting(24, 6));
    EXPECT_EQ(ReadBytes(dir / "port/lp0"), kBaudrate38400);
}

TEST(Sender, FailingSendsLeakNoDescriptor) {
    const eds::TSettingSender sender("/dev/full");
    const int before = eds::test::OpenDescriptorCount();
    for (int i = 0; i < 10000; ++i) {
        try {
            sender.SendSetting(1, 0);
            FAIL() << "a write to /dev/full succeeded";
        } catch (const eds::EInOutError& error) {
            ASSERT_EQ(error.IoCode(), 112);
        }
    }
    EXPECT_EQ(eds::test::OpenDescriptorCount(), before);
}

TEST(Sender, EncodesAnyNumberAndPositionAsTheirLowBytes) {
    TempDir dir;
    WriteBytes(dir / "file", {});
    const eds::TSettingSender sender((dir / "file").string());
    struct Case {
        int number;
        int choice;
        std::uint8_t functionCode;
        std::uint8_t value;
    };
    const Case cases[] = {{20, 3, 0x13, 3},          {5, 0, 0x04, 0},
                          {0, 0, 0xFF, 0},           {27, 300, 26, 44},
                          {INT_MIN, -1, 0xFF, 0xFF}, {INT_MAX, INT_MIN, 0xFE, 0}};
    for (const Case& c : cases) {
        sender.SendSetting(c.number, c.choice);
        const auto command = eds::BuildEdsCommand(c.functionCode, c.value);
        EXPECT_EQ(ReadBytes(dir / "file"), Bytes(command.begin(), command.end()))
            << c.number << "/" << c.choice;
    }
}

// A port whose results are set by the test: for the faults no real device produces on demand.
struct ScriptedPort final : eds::TPrinterPort {
    struct Log {
        std::string opened;
        Bytes written;
        int closes = 0;
    };
    ScriptedPort(Log& log, eds::TPortCode openCode, eds::TPortWrite write, eds::TPortCode closeCode)
        : log(log), openCode(openCode), write(write), closeCode(closeCode) {}
    eds::TPortCode Open(const std::string& name) override {
        log.opened = name;
        return openCode;
    }
    eds::TPortWrite Write(std::span<const std::uint8_t> bytes) override {
        log.written.assign(bytes.begin(), bytes.end());
        return write;
    }
    eds::TPortCode Close() override {
        ++log.closes;
        return closeCode;
    }
    Log& log;
    eds::TPortCode openCode;
    eds::TPortWrite write;
    eds::TPortCode closeCode;
};

TEST(Sender, RaisesTheFirstFailingStepAndAlwaysCloses) {
    struct Case {
        const char* name;
        eds::TPortWrite write;
        eds::TPortCode closeCode;
        int ioCode;
        const char* message;
    };
    const Case cases[] = {
        {"all steps succeed", {13, 0}, 0, 0, ""},
        {"short write", {5, 0}, 0, 101, "Disk full"},
        {"nothing accepted", {0, 0}, 0, 101, "Disk full"},
        {"close fails", {13, 0}, 5, 5, "File access denied"},
        {"write and close fail", {0, 112}, 5, 112, "I/O error 112"},
        {"short write and close fails", {12, 0}, 21, 101, "Disk full"},
    };
    for (const Case& c : cases) {
        ScriptedPort::Log log;
        const eds::TSettingSender sender(
            "Lpt1", [&] { return std::make_unique<ScriptedPort>(log, 0, c.write, c.closeCode); });
        int ioCode = 0;
        std::string message;
        try {
            sender.SendSetting(24, 6);
        } catch (const eds::EInOutError& error) {
            ioCode = error.IoCode();
            message = error.what();
        }
        EXPECT_EQ(ioCode, c.ioCode) << c.name;
        EXPECT_EQ(message, c.message) << c.name;
        EXPECT_EQ(log.opened, "Lpt1") << c.name;
        EXPECT_EQ(log.written, kBaudrate38400) << c.name;
        EXPECT_EQ(log.closes, 1) << c.name;
    }
}

TEST(Sender, FailedOpenWritesNothing) {
    ScriptedPort::Log log;
    const eds::TSettingSender sender("Lpt1", [&] {
        return std::make_unique<ScriptedPort>(log, 2, eds::TPortWrite{13, 0}, 0);
    });
    EXPECT_THROW(sender.SendSetting(1, 0), eds::EInOutError);
    EXPECT_TRUE(log.written.empty());
}

TEST(Sender, SendsOnlyTheCountGivenAndRefusesMoreThanItHas) {
    ScriptedPort::Log log;
    const eds::TSettingSender sender("Lpt1", [&] {
        return std::make_unique<ScriptedPort>(log, 0, eds::TPortWrite{4, 0}, 0);
    });
    sender.SendToPrinter(kBaudrate38400, 4);
    EXPECT_EQ(log.written, Bytes(kBaudrate38400.begin(), kBaudrate38400.begin() + 4));

    log = {};
    EXPECT_THROW(sender.SendToPrinter(kBaudrate38400, 14), std::invalid_argument);
    EXPECT_TRUE(log.opened.empty());
}

TEST(IoErrorMessages, FollowTheCodeTable) {
    const std::pair<int, const char*> cases[] = {
        {2, "File not found"},
        {3, "Invalid filename"},
        {4, "Too many open files"},
        {5, "File access denied"},
        {100, "Read beyond end of file"},
        {101, "Disk full"},
        {106, "Invalid numeric input"},
        {21, "I/O error 21"},
        {0, "I/O error 0"},
        {433, "I/O error 433"},
    };
    for (const auto& [code, message] : cases)
        EXPECT_EQ(eds::IoErrorMessage(code), message);
}

}  // namespace
