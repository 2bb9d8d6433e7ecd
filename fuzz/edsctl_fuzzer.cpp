// edsctl's argument handling and choice matching: the input, split at NUL bytes, is the command
// line after "edsctl". Every "set" runs dry, so nothing is ever opened: any --dry-run word of the
// input is dropped and --dry-run follows the first "set". A run must end with status 0 or 2;
// status 2 prints a message and nothing else; a set that succeeds prints one valid command per
// SETTING CHOICE pair: an enabled setting and a position inside its list.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "eds_command.h"
#include "eds_settings.h"
#include "edsctl.h"

namespace {

void Require(bool holds, const char* what, const std::string& detail) {
    if (!holds) {
        static_cast<void>(std::fprintf(stderr, "edsctl_fuzzer: %s\n%s\n", what, detail.c_str()));
        std::abort();
    }
}

std::vector<std::string> SplitAtNul(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> words;
    if (size == 0)
        return words;
    // libFuzzer hands the input over as bytes; arguments are text.
    const std::string_view text(reinterpret_cast<const char*>(data),  // NOLINT(*-reinterpret-cast)
                                size);
    std::size_t start = 0;
    for (std::size_t nul = text.find('\0');; nul = text.find('\0', start)) {
        words.emplace_back(text.substr(start, nul - start));
        if (nul == std::string_view::npos)
            break;
        start = nul + 1;
    }
    return words;
}

// Only the sends are kept from the device: everything else the command line can do runs.
std::vector<std::string> WithEverySetDry(std::vector<std::string> words) {
    std::erase_if(words, [](const std::string& word) { return word.starts_with("--dry"); });
    const auto set = std::find(words.begin(), words.end(), "set");
    if (set != words.end())
        words.insert(set + 1, "--dry-run");
    return words;
}

bool IsValidCommandLine(const std::string& line) {
    for (const eds::TEdsSetting& setting : eds::EdsSettings) {
        if (!setting.Enabled)
            continue;
        for (std::size_t i = 0; i < setting.ChoiceCount(); ++i) {
            if (line == eds::FormatEdsCommand(eds::BuildEdsCommand(setting.FunctionCode,
                                                                   static_cast<std::uint8_t>(i))))
                return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> words = WithEverySetDry(SplitAtNul(data, size));
    std::vector<const char*> argv{"edsctl"};
    for (const std::string& word : words)
        argv.push_back(word.c_str());
    argv.push_back(nullptr);

    std::ostringstream out;
    std::ostringstream err;
    const int status =
        eds::cli::RunEdsctl(static_cast<int>(argv.size() - 1), argv.data(), out, err);
    const std::string detail =
        "status " + std::to_string(status) + "\nout:\n" + out.str() + "err:\n" + err.str();

    Require(status == 0 || status == 2, "a dry command line ended with an I/O status", detail);
    if (status == 2) {
        Require(out.str().empty() && err.str().starts_with("edsctl: "),
                "a usage error printed more than its message", detail);
        return 0;
    }
    // Help and the version, asked for in any spelling CLI11 takes ("-h", "-hx"), print instead.
    const bool printedHelp =
        out.str().find("Usage: edsctl") != std::string::npos || out.str().starts_with("edsctl ");
    const bool plainSet = !words.empty() && words.front() == "set" && !printedHelp;
    if (plainSet) {
        std::istringstream lines(out.str());
        std::size_t count = 0;
        for (std::string line; std::getline(lines, line); ++count)
            Require(IsValidCommandLine(line), "set printed a command it must refuse", detail);
        Require(count > 0, "a set that succeeded printed no command", detail);
    }
    return 0;
}
