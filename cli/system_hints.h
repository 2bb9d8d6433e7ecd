// The remedies that depend on the system: where the first parallel port comes from and who may
// write to a port. One file per system, chosen by CMake.
#pragma once

#include <string>

namespace eds::cli {

// After "File not found" on the first parallel port.
std::string FirstPortMissingHint();
// After "File access denied" on a device that is not a folder.
std::string AccessDeniedHint();
// `edsctl ports` when it finds no printer port, one line.
std::string NoPrinterPortsText();

}  // namespace eds::cli
