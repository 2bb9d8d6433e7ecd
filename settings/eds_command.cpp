#include "eds_command.h"

namespace eds {

std::string FormatEdsCommand(const TEdsCommand& Command) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(Command.size() * 3);
    for (std::uint8_t byte : Command) {
        if (!text.empty())
            text += ' ';
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

}  // namespace eds
