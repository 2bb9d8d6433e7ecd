#include "port_listing.h"

#include <algorithm>
#include <iomanip>

#include "system_hints.h"

namespace eds::cli {

void PrintPorts(std::ostream& Out, const std::vector<TPortEntry>& Ports) {
    if (Ports.empty()) {
        Out << NoPrinterPortsText() << '\n';
        return;
    }
    std::vector<std::string> fixes;
    for (const TPortEntry& port : Ports) {
        Out << std::left << std::setw(16) << port.Device << std::setw(14)
            << (port.Writable ? "writable" : "not writable")
            << (!port.Present           ? "no port or printer behind this node"
                : port.DeviceId.empty() ? "-"
                                        : port.DeviceId)
            << '\n';
        if (!port.Fix.empty() && std::find(fixes.begin(), fixes.end(), port.Fix) == fixes.end())
            fixes.push_back(port.Fix);
    }
    for (const std::string& fix : fixes)
        Out << fix << '\n';
}

nlohmann::json PortsJson(const std::vector<TPortEntry>& Ports) {
    nlohmann::json list = nlohmann::json::array();
    for (const TPortEntry& port : Ports) {
        list.push_back({{"device", port.Device},
                        {"present", port.Present},
                        {"writable", port.Writable},
                        {"group", port.Group},
                        {"ieee1284_id", port.DeviceId},
                        {"fix", port.Fix}});
    }
    return list;
}

}  // namespace eds::cli
