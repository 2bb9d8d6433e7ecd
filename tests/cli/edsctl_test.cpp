// edsctl run as a real process against real destinations: files, FIFOs, pipes, TCP listeners on
// 127.0.0.1 and /dev/full. Exit status, streams and the bytes that arrive are what count.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <nlohmann/json.hpp>
#include <thread>

#include "eds_settings.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using eds::test::Bytes;
using eds::test::ProcessResult;
using eds::test::ReadBytes;
using eds::test::RunProcess;
using eds::test::TempDir;
using eds::test::WriteBytes;

Bytes Command(std::uint8_t functionCode, std::uint8_t value) {
    return {0x1B, 0x7C, 0x00, 0x1E, 0x00, 0x48, 0xB7, 0x24, 0x31, functionCode, value, 0x1B, 0x40};
}

Bytes Concat(const Bytes& a, const Bytes& b) {
    Bytes all = a;
    all.insert(all.end(), b.begin(), b.end());
    return all;
}

ProcessResult Edsctl(std::vector<std::string> args) {
    args.insert(args.begin(), EDSCTL);
    return RunProcess(args);
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A TCP listener on 127.0.0.1 with a free port. Serve() accepts connections one after the other
// and keeps what each one sent until it closed.
class Listener {
  public:
    explicit Listener(int backlog = 8) : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            listen(fd_, backlog) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            throw std::runtime_error("cannot listen on 127.0.0.1");
        port_ = ntohs(address.sin_port);
    }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;
    ~Listener() { StopListening(); }

    std::string Url() const { return "socket://127.0.0.1:" + std::to_string(port_); }
    int Port() const { return port_; }
    void StopListening() {
        if (fd_ != -1)
            close(fd_);
        fd_ = -1;
    }

    std::vector<Bytes> Serve(int connections) {
        std::vector<Bytes> received;
        for (int i = 0; i < connections; ++i) {
            const int connection = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection == -1)
                break;
            Bytes bytes;
            std::uint8_t buffer[64];
            for (ssize_t n = 0; (n = read(connection, buffer, sizeof buffer)) > 0;)
                bytes.insert(bytes.end(), buffer, buffer + n);
            close(connection);
            received.push_back(bytes);
        }
        return received;
    }

  private:
    int fd_ = -1;
    int port_ = 0;
};

// Setting 24 at "38400 *", then 19 at "Proportional": two commands in two sends.
const std::vector<std::string> kTwoPairs = {"set", "24", "38400", "char pitch", "Proportional"};
const Bytes kBaudrate = Command(0x17, 6);
const Bytes kPitch = Command(0x12, 5);

