#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <csignal>
#include <ctime>

#include "io_error.h"
#include "port_code_posix.h"
#include "printer_port.h"
#include "step_deadline_posix.h"

namespace eds {
namespace {

// "Lpt1" (any case) is the first parallel port, /dev/lp0; every other name is a path.
std::string PathFor(const std::string& name) {
    if (name.size() == 4 && std::tolower(static_cast<unsigned char>(name[0])) == 'l' &&
        std::tolower(static_cast<unsigned char>(name[1])) == 'p' &&
        std::tolower(static_cast<unsigned char>(name[2])) == 't' && name[3] >= '1' &&
        name[3] <= '9') {
        return "/dev/lp" + std::to_string(name[3] - '1');
    }
    return name;
}

// A reader that has gone away must give EPIPE, not a SIGPIPE that ends the program. The signal
// is blocked on this thread for the write and, if the write raised it, taken off the queue, so
// the process-wide disposition the program chose is left alone.
class SigpipeBlock {
  public:
    SigpipeBlock() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        alreadyPending_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipe_, &previous_);
    }
    SigpipeBlock(const SigpipeBlock&) = delete;
    SigpipeBlock& operator=(const SigpipeBlock&) = delete;
    ~SigpipeBlock() {
        if (raised_ && !alreadyPending_) {
            const timespec now{};
            while (sigtimedwait(&pipe_, nullptr, &now) == -1 && errno == EINTR) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    void NoteRaised() { raised_ = true; }

  private:
    sigset_t pipe_{};
    sigset_t previous_{};
    bool alreadyPending_ = false;
    bool raised_ = false;
};

// A port on a file descriptor. Each step restarts a call that a signal interrupted, unless the
// step's time bound has passed.
class PosixPort : public TPrinterPort {
  public:
    explicit PosixPort(TPortTimeout timeout) : timeout_(timeout) {}
    PosixPort(const PosixPort&) = delete;
    PosixPort& operator=(const PosixPort&) = delete;
    ~PosixPort() override { PosixPort::Close(); }

    TPortCode Open(const std::string& name) override {
        // Never O_CREAT: where no device exists the send must fail, not fill a new file. O_TRUNC
        // replaces an existing regular file, as the Windows create-always open does. Write-only:
        // lp nodes may refuse reading, and a FIFO opened for reading too swallows the bytes.
        const std::string path = PathFor(name);
        const TStepDeadline deadline(timeout_);
        do {
            fd_ = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_TRUNC);
        } while (fd_ == -1 && errno == EINTR && !deadline.Expired());
        return StepCode(fd_ != -1, deadline);
    }

    TPortWrite Write(std::span<const std::uint8_t> bytes) override {
        SigpipeBlock sigpipe;
        const TStepDeadline deadline(timeout_);
        ssize_t written = 0;
        do {
            written = ::write(fd_, bytes.data(), bytes.size());
        } while (written == -1 && errno == EINTR && !deadline.Expired());
        if (written == -1) {
            if (errno == EPIPE)
                sigpipe.NoteRaised();
            return {0, StepCode(false, deadline)};
        }
        return {static_cast<std::size_t>(written), 0};
    }

    TPortCode Close() override {
        if (fd_ == -1)
            return 0;
        const int fd = fd_;
        fd_ = -1;
        const TStepDeadline deadline(timeout_);
        // Linux releases the descriptor even when close reports EINTR, so it is never retried:
        // a retry could close a descriptor another thread has just been given.
        if (::close(fd) == -1 && (errno != EINTR || deadline.Expired()))
            return StepCode(false, deadline);
        return 0;
    }

  protected:
    // The standard-output port puts a descriptor of its own here.
    int fd_ = -1;  // NOLINT(cppcoreguidelines-non-private-member-variables-in-classes)

  private:
    static TPortCode StepCode(bool succeeded, const TStepDeadline& deadline) {
        if (succeeded)
            return 0;
        return errno == EINTR && deadline.Expired() ? IoTimeout : PortCodeFromErrno(errno);
    }

    TPortTimeout timeout_;
};

// Standard output through a descriptor of its own, so that closing it after the write leaves
// standard output open for whatever the program writes next.
class StandardOutputPort final : public PosixPort {
  public:
    using PosixPort::PosixPort;

    TPortCode Open(const std::string& /*Name*/) override {
        fd_ = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
        return fd_ == -1 ? PortCodeFromErrno(errno) : 0;
    }
};

}  // namespace

std::unique_ptr<TPrinterPort> MakeSystemPort() {
    return MakeBoundedSystemPort(TPortTimeout::zero());
}

std::unique_ptr<TPrinterPort> MakeBoundedSystemPort(TPortTimeout Timeout) {
    return std::make_unique<PosixPort>(Timeout);
}

std::unique_ptr<TPrinterPort> MakeStandardOutputPort(TPortTimeout Timeout) {
    return std::make_unique<StandardOutputPort>(Timeout);
}

}  // namespace eds
