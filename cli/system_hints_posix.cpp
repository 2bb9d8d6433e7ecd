#include "system_hints.h"

namespace eds::cli {

std::string FirstPortMissingHint() {
    return "no parallel port answers as Lpt1 (/dev/lp0): load the driver (modprobe lp), or name "
           "another device with --device; 'edsctl ports' lists them";
}

std::string AccessDeniedHint() {
    return "no permission to write to the port: join its group (usually lp) with "
           "'sudo usermod -aG lp $USER' and log in again; 'edsctl ports' shows the group";
}

std::string NoPrinterPortsText() {
    return "No printer ports (lpN, usb/lpN) found. For a parallel port load its driver "
           "(modprobe lp); for a network printer use --device socket://HOST.";
}

}  // namespace eds::cli