TEST(EdsctlDestinations, TempFileHoldsTheLastCommandOfItsOwnSend) {
    TempDir dir;
    const fs::path file = dir / "printer.bin";
    WriteBytes(file, Bytes(40, 'x'));
    std::vector<std::string> args = kTwoPairs;
    args.insert(args.end(), {"--device", file.string()});
    const ProcessResult run = Edsctl(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    // Each pair opens anew and replaces what the file held, as the window's sends do.
    EXPECT_EQ(ReadBytes(file), kPitch);
}

TEST(EdsctlDestinations, FifoReaderGetsEveryCommandInOrder) {
    TempDir dir;
    const fs::path fifo = dir / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    Bytes arrived;
    std::thread reader([&] {
        // Two sends are two opens, which may both fall within one open of the reader.
        while (arrived.size() < 2 * kBaudrate.size()) {
            const int fd = open(fifo.c_str(), O_RDONLY | O_CLOEXEC);
            std::uint8_t buffer[64];
            for (ssize_t n = 0; (n = read(fd, buffer, sizeof buffer)) > 0;)
                arrived.insert(arrived.end(), buffer, buffer + n);
            close(fd);
        }
    });
    std::vector<std::string> args = kTwoPairs;
    args.insert(args.end(), {"--device", fifo.string()});
    const ProcessResult run = Edsctl(args);
    reader.join();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(arrived, Concat(kBaudrate, kPitch));
}

TEST(EdsctlDestinations, StandardOutputThroughAPipeCarriesOnlyTheCommands) {
    std::vector<std::string> args = kTwoPairs;
    args.insert(args.end(), {"--device", "-"});
    const ProcessResult run = Edsctl(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Bytes(run.out.begin(), run.out.end()), Concat(kBaudrate, kPitch));
    EXPECT_EQ(run.err, "");
}

TEST(EdsctlDestinations, TcpListenerGetsOneConnectionPerCommand) {
    Listener listener;
    std::vector<Bytes> received;
    std::thread server([&] { received = listener.Serve(2); });
    std::vector<std::string> args = kTwoPairs;
    args.insert(args.end(), {"--device", listener.Url(), "--timeout", "10"});
    const ProcessResult run = Edsctl(args);
    server.join();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(received, (std::vector<Bytes>{kBaudrate, kPitch}));
}

TEST(EdsctlDestinations, DryRunPrintsTheCommandsAndSendsNothing) {
    TempDir dir;
    const fs::path file = dir / "printer.bin";
    WriteBytes(file, {'u'});
    const ProcessResult run =
        Edsctl({"set", "24", "6", "20", "3", "--dry-run", "--device", file.string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "1B 7C 00 1E 00 48 B7 24 31 17 06 1B 40\n"
              "1B 7C 00 1E 00 48 B7 24 31 13 03 1B 40\n");
    EXPECT_EQ(ReadBytes(file), Bytes{'u'});
}

// A send that fails: exit 1, the window's message with its full stop, and a hint where one helps.
struct FailureCase {
    const char* name;
    // Makes the destination in the directory and returns the arguments after "set 24 6".
    std::function<std::vector<std::string>(const TempDir&)> prepare;
    std::vector<std::string> errorLines;  // parts the standard error must hold
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class EdsctlFailures : public testing::TestWithParam<FailureCase> {};

TEST_P(EdsctlFailures, ExitOneWithTheMessageAndAHint) {
    const FailureCase& c = GetParam();
    TempDir dir;
    std::vector<std::string> args = {"set", "24", "6"};
    const std::vector<std::string> rest = c.prepare(dir);
    args.insert(args.end(), rest.begin(), rest.end());
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult run = Edsctl(args);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.out, "");
    for (const std::string& part : c.errorLines)
        EXPECT_TRUE(Contains(run.err, part)) << "missing \"" << part << "\" in:\n" << run.err;
}

// A listener whose accept queue is full: the kernel drops further connection requests, so a
// connect waits until it is given up.
std::vector<std::string> ToFullListener(const TempDir& /*dir*/) {
    static Listener listener(0);
    static std::vector<int> fillers;
    for (int i = 0; i < 3; ++i) {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(listener.Port()));
        static_cast<void>(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address));
        fillers.push_back(fd);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return {"--device", listener.Url(), "--timeout", "1"};
}

const FailureCase kFailureCases[] = {

    {"MissingDeviceIsFileNotFoundAndNeverCreated",
     [](const TempDir& d) {
         return std::vector<std::string>{"--device", (d / "lp0").string()};
     },
     {"lp0: File not found.\n", "edsctl ports"}},
    {"FullDeviceIsIoError112",
     [](const TempDir&) {
         return std::vector<std::string>{"--device", "/dev/full"};
     },
     {"edsctl: /dev/full: I/O error 112.\n"}},
    {"DirectoryIsAccessDenied",
     [](const TempDir& d) {
         return std::vector<std::string>{"--device", d.Path().string()};
     },
     {"File access denied.\n", "a folder, not a device"}},
    {"RefusedConnection",
     [](const TempDir&) {
         Listener closed;
         closed.StopListening();
         return std::vector<std::string>{"--device", closed.Url()};
     },
     {"I/O error 10061.\n", "the connection was refused", "listening on port"}},
    {"FifoWithoutReaderTimesOut",
     [](const TempDir& d) {
         mkfifo((d / "fifo").c_str(), 0600);
         return std::vector<std::string>{"--device", (d / "fifo").string(), "--timeout", "0.5"};
     },
     {"fifo: I/O error 1460.\n", "did not answer within 0.5 seconds"}},
    {"ConnectionNeverAcceptedTimesOut",
     ToFullListener,
     {"I/O error 1460.\n", "did not answer within 1 seconds"}},
};

INSTANTIATE_TEST_SUITE_P(Destinations, EdsctlFailures, testing::ValuesIn(kFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EdsctlFailures, ClosedStandardOutputIsAnIoFailure) {
    const ProcessResult run =
        RunProcess({"sh", "-c", "exec \"$0\" set 24 6 --device - >&-", EDSCTL});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "edsctl: standard output: I/O error 6.\n");
}

// A name server that never answers: the look-up is part of the open, which --timeout bounds,
// where the resolver alone would wait 30 seconds. edsctl gets its own /etc/resolv.conf in a
// private mount namespace; the silent server is a UDP socket on 127.0.0.1:53.
TEST(EdsctlFailures, SilentNameServerTimesOut) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to give edsctl its own /etc/resolv.conf";
    const int server = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(53);
    if (bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(server);
        GTEST_SKIP() << "127.0.0.1:53 is taken";
    }
    TempDir dir;
    const std::string resolvConf = "nameserver 127.0.0.1\noptions timeout:30 attempts:1\n";
    WriteBytes(dir / "resolv.conf", Bytes(resolvConf.begin(), resolvConf.end()));
    const char* script = R"(
        mount --bind "$1" /etc/resolv.conf || exit 77
        exec "$2" set 24 6 --device socket://printer.example:9100 --timeout 1)";
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult run = RunProcess({"unshare", "-m", "--propagation", "private", "sh", "-c",
                                          script, "sh", (dir / "resolv.conf").string(), EDSCTL});
    const auto elapsed = std::chrono::steady_clock::now() - start;
    close(server);
    if (run.exitCode == 77)
        GTEST_SKIP() << "cannot bind-mount /etc/resolv.conf here";
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_TRUE(Contains(run.err, "I/O error 1460.\n")) << run.err;
    EXPECT_TRUE(Contains(run.err, "did not answer within 1 seconds")) << run.err;
    EXPECT_LT(elapsed, std::chrono::seconds(10));
}

