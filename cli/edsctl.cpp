#include "edsctl.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "catalogue_view.h"
#include "destination.h"
#include "eds_command.h"
#include "io_error.h"
#include "port_listing.h"
#include "setting_lookup.h"
#include "usage_error.h"

namespace eds::cli {
namespace {

constexpr int kSent = 0;
constexpr int kIoFailure = 1;
constexpr int kUsageError = 2;
constexpr double kShortestTimeout = 0.001;
constexpr double kLongestTimeout = 1e6;

constexpr char kRules[] =
    R"(SETTING is a number from 1 to 26 or a name: the words of the setting's caption,
matched without regard to case, blanks and punctuation ("baudrate", "char pitch",
"CharPitch", "auto cr/lf"); a unique start of the name or of one of its words is
enough ("pitch"). An unknown or ambiguous name is refused with the candidates.

CHOICE is, in this order of precedence:
  1. a choice's exact text ("38400 *");
  2. its text without regard to case and without the default mark " *" ("38400",
     "xon/xoff");
  3. its position in the setting's list, counting from 0 ('edsctl show SETTING').
A text that is also a number means the text: for setting 24 "600" is the choice
"600" (position 5), never position 600, while "6" is position 6 ("38400 *").
Setting 20's two empty choices are positions 2 and 3.

Reserved settings (5, 10, 11, 18) and positions outside a setting's list are
refused before anything is sent.

DEST, the destination of --device:
  (not given)          the first parallel port, Lpt1 (/dev/lp0), as the window
  PATH                 a device (/dev/usb/lp0), a file or a FIFO; never created
  -                    standard output: edsctl set 24 38400 --device - | lp -d QUEUE -o raw
  socket://HOST[:PORT] raw TCP to a network printer; PORT defaults to 9100
Each pair is sent as its own 13-byte command in its own open (or connect), write
and close, in the order given; at the first failure the rest are not sent.

Exit status: 0 all sent, 1 an I/O failure (nothing more is sent), 2 a usage error
(nothing is sent).)";

constexpr char kPortsFooter[] =
    R"(Each line: the device node, whether this user can write to it, and the printer's
IEEE-1284 id where the kernel gives it (USB printers), or a note that no port or
printer is behind the node. A fix is printed for ports this user cannot write to.
--dev and --sys point the search at other folders, for tests and chroots.)";

// The window shows a message with a full stop after it when its last character sorts after ".".
std::string WithFullStop(std::string message) {
    if (!message.empty() && message.back() > '.')
        message += '.';
    return message;
}

std::string Dump(const nlohmann::json& json) {
    return json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

struct TSetOptions {
    std::vector<std::string> Pairs;
    std::string Device;
    bool DryRun = false;
    double TimeoutSeconds = 0;
};

// Most of it is the failure report, which names what was sent and what was not.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
int RunSet(const TSetOptions& options, std::ostream& out, std::ostream& err) {
    const std::vector<TSettingChoice> pairs = ResolvePairs(options.Pairs);
    if (options.DryRun) {
        for (const TSettingChoice& pair : pairs) {
            out << FormatEdsCommand(BuildEdsCommand(pair.Setting->FunctionCode,
                                                    static_cast<std::uint8_t>(pair.Position)))
                << '\n';
        }
        return kSent;
    }
    const auto timeout =
        std::chrono::ceil<TPortTimeout>(std::chrono::duration<double>(options.TimeoutSeconds));
    const TSettingSender sender = MakeSender(options.Device, timeout);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        try {
            sender.SendSetting(pairs[i].Setting->Number, pairs[i].Position);
        } catch (const EInOutError& error) {
            const std::string& where = sender.Destination();
            err << "edsctl: " << (where == StandardOutputDestination ? "standard output" : where)
                << ": " << WithFullStop(error.what()) << '\n';
            if (const std::string hint =
                    HintFor(error.IoCode(), sender.Destination(), options.TimeoutSeconds);
                !hint.empty())
                err << "edsctl: " << hint << '\n';
            if (pairs.size() > 1) {
                std::string sent;
                std::string notSent;
                for (std::size_t j = 0; j < pairs.size(); ++j)
                    (j < i ? sent : notSent) += "\n  " + DescribeChoice(pairs[j]);
                err << "edsctl: sent:" << (sent.empty() ? " none" : sent) << '\n'
                    << "edsctl: not sent:" << notSent << '\n';
            }
            return kIoFailure;
        }
    }
    return kSent;
}

}  // namespace

