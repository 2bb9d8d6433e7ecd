#include "step_deadline_posix.h"

#include <unistd.h>

namespace eds {
namespace {

constexpr long kNanosPerSecond = 1'000'000'000;
constexpr long kRepeatNanos = 50'000'000;

extern "C" void IgnoreAlarm(int /*signal*/) {}

timespec Add(timespec time, TPortTimeout amount) {
    const auto nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(amount).count();
    time.tv_sec += static_cast<time_t>(nanos / kNanosPerSecond);
    time.tv_nsec += static_cast<long>(nanos % kNanosPerSecond);
    if (time.tv_nsec >= kNanosPerSecond) {
        time.tv_nsec -= kNanosPerSecond;
        ++time.tv_sec;
    }
    return time;
}

}  // namespace

TStepDeadline::TStepDeadline(TPortTimeout Timeout) {
    if (Timeout <= TPortTimeout::zero())
        return;
    struct sigaction action {};
    action.sa_handler = IgnoreAlarm;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: the blocked call must return EINTR
    sigaction(SIGALRM, &action, &previousAction_);

    sigevent event{};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = SIGALRM;
    // glibc names the thread of SIGEV_THREAD_ID only inside the union.
    event._sigev_un._tid = gettid();  // NOLINT(cppcoreguidelines-pro-type-union-access)
    if (timer_create(CLOCK_MONOTONIC, &event, &timer_) != 0) {
        sigaction(SIGALRM, &previousAction_, nullptr);
        return;
    }
    sigset_t alarm;
    sigemptyset(&alarm);
    sigaddset(&alarm, SIGALRM);
    pthread_sigmask(SIG_UNBLOCK, &alarm, &previousMask_);

    clock_gettime(CLOCK_MONOTONIC, &deadline_);
    deadline_ = Add(deadline_, Timeout);
    itimerspec schedule{};
    schedule.it_value = deadline_;
    schedule.it_interval.tv_nsec = kRepeatNanos;
    timer_settime(timer_, TIMER_ABSTIME, &schedule, nullptr);
    armed_ = true;
}

TStepDeadline::~TStepDeadline() {
    if (!armed_)
        return;
    timer_delete(timer_);
    pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
    sigaction(SIGALRM, &previousAction_, nullptr);
}

bool TStepDeadline::Expired() const {
    if (!armed_)
        return false;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec > deadline_.tv_sec ||
           (now.tv_sec == deadline_.tv_sec && now.tv_nsec >= deadline_.tv_nsec);
}

}  // namespace eds
