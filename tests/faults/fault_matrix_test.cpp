// One table of real device faults, each run through both programs: the window (an error box
// with the message, then the window usable again) and edsctl (exit status 1, the same message
// on standard error). Every program runs in its own process, so that a case can run it as
// another user or in a private mount namespace, and under a time limit, so that a send that
// blocks fails the case instead of the suite.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "eds_command.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using eds::test::Bytes;
using eds::test::RunProcess;
using eds::test::TempDir;
using eds::test::WriteBytes;

constexpr int kSkip = 77;
const eds::TEdsCommand kBaudrate38400 = eds::BuildEdsCommand(0x17, 6);

enum class Program { Window, Edsctl };

// A fault made real for one run of a program.
struct Fault {
    std::string destination;
    // Runs the program as another user or in its own mount namespace.
    std::vector<std::string> wrapper;
    // Whatever must stay alive while the program runs: a pipe's write end, a reader thread.
    std::shared_ptr<void> holds;
    // For a destination that reads: every byte that arrived, once the program has finished.
    std::function<Bytes()> arrived;
};

struct FaultCase {
    const char* name;
    // Nothing when this machine cannot make the fault (not root).
    std::function<std::optional<Fault>(const TempDir&, int sends)> make;
    // As shown, full stop included; empty when the send succeeds.
    std::string message;
    // The window has no time limit of its own: a FIFO nobody reads holds it until a reader
    // comes, which FifoWhoseReaderComesLateGetsTheBytes shows. Only edsctl runs such a case.
    bool windowRuns = true;
    std::vector<std::string> edsctlOptions = {};
};

std::optional<Fault> At(std::string destination) {
    return Fault{std::move(destination), {}, nullptr, nullptr};
}

std::optional<Fault> NodeWithoutDriver(const TempDir& dir, int /*sends*/) {
    const std::optional<fs::path> node = eds::test::MakeNodeWithoutDriver(dir);
    if (!node)
        return std::nullopt;
    return At(node->string());
}

std::optional<Fault> RootOnlyFile(const TempDir& dir, int /*sends*/) {
    const std::optional<fs::path> file = eds::test::MakeRootOnlyFile(dir);
    if (!file)
        return std::nullopt;
    return Fault{file->string(), eds::test::AsNobody(), nullptr, nullptr};
}

std::optional<Fault> FileOnReadOnlyMount(const TempDir& dir, int /*sends*/) {
    if (geteuid() != 0)
        return std::nullopt;
    fs::create_directory(dir / "mount");
    WriteBytes(dir / "mount/lp0", {});
    const char* script =
        R"(mount --bind "$0" "$0" && mount -o remount,bind,ro "$0" || exit 77; exec "$@")";
    return Fault{
        (dir / "mount/lp0").string(),
        {"unshare", "-m", "--propagation", "private", "sh", "-c", script, (dir / "mount").string()},
        nullptr,
        nullptr};
}

std::optional<Fault> Fifo(const TempDir& dir) {
    const fs::path fifo = dir / "fifo";
    if (mkfifo(fifo.c_str(), 0600) != 0)
        return std::nullopt;
    return At(fifo.string());
}

// A reader that comes 300 ms after the program started and reads until every send has arrived
// or 20 s have passed.
std::optional<Fault> FifoWithLateReader(const TempDir& dir, int sends) {
    std::optional<Fault> fault = Fifo(dir);
    if (!fault)
        return std::nullopt;
    auto bytes = std::make_shared<Bytes>();
    auto reader = std::make_shared<std::thread>([path = fault->destination, bytes, sends] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        const std::size_t expected = kBaudrate38400.size() * static_cast<std::size_t>(sends);
        while (bytes->size() < expected && std::chrono::steady_clock::now() < giveUp) {
            pollfd readable{fd, POLLIN, 0};
            poll(&readable, 1, 100);
            std::array<std::uint8_t, 64> buffer{};
            const ssize_t n = read(fd, buffer.data(), buffer.size());
            if (n > 0)
                bytes->insert(bytes->end(), buffer.begin(), buffer.begin() + n);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        close(fd);
    });
    fault->holds = reader;
    fault->arrived = [reader, bytes] {
        reader->join();
        return *bytes;
    };
    return fault;
}

