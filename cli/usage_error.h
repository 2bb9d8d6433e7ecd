// A command line the program cannot act on: reported with exit status 2 before anything is sent.
#pragma once

#include <stdexcept>

namespace eds::cli {

class EUsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace eds::cli
