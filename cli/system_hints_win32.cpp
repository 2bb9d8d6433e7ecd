#include "system_hints.h"

namespace eds::cli {

std::string FirstPortMissingHint() {
    return "no parallel port answers as LPT1: check Device Manager, \"Ports (COM & LPT)\", or "
           "name another device with --device; 'edsctl ports' lists them";
}

std::string AccessDeniedHint() {
    return "no permission to write to the port: check the permissions of the file or device, "
           "or whether another program holds it";
}

std::string NoPrinterPortsText() {
    return "No printer ports (LPTn) found. Check Device Manager, \"Ports (COM & LPT)\"; for a "
           "network printer use --device socket://HOST.";
}

}  // namespace eds::cli
