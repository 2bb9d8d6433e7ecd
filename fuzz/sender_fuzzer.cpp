// The sender over a port whose results the input scripts: any setting number and position, or
// any bytes and count, and any code from each step. Every send must write exactly the command
// (or raise before writing), raise EInOutError with the code of the first failing step and its
// message, and release the port on every path.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <vector>

#include "eds_command.h"
#include "setting_sender.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Require(bool holds, const char* what) {
    if (!holds) {
        static_cast<void>(std::fprintf(stderr, "sender_fuzzer: %s\n", what));
        std::abort();
    }
}

struct PortScript {
    eds::TPortCode openCode = 0;
    eds::TPortWrite write;
    eds::TPortCode closeCode = 0;
};

struct PortLog {
    int made = 0;
    int alive = 0;
    int opens = 0;
    int writes = 0;
    int closes = 0;
    std::string opened;
    Bytes written;
};

class ScriptedPort final : public eds::TPrinterPort {
  public:
    ScriptedPort(const PortScript& script, PortLog& log) : script_(script), log_(log) {
        ++log_.made;
        ++log_.alive;
    }
    ScriptedPort(const ScriptedPort&) = delete;
    ScriptedPort& operator=(const ScriptedPort&) = delete;
    ~ScriptedPort() override { --log_.alive; }

    eds::TPortCode Open(const std::string& name) override {
        ++log_.opens;
        log_.opened = name;
        return script_.openCode;
    }
    eds::TPortWrite Write(std::span<const std::uint8_t> bytes) override {
        ++log_.writes;
        log_.written.assign(bytes.begin(), bytes.end());
        return script_.write;
    }
    eds::TPortCode Close() override {
        ++log_.closes;
        return script_.closeCode;
    }

  private:
    const PortScript& script_;
    PortLog& log_;
};

// Mostly success, so that the later steps are reached; otherwise any code at all.
eds::TPortCode ConsumeCode(FuzzedDataProvider& input) {
    return input.ConsumeBool() ? input.ConsumeIntegral<eds::TPortCode>() : 0;
}

PortScript ConsumeScript(FuzzedDataProvider& input) {
    PortScript script;
    script.openCode = ConsumeCode(input);
    script.write.Accepted = input.ConsumeBool()
                                ? input.ConsumeIntegral<std::size_t>()
                                : input.ConsumeIntegralInRange<std::size_t>(0, eds::EdsCommandSize);
    script.write.Code = ConsumeCode(input);
    script.closeCode = ConsumeCode(input);
    return script;
}

// The code the send must raise, 0 for none.
eds::TPortCode ExpectedCode(const PortScript& script, std::size_t count) {
    if (script.openCode != 0)
        return script.openCode;
    if (script.write.Code != 0)
        return script.write.Code;
    if (script.write.Accepted < count)
        return eds::IoShortWrite;
    return script.closeCode;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const PortScript script = ConsumeScript(input);
    const bool wholeSetting = input.ConsumeBool();
    const int number = input.ConsumeIntegral<int>();
    const int choice = input.ConsumeIntegral<int>();
    const auto count = input.ConsumeIntegralInRange<std::size_t>(0, 64);
    const Bytes given = input.ConsumeRemainingBytes<std::uint8_t>();

    PortLog log;
    const eds::TSettingSender sender("Lpt1",
                                     [&] { return std::make_unique<ScriptedPort>(script, log); });
    Bytes expected;
    eds::TPortCode raised = 0;
    bool refused = false;
    try {
        if (wholeSetting) {
            const eds::TEdsCommand command =
                eds::BuildEdsCommand(static_cast<std::uint8_t>(static_cast<unsigned>(number) - 1U),
                                     static_cast<std::uint8_t>(choice));
            expected.assign(command.begin(), command.end());
            sender.SendSetting(number, choice);
        } else {
            expected.assign(given.begin(),
                            given.begin() + static_cast<long>(std::min(count, given.size())));
            sender.SendToPrinter(given, count);
        }
    } catch (const eds::EInOutError& error) {
        raised = error.IoCode();
        Require(error.what() == eds::IoErrorMessage(raised), "message is not the code's");
        Require(raised != 0, "raised an error with code 0");
    } catch (const std::invalid_argument&) {
        refused = true;
    }

    Require(log.alive == 0, "the port outlived the send");
    const std::size_t sent = wholeSetting ? eds::EdsCommandSize : count;
    if (!wholeSetting && count > given.size()) {
        Require(refused && log.made == 0,
                "a count beyond the bytes was not refused before opening");
        return 0;
    }
    Require(!refused, "a valid send was refused");
    Require(log.made == 1 && log.opens == 1 && log.opened == "Lpt1", "not one open of Lpt1");
    Require(raised == ExpectedCode(script, sent), "raised the wrong code");
    if (script.openCode != 0) {
        Require(log.writes == 0, "wrote after a failed open");
        return 0;
    }
    Require(log.writes == 1 && log.written == expected, "did not write exactly the command once");
    Require(log.closes == 1, "did not close exactly once after a successful open");
    return 0;
}
