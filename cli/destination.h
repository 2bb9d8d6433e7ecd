// Where `edsctl set` sends: the first parallel port as the window does, a path, "-" for standard
// output, or "socket://HOST[:PORT]". Every one is a port behind the same sender, so each setting
// is one open (or connect), one write of 13 bytes and one close, with the window's error codes.
#pragma once

#include <string>

#include "printer_port.h"
#include "setting_sender.h"

namespace eds::cli {

inline constexpr char StandardOutputDestination[] = "-";

// Raises EUsageError for a malformed socket address. An empty Device is the first parallel port,
// through the window's own sender when there is no bound.
TSettingSender MakeSender(const std::string& Device, TPortTimeout Timeout);

// A one-line hint for a failed send, or "" where none helps.
std::string HintFor(int IoCode, const std::string& Destination, double TimeoutSeconds);

}  // namespace eds::cli