// The write end of a pipe whose reader has closed, opened afresh through /proc.
std::optional<Fault> PipeWithoutReader(const TempDir& /*dir*/, int /*sends*/) {
    std::array<int, 2> ends{};
    if (pipe2(ends.data(), O_CLOEXEC) != 0)
        return std::nullopt;
    close(ends[0]);
    struct OpenEnd {
        int fd;
        explicit OpenEnd(int fd) : fd(fd) {}
        OpenEnd(const OpenEnd&) = delete;
        OpenEnd& operator=(const OpenEnd&) = delete;
        ~OpenEnd() { close(fd); }
    };
    return Fault{"/proc/" + std::to_string(getpid()) + "/fd/" + std::to_string(ends[1]),
                 {},
                 std::make_shared<OpenEnd>(ends[1]),
                 nullptr};
}

const FaultCase kFaultCases[] = {
    {"MissingNode", [](const TempDir& d, int) { return At((d / "none/lp0").string()); },
     "File not found."},
    {"NodeWithoutADriver", NodeWithoutDriver, "File not found."},
    {"Directory", [](const TempDir& d, int) { return At(d.Path().string()); },
     "File access denied."},
    {"FullDevice", [](const TempDir&, int) { return At("/dev/full"); }, "I/O error 112."},
    {"AccessDeniedToAnotherUser", RootOnlyFile, "File access denied."},
    {"ReadOnlyMount", FileOnReadOnlyMount, "File access denied."},
    {"FifoWithoutAReaderTimesOut",
     [](const TempDir& d, int) { return Fifo(d); },
     "I/O error 1460.",
     false,
     {"--timeout", "0.3"}},
    {"FifoWhoseReaderComesLateGetsTheBytes", FifoWithLateReader, ""},
    {"ReaderGoneIsBrokenPipe", PipeWithoutReader, "I/O error 232."},
};

struct MatrixCase {
    const FaultCase* fault;
    Program program;
};

std::vector<MatrixCase> AllCases() {
    std::vector<MatrixCase> cases;
    for (const FaultCase& fault : kFaultCases) {
        if (fault.windowRuns)
            cases.push_back({&fault, Program::Window});
        cases.push_back({&fault, Program::Edsctl});
    }
    return cases;
}

void PrintTo(const MatrixCase& c, std::ostream* os) {
    *os << c.fault->name << (c.program == Program::Window ? " window" : " edsctl");
}

Bytes Repeated(const eds::TEdsCommand& command, int times) {
    Bytes bytes;
    for (int i = 0; i < times; ++i)
        bytes.insert(bytes.end(), command.begin(), command.end());
    return bytes;
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

class FaultMatrix : public testing::TestWithParam<MatrixCase> {};

TEST_P(FaultMatrix, ShowsTheFaultsMessageAndGoesOn) {
    const FaultCase& c = *GetParam().fault;
    const bool window = GetParam().program == Program::Window;
    // The window presses its button twice, to show that it is still usable after the first.
    const int sends = window ? 2 : 1;
    TempDir dir;
    const std::optional<Fault> fault = c.make(dir, sends);
    if (!fault)
        GTEST_SKIP() << "this machine cannot make the fault (needs root)";

    std::vector<std::string> argv = {"timeout", "-k", "5", "60"};
    argv.insert(argv.end(), fault->wrapper.begin(), fault->wrapper.end());
    if (window) {
        argv.insert(argv.end(), {WINDOW_FAULT_PROBE, fault->destination});
    } else {
        argv.insert(argv.end(), {EDSCTL, "set", "24", "38400", "--device", fault->destination});
        argv.insert(argv.end(), c.edsctlOptions.begin(), c.edsctlOptions.end());
    }
    const eds::test::ProcessResult run = RunProcess(argv);
    if (run.exitCode == kSkip)
        GTEST_SKIP() << "this machine cannot make the fault: " << run.err;
    const std::string context = "out:\n" + run.out + "err:\n" + run.err;

    if (window) {
        const std::string press =
            c.message.empty() ? "sent\n" : "box critical ok " + c.message + "\n";
        EXPECT_EQ(run.exitCode, 0) << context;
        EXPECT_EQ(run.out, press + press + "usable\n") << context;
    } else if (c.message.empty()) {
        EXPECT_EQ(run.exitCode, 0) << context;
        EXPECT_EQ(run.err, "") << context;
    } else {
        EXPECT_EQ(run.exitCode, 1) << context;
        EXPECT_EQ(FirstLine(run.err), "edsctl: " + fault->destination + ": " + c.message)
            << context;
    }
    if (fault->arrived) {
        EXPECT_EQ(fault->arrived(), Repeated(kBaudrate38400, sends));
    }
}

INSTANTIATE_TEST_SUITE_P(, FaultMatrix, testing::ValuesIn(AllCases()), [](const auto& info) {
    return std::string(info.param.fault->name) +
           (info.param.program == Program::Window ? "_Window" : "_Edsctl");
});

}  // namespace