TEST(EdsctlFailures, MissingDeviceIsNotCreated) {
    TempDir dir;
    EXPECT_EQ(Edsctl({"set", "24", "6", "--device", (dir / "lp0").string()}).exitCode, 1);
    EXPECT_FALSE(fs::exists(dir / "lp0"));
}

// Bad input: exit 2 and a message on standard error, and the destination is never opened.
struct UsageCase {
    const char* name;
    std::vector<std::string> args;  // "--device FILE" is added to those of set that name none
    const char* messagePart;
};

void PrintTo(const UsageCase& c, std::ostream* os) {
    *os << c.name;
}

class EdsctlUsageErrors : public testing::TestWithParam<UsageCase> {};

TEST_P(EdsctlUsageErrors, ExitTwoWithAMessageAndNothingSent) {
    const UsageCase& c = GetParam();
    TempDir dir;
    const fs::path file = dir / "printer.bin";
    WriteBytes(file, {'u'});
    std::vector<std::string> args = c.args;
    if (!args.empty() && args.front() == "set" &&
        std::find(args.begin(), args.end(), "--device") == args.end())
        args.insert(args.end(), {"--device", file.string()});
    const ProcessResult run = Edsctl(args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Contains(run.err, c.messagePart)) << run.err;
    EXPECT_EQ(ReadBytes(file), Bytes{'u'});
}

const UsageCase kUsageCases[] = {
    {"UnknownSetting", {"set", "speed", "0"}, "no setting named \"speed\""},
    {"AmbiguousSetting", {"set", "length", "0"}, "6 Page Length, 21 Data Length"},
    {"ReservedSetting", {"set", "10", "0"}, "setting 10 is reserved"},
    {"PositionOutOfRange", {"set", "21", "2"}, R"(0 "8bit *", 1 "7bit")"},
    {"EmptyChoice", {"set", "24", ""}, "an empty choice"},
    {"NegativePosition", {"set", "24", "-1"}, "no choice \"-1\""},
    {"HugePosition", {"set", "24", "4294967296"}, "the positions are 0 to 6"},
    {"JunkChoice", {"set", "24", "fast"}, "no choice \"fast\""},
    {"MissingChoice", {"set", "24"}, "has no choice"},
    {"GoodPairThenBadPair", {"set", "24", "6", "11", "0"}, "setting 11 is reserved"},
    {"NoPairs", {"set"}, "SETTING CHOICE"},
    {"MalformedSocketAddress", {"set", "24", "6", "--device", "socket://h:99999"}, "socket://HOST"},
    {"EmptyDevice", {"set", "24", "6", "--device", ""}, "--device"},
    {"ZeroTimeout", {"set", "24", "6", "--timeout", "0"}, "--timeout"},
    {"JunkTimeout", {"set", "24", "6", "--timeout", "soon"}, "--timeout"},
    {"UnknownOption", {"set", "24", "6", "--speed"}, "--speed"},
    {"NoCommand", {}, "edsctl --help"},
    {"UnknownCommand", {"reset"}, "reset"},
    {"ShowUnknownSetting", {"show", "27"}, "the settings are 1 to 26"},
};

