#include "test_support.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace eds::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/eds-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::system_error(errno, std::generic_category());
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

Bytes ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write " + path.string());
}

namespace {

void Drain(int outFd, int errFd, std::string& out, std::string& err) {
    std::array<pollfd, 2> fds{{{outFd, POLLIN, 0}, {errFd, POLLIN, 0}}};
    int open = 2;
    while (open > 0) {
        if (poll(fds.data(), fds.size(), -1) == -1) {
            if (errno == EINTR)
                continue;
            throw std::system_error(errno, std::generic_category(), "poll");
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd == -1 || fds[i].revents == 0)
                continue;
            std::array<char, 4096> buffer{};
            const ssize_t n = read(fds[i].fd, buffer.data(), buffer.size());
            if (n > 0) {
                (i == 0 ? out : err).append(buffer.data(), static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                fds[i].fd = -1;
                --open;
            }
        }
    }
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv) {
    std::array<int, 2> outPipe{};
    std::array<int, 2> errPipe{};
    if (pipe2(outPipe.data(), O_CLOEXEC) == -1 || pipe2(errPipe.data(), O_CLOEXEC) == -1)
        throw std::system_error(errno, std::generic_category(), "pipe");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);

    // posix_spawnp takes char* const[] for C's sake and does not write through it.
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));  // NOLINT(*-const-cast)
    args.push_back(nullptr);

    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    close(errPipe[1]);
    ProcessResult result;
    if (spawned != 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        result.err = "cannot start " + argv[0];
        return result;
    }
    Drain(outPipe[0], errPipe[0], result.out, result.err);
    close(outPipe[0]);
    close(errPipe[0]);

    int status = 0;
    while (waitpid(pid, &status, 0) == -1 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    return result;
}

int OpenDescriptorCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

bool StraceWorks() {
    static const bool works =
        RunProcess({"strace", "-qq", "-o", "/dev/null", "true"}).exitCode == 0;
    return works;
}

std::vector<std::string> AsNobody() {
    return {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
}

std::optional<fs::path> MakeNodeWithoutDriver(const TempDir& dir) {
    const fs::path node = dir / "lp200";
    if (mknod(node.c_str(), S_IFCHR | 0600, makedev(6, 200)) != 0)
        return std::nullopt;
    return node;
}

std::optional<fs::path> MakeRootOnlyFile(const TempDir& dir) {
    if (geteuid() != 0)
        return std::nullopt;
    const fs::path file = dir / "root-only";
    WriteBytes(file, {});
    chmod(file.c_str(), 0600);
    chmod(dir.Path().c_str(), 0755);
    return file;
}

}  // namespace eds::test
