// The sender's system calls, watched and perturbed by strace on the real kernel: one send is one
// open, one write of 13 bytes and one close, and faults injected into those calls come out with
// their codes.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "test_support.h"

namespace {

using eds::test::Bytes;
using eds::test::kBaudrate38400;
using eds::test::ReadBytes;
using eds::test::RunProcess;
using eds::test::StraceWorks;
using eds::test::TempDir;
using eds::test::WriteBytes;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

struct Traced {
    eds::test::ProcessResult run;
    std::vector<std::string>
        calls;  // the calls on the device, one a line, each after its process id
};

Traced SendUnderStrace(const TempDir& dir, const std::vector<std::string>& injections) {
    const std::string device = (dir / "lp0").string();
    const std::string trace = (dir / "trace").string();
    std::vector<std::string> argv = {"strace", "-f", "-qq", "-P", device, "-o", trace};
    for (const std::string& injection : injections)
        argv.insert(argv.end(), {"-e", injection});
    argv.insert(argv.end(), {SEND_PROBE, device, "24", "6"});
    Traced traced{RunProcess(argv), {}};
    const Bytes log = ReadBytes(trace);
    traced.calls = Lines(std::string(log.begin(), log.end()));
    return traced;
}

TEST(SenderSyscalls, OneSendIsOneOpenOneWriteOfThirteenBytesAndOneClose) {
    if (!StraceWorks())
        GTEST_SKIP() << "strace cannot trace here";
    TempDir dir;
    WriteBytes(dir / "lp0", Bytes(40, 'x'));
    const Traced traced = SendUnderStrace(dir, {});
    ASSERT_EQ(traced.run.out, "sent\n") << traced.run.err;
    ASSERT_EQ(traced.calls.size(), 3U) << testing::PrintToString(traced.calls);
    EXPECT_TRUE(std::regex_match(
        traced.calls[0], std::regex(R"(\d+ +openat\(AT_FDCWD, ".*/lp0", O_WRONLY\|O_NOCTTY\|)"
                                    R"(O_TRUNC\|O_CLOEXEC\) = (\d+))")))
        << traced.calls[0];
    EXPECT_TRUE(std::regex_match(
        traced.calls[1],
        std::regex(R"(\d+ +write\(\d+, "\\33\|\\0\\36\\0H\\267\$1\\27\\6\\33@", 13\) = 13)")))
        << traced.calls[1];
    EXPECT_TRUE(std::regex_match(traced.calls[2], std::regex(R"(\d+ +close\(\d+\) += 0)")))
        << traced.calls[2];
    EXPECT_EQ(ReadBytes(dir / "lp0"), kBaudrate38400);
}

TEST(SenderSyscalls, InjectedFaultsComeOutWithTheirCodes) {
    if (!StraceWorks())
        GTEST_SKIP() << "strace cannot trace here";
    struct Case {
        const char* name;
        std::string injection;
        std::string outcome;  // what the probe prints
        bool bytesArrive;
    };
    const Case cases[] = {
        {"short write", "inject=write:retval=5", "101 Disk full\n", false},
        {"device off-line", "inject=write:error=EIO", "21 I/O error 21\n", false},
        {"paper out", "inject=write:error=ENOSPC", "112 I/O error 112\n", false},
        {"port busy", "inject=openat:error=EBUSY", "170 I/O error 170\n", false},
        {"no descriptors left", "inject=openat:error=EMFILE", "4 Too many open files\n", false},
        {"close fails", "inject=close:error=EIO", "21 I/O error 21\n", true},
        {"odd errno", "inject=openat:error=EXDEV", "31 I/O error 31\n", false},
        {"interrupted open restarts", "inject=openat:error=EINTR:when=1", "sent\n", true},
        {"interrupted write restarts", "inject=write:error=EINTR:when=1", "sent\n", true},
    };
    for (const Case& c : cases) {
        TempDir dir;
        WriteBytes(dir / "lp0", {});
        const Traced traced = SendUnderStrace(dir, {c.injection});
        EXPECT_EQ(traced.run.out, c.outcome) << c.name << ": " << traced.run.err;
        EXPECT_EQ(ReadBytes(dir / "lp0"), c.bytesArrive ? kBaudrate38400 : Bytes{}) << c.name;
    }
}

}  // namespace
