// Sends one setting and reports the outcome on standard output, for tests that must run the
// sender in another process: as another user, in a private mount namespace, under strace.
//   send_probe NUMBER CHOICE             to the first parallel port, as the program does
//   send_probe DESTINATION NUMBER CHOICE to a path
// Prints "sent" and exits 0, or prints "CODE MESSAGE" and exits 1.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "setting_sender.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fputs("usage: send_probe [DESTINATION] NUMBER CHOICE\n", stderr);
        return 2;
    }
    const int number = std::atoi(argv[argc - 2]);
    const int choice = std::atoi(argv[argc - 1]);
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
