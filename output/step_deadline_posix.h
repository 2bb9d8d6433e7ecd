// Ends a blocking system call of one port step once its time bound has passed. Opening a FIFO
// that has no reader or writing to an off-line printer can only be ended by a signal.
#pragma once

#include <csignal>
#include <ctime>

#include "printer_port.h"

namespace eds {

// While it lives, SIGALRM reaches this thread at the deadline and then every 50 ms (in case the
// first one lands just before the call blocks). The handler does nothing and is installed without
// SA_RESTART, so the blocked call returns EINTR. With a zero bound it does nothing at all, so an
// unbounded step makes no system calls of its own.
class TStepDeadline {
  public:
    explicit TStepDeadline(TPortTimeout Timeout);
    TStepDeadline(const TStepDeadline&) = delete;
    TStepDeadline& operator=(const TStepDeadline&) = delete;
    ~TStepDeadline();

    // Asked after EINTR: true when the bound has passed and the step must give up, false when
    // the call must be restarted.
    bool Expired() const;

  private:
    bool armed_ = false;
    timespec deadline_{};
    timer_t timer_{};
    struct sigaction previousAction_ {};
    sigset_t previousMask_{};
};

}  // namespace eds
