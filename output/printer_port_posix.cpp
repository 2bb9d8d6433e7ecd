#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <ctime>

#include "printer_port.h"

namespace eds {
namespace {

// The one translation from errno to the codes the messages are chosen by. It follows Wine's, so
// a fault reads the same in the Windows build, except that a node with no port behind it (ENXIO,
// ENODEV) reads like a missing port.
TPortCode CodeFromErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENXIO:
        case ENODEV:
            return 2;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return 3;
        case EMFILE:
        case ENFILE:
            return 4;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return 5;
        case ENOSPC:
            return 112;
        case EIO:
            return 21;
        case EBUSY:
            return 170;
        case EPIPE:
            return 232;
        default:
            return 31;
    }
}

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

class PosixPort final : public TPrinterPort {
  public:
    PosixPort() = default;
    PosixPort(const PosixPort&) = delete;
    PosixPort& operator=(const PosixPort&) = delete;
    ~PosixPort() override { Close(); }

    TPortCode Open(const std::string& name) override {
        // Never O_CREAT: where no device exists the send must fail, not fill a new file. O_TRUNC
        // replaces an existing regular file, as the Windows create-always open does. Write-only:
        // lp nodes may refuse reading, and a FIFO opened for reading too swallows the bytes.
        const std::string path = PathFor(name);
        do {
            fd_ = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_TRUNC);
        } while (fd_ == -1 && errno == EINTR);
        return fd_ == -1 ? CodeFromErrno(errno) : 0;
    }

    TPortWrite Write(std::span<const std::uint8_t> bytes) override {
        SigpipeBlock sigpipe;
        ssize_t written = 0;
        do {
            written = ::write(fd_, bytes.data(), bytes.size());
        } while (written == -1 && errno == EINTR);
        if (written == -1) {
            if (errno == EPIPE)
                sigpipe.NoteRaised();
            return {0, CodeFromErrno(errno)};
        }
        return {static_cast<std::size_t>(written), 0};
    }

    TPortCode Close() override {
        if (fd_ == -1)
            return 0;
        const int fd = fd_;
        fd_ = -1;
        // Linux releases the descriptor even when close reports EINTR, so it is never retried:
        // a retry could close a descriptor another thread has just been given.
        if (::close(fd) == -1 && errno != EINTR)
            return CodeFromErrno(errno);
        return 0;
    }

  private:
    int fd_ = -1;
};

}  // namespace

std::unique_ptr<TPrinterPort> MakeSystemPort() {
    return std::make_unique<PosixPort>();
}

}  // namespace eds
