// `edsctl ports` over a made-up /dev and /sys: which nodes it finds, what it says of each, and the
// fix it gives a user who may not write to one.
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using eds::test::RunProcess;
using eds::test::TempDir;
using eds::test::WriteBytes;

// dev/lp0 with a port behind it, dev/lp1 without, a USB printer at dev/usb/lp0 with its id, and
// nodes that are no printer ports.
void MakeMachine(const TempDir& dir) {
    for (const char* folder : {"dev/usb", "sys/class/printer/lp0", "sys/class/usbmisc/lp0/device"})
        fs::create_directories(dir / folder);
    for (const char* node :
         {"dev/lp1", "dev/lp0", "dev/usb/lp0", "dev/lpt", "dev/tty0", "dev/usb/hiddev0"})
        WriteBytes(dir / node, {});
    const std::string id = "MFG:Acme;CMD:ESC/PK;MDL:DX-2400;CLS:PRINTER;\n";
    WriteBytes(dir / "sys/class/usbmisc/lp0/device/ieee1284_id", {id.begin(), id.end()});
}

std::vector<std::string> PortsArgs(const TempDir& dir, bool json) {
    std::vector<std::string> args = {
        EDSCTL, "ports", "--dev", (dir / "dev").string(), "--sys", (dir / "sys").string()};
    if (json)
        args.emplace_back("--json");
    return args;
}

TEST(EdsctlPorts, FindsParallelAndUsbNodesWithTheirIds) {
    TempDir dir;
    MakeMachine(dir);
    const auto run = RunProcess(PortsArgs(dir, true));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const nlohmann::json ports = nlohmann::json::parse(run.out);
    ASSERT_EQ(ports.size(), 3U) << run.out;
    EXPECT_EQ(ports[0].at("device"), (dir / "dev/lp0").string());
    EXPECT_EQ(ports[0].at("present"), true);
    EXPECT_EQ(ports[1].at("device"), (dir / "dev/lp1").string());
    EXPECT_EQ(ports[1].at("present"), false);
    EXPECT_EQ(ports[2].at("device"), (dir / "dev/usb/lp0").string());
    EXPECT_EQ(ports[2].at("present"), true);
    EXPECT_EQ(ports[2].at("ieee1284_id"), "MFG:Acme;CMD:ESC/PK;MDL:DX-2400;CLS:PRINTER;");

    const auto text = RunProcess(PortsArgs(dir, false));
    EXPECT_NE(text.out.find("no port or printer behind this node"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("MDL:DX-2400"), std::string::npos) << text.out;
}

TEST(EdsctlPorts, NoNodesSaysSoAndHowToGetOne) {
    TempDir dir;
    const auto run = RunProcess(PortsArgs(dir, false));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("No printer ports"), std::string::npos) << run.out;
}

TEST(EdsctlPorts, UserWhoMayNotWriteIsToldToJoinTheGroup) {
    const group* lp = getgrnam("lp");
    if (geteuid() != 0 || lp == nullptr)
        GTEST_SKIP() << "needs root and a group lp";
    TempDir dir;
    MakeMachine(dir);
    const fs::path node = dir / "dev/usb/lp0";
    ASSERT_EQ(chown(node.c_str(), 0, lp->gr_gid), 0);
    ASSERT_EQ(chmod(node.c_str(), 0660), 0);
    fs::permissions(dir.Path(), fs::perms::others_exec, fs::perm_options::add);

    std::vector<std::string> args = PortsArgs(dir, true);
    const std::vector<std::string> nobody = eds::test::AsNobody();
    args.insert(args.begin(), nobody.begin(), nobody.end());
    const auto run = RunProcess(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const nlohmann::json ports = nlohmann::json::parse(run.out);
    ASSERT_EQ(ports.size(), 3U);
    EXPECT_EQ(ports[2].at("writable"), false);
    EXPECT_EQ(ports[2].at("group"), "lp");
    EXPECT_EQ(ports[2].at("fix"),
              "To write to the ports of group lp: sudo usermod -aG lp nobody, "
              "then log out and in again.");

    args.pop_back();
    const auto text = RunProcess(args);
    EXPECT_NE(text.out.find("not writable"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("sudo usermod -aG lp nobody"), std::string::npos) << text.out;
}

}  // namespace
