// The command line of edsctl: parses the arguments, runs the command and returns the exit status
// (0 all done, 1 an I/O failure, 2 a usage error).
#pragma once

#include <ostream>

namespace eds::cli {

int RunEdsctl(int Argc, const char* const* Argv, std::ostream& Out, std::ostream& Err);

}  // namespace eds::cli
