// The one translation from errno (and the resolver's EAI_ codes) to the Windows system error codes
// the messages are chosen by, shared by every POSIX port.
#pragma once

#include "printer_port.h"

namespace eds {

TPortCode PortCodeFromErrno(int Error);

// getaddrinfo's result as Winsock reports a failed look-up (11001 host not found, ...).
TPortCode PortCodeFromResolver(int EaiError, int Error);

}  // namespace eds
