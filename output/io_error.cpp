#include "io_error.h"

namespace eds {

std::string IoErrorMessage(int IoCode) {
    switch (IoCode) {
        case 2:
            return "File not found";
        case 3:
            return "Invalid filename";
        case 4:
            return "Too many open files";
        case 5:
            return "File access denied";
        case 100:
            return "Read beyond end of file";
        case 101:
            return "Disk full";
        case 106:
            return "Invalid numeric input";
        default:
            return "I/O error " + std::to_string(IoCode);
    }
}

EInOutError::EInOutError(int IoCode)
    : std::runtime_error(IoErrorMessage(IoCode)), IoCode_(IoCode) {}

}  // namespace eds
