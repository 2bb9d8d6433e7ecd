// The error a failed send raises: the code of the step that failed and its message.
#pragma once

#include <stdexcept>
#include <string>

namespace eds {

// The codes are Windows system error codes on every platform, plus 101 for a write the device
// accepted only in part, so one fault reads the same everywhere.
inline constexpr int IoFileNotFound = 2;
inline constexpr int IoAccessDenied = 5;
inline constexpr int IoShortWrite = 101;
// ERROR_TIMEOUT: a step of a send with a time bound did not finish within it.
inline constexpr int IoTimeout = 1460;

// "File not found" for 2, ..., "I/O error 112" for a code without a text of its own. No full
// stop: whoever shows the message adds one.
std::string IoErrorMessage(int IoCode);

class EInOutError : public std::runtime_error {
  public:
    explicit EInOutError(int IoCode);
    int IoCode() const noexcept { return IoCode_; }

  private:
    int IoCode_;
};

}  // namespace eds
