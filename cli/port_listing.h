// `edsctl ports`: the printer ports this machine has, whether this user may write to each, and
// the printer's IEEE-1284 id where the kernel gives it.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace eds::cli {

struct TPortEntry {
    std::string Device;     // /dev/lp0, /dev/usb/lp0
    bool Present = false;   // the kernel has a port or printer behind the node
    bool Writable = false;  // by this process
    std::string Group;      // the node's group, which grants the right to write
    std::string DeviceId;   // the printer's IEEE-1284 id, "" where unknown
    std::string Fix;        // for a node this user cannot write to: how to get the right
};

// The nodes DevRoot/lpN and DevRoot/usb/lpN in number order. Parallel ports are present when
// SysRoot/class/printer/lpN exists, USB printers when SysRoot/class/usbmisc/lpN does; the id is
// SysRoot/class/usbmisc/lpN/device/ieee1284_id.
std::vector<TPortEntry> FindPrinterPorts(const std::filesystem::path& DevRoot,
                                         const std::filesystem::path& SysRoot);

// One line per port, then each distinct fix once.
void PrintPorts(std::ostream& Out, const std::vector<TPortEntry>& Ports);
nlohmann::json PortsJson(const std::vector<TPortEntry>& Ports);

}  // namespace eds::cli
