// Starts each program in turn, ROUNDS times, on the X server in DISPLAY and measures the time
// from the start until its first top-level window is mapped (seen on the root window) and until
// it is shown: the last paint into it (a damage report of the DAMAGE extension) before it stays
// unchanged for QuietTime; both reported by the server, not polled. Then the program is killed
// and its peak memory (ru_maxrss) read. Prints the medians side by side with the ratio of each
// program to the first one.
//
//   window_bench ROUNDS PROGRAM...
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto ShowTimeout = std::chrono::seconds(30);
constexpr auto QuietTime = std::chrono::milliseconds(300);

struct TSample {
    double MappedMilliseconds;
    double PaintedMilliseconds;
    double PeakMebibytes;
};

struct TXServer {
    xcb_connection_t* Connection;
    xcb_window_t Root;
    std::uint8_t DamageNotify;  // the DAMAGE extension's event code
};

TXServer Connect() {
    xcb_connection_t* Connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(Connection))
        throw std::runtime_error("cannot connect to the X server in DISPLAY");
    const xcb_window_t Root = xcb_setup_roots_iterator(xcb_get_setup(Connection)).data->root;
    const xcb_query_extension_reply_t* Damage = xcb_get_extension_data(Connection, &xcb_damage_id);
    if (Damage == nullptr || !Damage->present)
        throw std::runtime_error("the X server has no DAMAGE extension");
    std::free(xcb_damage_query_version_reply(Connection, xcb_damage_query_version(Connection, 1, 1),
                                             nullptr));
    const uint32_t Mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(Connection, Root, XCB_CW_EVENT_MASK, &Mask);
    xcb_flush(Connection);
    return {Connection, Root, static_cast<std::uint8_t>(Damage->first_event + XCB_DAMAGE_NOTIFY)};
}

pid_t Start(const std::string& Program) {
    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    posix_spawn_file_actions_addopen(&Actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&Actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> Argv{const_cast<char*>(Program.c_str()), nullptr};
    pid_t Child = 0;
    const int Error = posix_spawn(&Child, Program.c_str(), &Actions, nullptr, Argv.data(), environ);
    posix_spawn_file_actions_destroy(&Actions);
    if (Error != 0)
        throw std::runtime_error("cannot start " + Program);
    return Child;
}

struct TShown {
    Clock::time_point Mapped, Painted;
};

// Waits for the next top-level window to be mapped, then for its paints to settle. The damage
// watch starts as the map is reported, before the program can have answered its first expose.
std::optional<TShown> WaitForShown(const TXServer& X) {
    const auto Deadline = Clock::now() + ShowTimeout;
    pollfd Descriptor{xcb_get_file_descriptor(X.Connection), POLLIN, 0};
    std::optional<Clock::time_point> Mapped, Painted;
    xcb_damage_damage_t Damage = 0;
    while (Clock::now() < Deadline) {
        if (Painted && Clock::now() - *Painted >= QuietTime) {
            xcb_damage_destroy(X.Connection, Damage);
            xcb_flush(X.Connection);
            return TShown{*Mapped, *Painted};
        }
        while (xcb_generic_event_t* Event = xcb_poll_for_event(X.Connection)) {
            const std::uint8_t Type = Event->response_type & 0x7F;
            if (!Mapped && Type == XCB_MAP_NOTIFY) {
                const auto* Map = reinterpret_cast<xcb_map_notify_event_t*>(Event);
                if (Map->event == X.Root) {
                    Mapped = Clock::now();
                    Damage = xcb_generate_id(X.Connection);
                    xcb_damage_create(X.Connection, Damage, Map->window,
                                      XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
                    xcb_flush(X.Connection);
                }
            } else if (Mapped && Type == X.DamageNotify) {
                Painted = Clock::now();
            }
            std::free(Event);
        }
        poll(&Descriptor, 1, 5);
    }
    return std::nullopt;
}

TSample Measure(const TXServer& X, const std::string& Program) {
    const auto Begin = Clock::now();
    const pid_t Child = Start(Program);
    const std::optional<TShown> Shown = WaitForShown(X);
    kill(Child, SIGKILL);
    int Status = 0;
    rusage Usage{};
    wait4(Child, &Status, 0, &Usage);
    if (!Shown)
        throw std::runtime_error(Program + " showed no window within 30 s");
    auto Milliseconds = [Begin](Clock::time_point End) {
        return std::chrono::duration<double, std::milli>(End - Begin).count();
    };
    return {Milliseconds(Shown->Mapped), Milliseconds(Shown->Painted),
            static_cast<double>(Usage.ru_maxrss) / 1024.0};
}

double Median(std::vector<double> Values) {
    std::sort(Values.begin(), Values.end());
    const std::size_t Middle = Values.size() / 2;
    return Values.size() % 2 ? Values[Middle] : (Values[Middle - 1] + Values[Middle]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s ROUNDS PROGRAM...\n", argv[0]);
        return 2;
    }
    try {
        const int Rounds = std::atoi(argv[1]);
        const std::vector<std::string> Programs(argv + 2, argv + argc);
        const TXServer X = Connect();
        for (const std::string& Program : Programs)
            Measure(X, Program);  // warms the page cache and the font caches
        std::vector<std::vector<double>> Maps(Programs.size()), Times(Programs.size()),
            Peaks(Programs.size());
        for (int Round = 0; Round < Rounds; ++Round)  // interleaved, so drift hits all alike
            for (std::size_t Index = 0; Index < Programs.size(); ++Index) {
                const TSample Sample = Measure(X, Programs[Index]);
                Maps[Index].push_back(Sample.MappedMilliseconds);
                Times[Index].push_back(Sample.PaintedMilliseconds);
                Peaks[Index].push_back(Sample.PeakMebibytes);
            }
        std::printf(
            "| program | start to mapped, ms | start to shown, ms | peak memory, MiB | time ratio "
            "| "
            "memory ratio |\n");
        std::printf("|---|---|---|---|---|---|\n");
        const double BaseTime = Median(Times[0]), BasePeak = Median(Peaks[0]);
        for (std::size_t Index = 0; Index < Programs.size(); ++Index) {
            const double Time = Median(Times[Index]), Peak = Median(Peaks[Index]);
            const std::string Name = Programs[Index].substr(Programs[Index].rfind('/') + 1);
            std::printf("| %s | %.1f | %.1f | %.1f | %.2f | %.2f |\n", Name.c_str(),
                        Median(Maps[Index]), Time, Peak, Time / BaseTime, Peak / BasePeak);
        }
        std::printf("\nmedians of %d rounds each\n", Rounds);
        xcb_disconnect(X.Connection);
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "window_bench: %s\n", Error.what());
        return 1;
    }
    return 0;
}
