// Sends one setting and reports the outcome on standard output, for tests that must run the
// sender in another process: as another user, in a private mount namespace, under strace.
//   send_probe NUMBER CHOICE             to the first parallel port, as the program does
//   send_probe DESTINATION NUMBER CHOICE to a path
// Prints "sent" and exits 0, or prints "CODE MESSAGE" and exits 1.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "setting_sender.h"

namespace {

bool ParseInt(const char* text, int& value) {
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, value);
    return error == std::errc{} && stop == end;
}

}  // namespace

int main(int argc, char** argv) {
    int number = 0;
    int choice = 0;
    if ((argc != 3 && argc != 4) || !ParseInt(argv[argc - 2], number) ||
        !ParseInt(argv[argc - 1], choice)) {
        static_cast<void>(std::fputs("usage: send_probe [DESTINATION] NUMBER CHOICE\n", stderr));
        return 2;
    }
    try {
        if (argc == 4) {
            eds::TSettingSender(argv[1]).SendSetting(number, choice);
        } else {
            eds::SendSetting(number, choice);
        }
    } catch (const eds::EInOutError& error) {
        std::printf("%d %s\n", error.IoCode(), error.what());
        return 1;
    }
    std::puts("sent");
    return 0;
}
