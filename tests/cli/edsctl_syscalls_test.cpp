// edsctl's system calls on the destination, watched and perturbed by strace: each pair is one
// open, one write of 13 bytes and one close, with or without a time bound, and a failure stops
// the sends that follow it.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "test_support.h"

namespace {

using eds::test::Bytes;
using eds::test::ReadBytes;
using eds::test::RunProcess;
using eds::test::StraceWorks;
using eds::test::TempDir;
using eds::test::WriteBytes;

struct Traced {
    eds::test::ProcessResult run;
    std::vector<std::string> calls;  // the calls on the device, one a line
};

Traced SetUnderStrace(const TempDir& dir, const std::vector<std::string>& edsctlArgs,
                      const std::string& injection = "") {
    const std::string device = (dir / "lp0").string();
    const std::string trace = (dir / "trace").string();
    std::vector<std::string> argv = {"strace", "-f", "-qq", "-P", device, "-o", trace};
    if (!injection.empty())
        argv.insert(argv.end(), {"-e", injection});
    argv.insert(argv.end(), {EDSCTL, "set"});
    argv.insert(argv.end(), edsctlArgs.begin(), edsctlArgs.end());
    argv.insert(argv.end(), {"--device", device});
    Traced traced{RunProcess(argv), {}};
    const Bytes log = ReadBytes(trace);
    std::istringstream lines(std::string(log.begin(), log.end()));
    for (std::string line; std::getline(lines, line);)
        traced.calls.push_back(line);
    return traced;
}

const std::regex kOpen(
    R"(\d+ +openat\(AT_FDCWD, ".*/lp0", O_WRONLY\|O_NOCTTY\|O_TRUNC\|O_CLOEXEC\) = \d+)");
const std::regex kWrite(R"(\d+ +write\(\d+, "\\33\|\\0\\36\\0H\\267\$1.*", 13\) = 13)");
const std::regex kClose(R"(\d+ +close\(\d+\) += 0)");

TEST(EdsctlSyscalls, EachPairIsOneOpenOneWriteAndOneCloseWithOrWithoutABound) {
    if (!StraceWorks())
        GTEST_SKIP() << "strace cannot trace here";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"24", "6", "19", "5"},
          std::vector<std::string>{"24", "6", "19", "5", "--timeout", "5"}}) {
        TempDir dir;
        WriteBytes(dir / "lp0", {});
        const Traced traced = SetUnderStrace(dir, args);
        ASSERT_EQ(traced.run.exitCode, 0) << traced.run.err;
        ASSERT_EQ(traced.calls.size(), 6U) << testing::PrintToString(traced.calls);
        for (std::size_t i = 0; i < 6; i += 3) {
            EXPECT_TRUE(std::regex_match(traced.calls[i], kOpen)) << traced.calls[i];
            EXPECT_TRUE(std::regex_match(traced.calls[i + 1], kWrite)) << traced.calls[i + 1];
            EXPECT_TRUE(std::regex_match(traced.calls[i + 2], kClose)) << traced.calls[i + 2];
        }
    }
}

TEST(EdsctlSyscalls, AFailedSendStopsTheRestAndSaysWhichWereSent) {
    if (!StraceWorks())
        GTEST_SKIP() << "strace cannot trace here";
    TempDir dir;
    WriteBytes(dir / "lp0", {});
    const Traced traced =
        SetUnderStrace(dir, {"24", "6", "19", "5", "25", "2"}, "inject=openat:error=EBUSY:when=2");
    EXPECT_EQ(traced.run.exitCode, 1);
    EXPECT_EQ(
        traced.run.err,
        "edsctl: " + (dir / "lp0").string() +
            ": I/O error 170.\n"
            "edsctl: the port is busy: another program has it open; wait for it or close it\n"
            "edsctl: sent:\n  24 Baudrate = \"38400 *\"\n"
            "edsctl: not sent:\n  19 Char Pitch = \"Proportional\"\n  25 Code Page = \"CP850\"\n");
    // The third pair was never tried: one good send, then the refused open.
    EXPECT_EQ(traced.calls.size(), 4U) << testing::PrintToString(traced.calls);
}

}  // namespace
