#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "port_listing.h"

namespace eds::cli {
namespace {

namespace fs = std::filesystem;

// The N of "lpN", or -1 for any other name.
int LpNumber(const std::string& name) {
    if (!name.starts_with("lp") || name.size() == 2 || name.size() > 6)
        return -1;
    if (!std::all_of(name.begin() + 2, name.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    return std::stoi(name.substr(2));
}

std::string FirstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line.substr(0, line.find_last_not_of(" \r\n") + 1);
}

// How this user gets the right to write to a node of the group: joining it, or, when the
// account is in it already, a new login that picks the membership up.
std::string FixFor(gid_t gid) {
    const group* g = getgrgid(gid);
    const passwd* user = getpwuid(geteuid());
    const std::string groupName = g != nullptr ? g->gr_name : std::to_string(gid);
    const std::string userName = user != nullptr ? user->pw_name : "$USER";
    bool member = user != nullptr && g != nullptr && user->pw_gid == g->gr_gid;
    for (char** name = g != nullptr ? g->gr_mem : nullptr; name != nullptr && *name != nullptr;
         ++name)
        member = member || userName == *name;
    const std::string start = "To write to the ports of group " + groupName + ": ";
    if (member)
        return start + "you are in the group but this login is not yet; log out and in again.";
    return start + "sudo usermod -aG " + groupName + " " + userName +
           ", then log out and in again.";
}

void AddNodes(const fs::path& folder, const fs::path& classFolder, bool withId,
              std::vector<TPortEntry>& ports) {
    std::error_code error;
    std::vector<std::pair<int, fs::path>> nodes;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const int number = LpNumber(entry.path().filename().string());
        if (number >= 0)
            nodes.emplace_back(number, entry.path());
    }
    std::sort(nodes.begin(), nodes.end());
    for (const auto& [number, node] : nodes) {
        TPortEntry port;
        port.Device = node.string();
        const fs::path sysDevice = classFolder / node.filename();
        port.Present = fs::exists(sysDevice, error);
        port.Writable = faccessat(AT_FDCWD, node.c_str(), W_OK, AT_EACCESS) == 0;
        struct stat status {};
        if (stat(node.c_str(), &status) == 0) {
            if (const group* g = getgrgid(status.st_gid))
                port.Group = g->gr_name;
            if (!port.Writable)
                port.Fix = FixFor(status.st_gid);
        }
        if (withId)
            port.DeviceId = FirstLine(sysDevice / "device" / "ieee1284_id");
        ports.push_back(port);
    }
}

}  // namespace

std::vector<TPortEntry> FindPrinterPorts(const fs::path& DevRoot, const fs::path& SysRoot) {
    std::vector<TPortEntry> ports;
    AddNodes(DevRoot, SysRoot / "class" / "printer", false, ports);
    AddNodes(DevRoot / "usb", SysRoot / "class" / "usbmisc", true, ports);
    return ports;
}

}  // namespace eds::cli