// One flat declaration of the subcommands and their options, then one dispatch: the branches
// are the commands, not nested logic.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
int RunEdsctl(int Argc, const char* const* Argv, std::ostream& Out, std::ostream& Err) {
    CLI::App app("Sets the EDS settings of a dot-matrix printer, one 13-byte command per setting.",
                 "edsctl");
    app.set_version_flag("--version", std::string("edsctl ") + EDS_VERSION);
    app.require_subcommand(1);
    app.footer(kRules);

    bool json = false;
    CLI::App* list = app.add_subcommand("list", "List the 26 settings with their choices.");
    list->add_flag("--json", json, "Print JSON instead of text.");

    std::string shown;
    CLI::App* show = app.add_subcommand("show", "Show one setting with its choices.");
    show->add_option("SETTING", shown, "A number from 1 to 26 or a name.")->required();
    show->add_flag("--json", json, "Print JSON instead of text.");

    TSetOptions set;
    CLI::App* setCommand = app.add_subcommand(
        "set", "Send settings to the printer: one command per SETTING CHOICE pair, in order.");
    setCommand->add_option("SETTING CHOICE", set.Pairs, "One or more pairs.")
        ->required()
        ->type_name("");
    setCommand
        ->add_option("--device", set.Device,
                     "Where to send: PATH, - (standard output) or socket://HOST[:PORT]; "
                     "by default the first parallel port.")
        ->check(CLI::Validator(
            [](const std::string& text) -> std::string {
                return text.empty() ? "give a path, - or socket://HOST[:PORT]" : "";
            },
            ""))
        ->type_name("DEST");
    setCommand->add_flag("--dry-run", set.DryRun,
                         "Print each command in hex, one a line, and send nothing.");
    setCommand
        ->add_option("--timeout", set.TimeoutSeconds,
                     "Give up on an open (or connect), write or close after SECONDS; by "
                     "default wait as long as the device takes.")
        ->check(CLI::Validator(
            [](const std::string& text) -> std::string {
                const double seconds = std::strtod(text.c_str(), nullptr);
                return seconds >= kShortestTimeout && seconds <= kLongestTimeout
                           ? ""
                           : "give a number of seconds from 0.001 to 1000000";
            },
            ""))
        ->type_name("SECONDS");
    setCommand->footer(kRules);

    std::string devRoot = "/dev";
    std::string sysRoot = "/sys";
    CLI::App* ports = app.add_subcommand("ports", "List the printer ports and who may use them.");
    ports->add_flag("--json", json, "Print JSON instead of text.");
    ports->add_option("--dev", devRoot, "The device folder to search.")->capture_default_str();
    ports->add_option("--sys", sysRoot, "The sysfs folder to read.")->capture_default_str();
    ports->footer(kPortsFooter);

    const auto commands = app.get_subcommands([](CLI::App*) { return true; });
    if (Argc > 1 && Argv[1][0] != '-' &&
        std::none_of(commands.begin(), commands.end(),
                     [&](const CLI::App* command) { return command->get_name() == Argv[1]; })) {
        Err << "edsctl: unknown command \"" << Argv[1]
            << "\": the commands are list, show, set and ports\n"
               "Run 'edsctl --help' for more information.\n";
        return kUsageError;
    }
    try {
        app.parse(Argc, Argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0)
            return app.exit(error, Out, Err);
        Err << "edsctl: " << error.what() << "\nRun 'edsctl --help' for more information.\n";
        return kUsageError;
    }

    int status = kSent;
    try {
        if (*list) {
            nlohmann::json all = nlohmann::json::array();
            for (const TEdsSetting& setting : EdsSettings) {
                if (json)
                    all.push_back(SettingJson(setting));
                else
                    PrintSetting(Out, setting);
            }
            if (json)
                Out << Dump(all) << '\n';
        } else if (*show) {
            const TEdsSetting& setting = ResolveSetting(shown);
            if (json)
                Out << Dump(SettingJson(setting)) << '\n';
            else
                PrintSetting(Out, setting);
        } else if (*setCommand) {
            status = RunSet(set, Out, Err);
        } else if (*ports) {
            const std::vector<TPortEntry> found = FindPrinterPorts(devRoot, sysRoot);
            if (json)
                Out << Dump(PortsJson(found)) << '\n';
            else
                PrintPorts(Out, found);
        }
    } catch (const EUsageError& error) {
        Err << "edsctl: " << error.what() << '\n';
        return kUsageError;
    }
    if (!Out.flush()) {
        Err << "edsctl: cannot write to standard output\n";
        return kIoFailure;
    }
    return status;
}

}  // namespace eds::cli
