#include "destination.h"

#include <filesystem>
#include <sstream>

#include "io_error.h"
#include "socket_address.h"
#include "system_hints.h"
#include "usage_error.h"

namespace eds::cli {

TSettingSender MakeSender(const std::string& Device, TPortTimeout Timeout) {
    if (Device.empty())
        return Timeout == TPortTimeout::zero() ? TSettingSender()
                                               : TSettingSender(PrinterDeviceName, [Timeout] {
                                                     return MakeBoundedSystemPort(Timeout);
                                                 });
    if (Device == StandardOutputDestination)
        return TSettingSender(Device, [Timeout] { return MakeStandardOutputPort(Timeout); });
    if (IsSocketDestination(Device)) {
        if (!ParseSocketAddress(Device))
            throw EUsageError("not a socket address: \"" + Device +
                              "\"; write socket://HOST or socket://HOST:PORT (PORT 1 to 65535)");
        return TSettingSender(Device, [Timeout] { return MakeSocketPort(Timeout); });
    }
    return TSettingSender(Device, [Timeout] { return MakeBoundedSystemPort(Timeout); });
}

std::string HintFor(int IoCode, const std::string& Destination, double TimeoutSeconds) {
    const bool firstPort = Destination == PrinterDeviceName;
    switch (IoCode) {
        case IoFileNotFound:
            return firstPort ? FirstPortMissingHint()
                             : "no such device: 'edsctl ports' lists the printer ports";
        case IoAccessDenied:
            if (std::error_code ignored; std::filesystem::is_directory(Destination, ignored))
                return "that is a folder, not a device: name the printer's device node";
            return AccessDeniedHint();
        case 170:
            return "the port is busy: another program has it open; wait for it or close it";
        case IoTimeout: {
            std::ostringstream text;
            text << "the device did not answer within " << TimeoutSeconds << " seconds: is the "
                 << "printer on, on-line and connected?";
            return text.str();
        }
        case 10061: {
            const auto address = ParseSocketAddress(Destination);
            return "the connection was refused: is the printer on and listening on port " +
                   std::to_string(address ? address->Port : AppSocketPort) + "?";
        }
        case 11001:
            return "no such host: check the printer's name or address";
        default:
            return "";
    }
}

}  // namespace eds::cli