INSTANTIATE_TEST_SUITE_P(Input, EdsctlUsageErrors, testing::ValuesIn(kUsageCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EdsctlCatalogue, ListJsonIsTheCatalogue) {
    const ProcessResult run = Edsctl({"list", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const nlohmann::json list = nlohmann::json::parse(run.out);
    ASSERT_EQ(list.size(), eds::EdsSettings.size());
    for (const eds::TEdsSetting& setting : eds::EdsSettings) {
        SCOPED_TRACE(setting.Number);
        const nlohmann::json& row = list.at(static_cast<std::size_t>(setting.Number - 1));
        EXPECT_EQ(row.at("number"), setting.Number);
        EXPECT_EQ(row.at("function_code"), setting.FunctionCode);
        std::string caption(setting.Caption);
        caption.erase(caption.find_last_not_of(' ') + 1);
        EXPECT_EQ(row.at("caption"), caption);
        EXPECT_EQ(row.at("reserved"), !setting.Enabled);
        EXPECT_EQ(row.at("default"), setting.StartIndex);
        ASSERT_EQ(row.at("choices").size(), setting.ChoiceCount());
        for (std::size_t i = 0; i < setting.ChoiceCount(); ++i) {
            const nlohmann::json& choice = row.at("choices").at(i);
            EXPECT_EQ(choice.at("position"), i);
            EXPECT_EQ(choice.at("text"), setting.Choice(i));
            EXPECT_EQ(choice.at("default"), static_cast<int>(i) == setting.StartIndex);
        }
    }
}

TEST(EdsctlCatalogue, ShowFindsBySettingNameAndPrintsTheSameRow) {
    const ProcessResult byName = Edsctl({"show", "baud rate", "--json"});
    const ProcessResult all = Edsctl({"list", "--json"});
    ASSERT_EQ(byName.exitCode, 0) << byName.err;
    EXPECT_EQ(nlohmann::json::parse(byName.out), nlohmann::json::parse(all.out).at(23));
    EXPECT_EQ(nlohmann::json::parse(byName.out).at("name"), "Baudrate");
}

TEST(EdsctlCatalogue, TextListingMarksDefaultsEmptyChoicesAndReservedSettings) {
    const ProcessResult run = Edsctl({"list"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (const char* part : {"24  Baudrate\n", "     6  38400 *\n", "     2  (empty)\n",
                             " 5  Reservation  (reserved, cannot be set)\n", "26  Inter Char Set\n",
                             "    15  Legal\n"})
        EXPECT_TRUE(Contains(run.out, part)) << part;
}

TEST(EdsctlCatalogue, ListingToAFullDeviceIsAnIoFailure) {
    const ProcessResult run =
        RunProcess({"sh", "-c", std::string("exec \"$0\" list >/dev/full"), EDSCTL});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Contains(run.err, "cannot write to standard output")) << run.err;
}

TEST(EdsctlHelp, VersionAndHelpStateWhatTheProgramDoes) {
    const ProcessResult version = Edsctl({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, std::string("edsctl ") + EDS_VERSION + "\n");

    const ProcessResult help = Edsctl({"set", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* part :
         {"--device DEST", "--dry-run", "--timeout SECONDS", "socket://HOST[:PORT]",
          "\"600\" is the choice", "Exit status: 0 all sent"})
        EXPECT_TRUE(Contains(help.out, part)) << part;
}

}  // namespace
