// How the words of a command line become settings, choices and socket addresses.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "setting_lookup.h"
#include "socket_address.h"
#include "usage_error.h"

namespace {

using eds::cli::EUsageError;

struct PairCase {
    const char* name;
    std::vector<std::string> words;
    // The resolved (number, position) pairs, or nothing when the words are refused.
    std::optional<std::vector<std::pair<int, int>>> expected;
    const char* messagePart = "";  // for a refusal: text the message must hold
};

void PrintTo(const PairCase& c, std::ostream* os) {
    *os << c.name;
}

class PairResolution : public testing::TestWithParam<PairCase> {};

TEST_P(PairResolution, ResolvesOrRefusesWithAReason) {
    const PairCase& c = GetParam();
    if (c.expected) {
        std::vector<std::pair<int, int>> resolved;
        for (const auto& pair : eds::cli::ResolvePairs(c.words))
            resolved.emplace_back(pair.Setting->Number, pair.Position);
        EXPECT_EQ(resolved, *c.expected);
    } else {
        try {
            eds::cli::ResolvePairs(c.words);
            ADD_FAILURE() << "accepted";
        } catch (const EUsageError& error) {
            EXPECT_NE(std::string(error.what()).find(c.messagePart), std::string::npos)
                << error.what();
        }
    }
}

using Pairs = std::vector<std::pair<int, int>>;

const PairCase kPairCases[] = {
    {"NumberAndPosition", {"24", "6"}, Pairs{{24, 6}}},
    {"NumberWithLeadingZero", {"024", "0"}, Pairs{{24, 0}}},
    {"NameWithoutRegardToCase", {"BAUDRATE", "0"}, Pairs{{24, 0}}},
    {"NameWithItsBlank", {"char pitch", "1"}, Pairs{{19, 1}}},
    {"NameRunTogether", {"charpitch", "1"}, Pairs{{19, 1}}},
    {"NameWithPunctuation", {"Auto CR/LF", "1"}, Pairs{{4, 1}}},
    {"NameWithoutPunctuation", {"autocrlf", "1"}, Pairs{{4, 1}}},
    {"StartOfALaterWord", {"pitch", "1"}, Pairs{{19, 1}}},
    {"ExactTextWithMark", {"24", "38400 *"}, Pairs{{24, 6}}},
    {"TextWithoutMark", {"24", "38400"}, Pairs{{24, 6}}},
    {"TextWithoutRegardToCase", {"protocol", "XON/XOFF"}, Pairs{{22, 1}}},
    {"TextWithBlank", {"19", "12.5 cpi"}, Pairs{{19, 6}}},
    {"NumericTextBeatsPosition", {"24", "600"}, Pairs{{24, 5}}},
    {"NumberThatIsNoTextIsAPosition", {"24", "6"}, Pairs{{24, 6}}},
    {"EmptyChoiceByPosition", {"20", "3"}, Pairs{{20, 3}}},
    {"LastChoiceOfTheLongestList", {"26", "15"}, Pairs{{26, 15}}},
    {"PairsKeepTheirOrder", {"19", "proportional", "24", "9600"}, Pairs{{19, 5}, {24, 0}}},
    {"AmbiguousNameListsCandidates",
     {"length", "0"},
     std::nullopt,
     "6 Page Length, 21 Data Length"},
    {"AmbiguousStartListsCandidates",
     {"char", "0"},
     std::nullopt,
     "19 Char Pitch, 26 Inter Char Set"},
    {"UnknownNameListsSettings", {"speed", "0"}, std::nullopt, "24 Baudrate"},
    {"SettingZero", {"0", "0"}, std::nullopt, "the settings are 1 to 26"},
    {"SettingAfterTheLast", {"27", "0"}, std::nullopt, "the settings are 1 to 26"},
    {"HugeSetting", {"99999999999999999999", "0"}, std::nullopt, "the settings are 1 to 26"},
    {"EmptySetting", {"", "0"}, std::nullopt, "give a number or a name"},
    {"ReservedByNumber", {"18", "0"}, std::nullopt, "setting 18 is reserved"},
    {"ReservedByName", {"reservation", "0"}, std::nullopt, "5 Reservation, 10 Reservation"},
    {"PositionPastTheEnd", {"24", "7"}, std::nullopt, "the positions are 0 to 6"},
    {"HugePosition", {"26", "99999999999999999999"}, std::nullopt, "0 to 15"},
    {"NegativePosition", {"24", "-1"}, std::nullopt, "6 \"38400 *\""},
    {"JunkChoiceListsChoices", {"23", "mark"}, std::nullopt, R"(0 "None *", 1 "Odd", 2 "Even")"},
    {"EmptyChoice", {"20", ""}, std::nullopt, "give a position"},
    {"MarkAloneIsNoChoice", {"24", " *"}, std::nullopt, "no choice"},
    {"MissingChoice", {"24", "6", "19"}, std::nullopt, "\"19\" has no choice"},
    {"NothingToSet", {}, std::nullopt, "nothing to set"},
    {"BadSecondPairRefusesTheFirstToo", {"24", "6", "5", "0"}, std::nullopt, "reserved"},
};

INSTANTIATE_TEST_SUITE_P(Words, PairResolution, testing::ValuesIn(kPairCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct AddressCase {
    const char* name;
    const char* destination;
    std::optional<eds::TSocketAddress> expected;
};

class SocketAddressParsing : public testing::TestWithParam<AddressCase> {};

TEST_P(SocketAddressParsing, GivesHostAndPortOrNothing) {
    const AddressCase& c = GetParam();
    const auto parsed = eds::ParseSocketAddress(c.destination);
    ASSERT_EQ(parsed.has_value(), c.expected.has_value());
    if (parsed) {
        EXPECT_EQ(parsed->Host, c.expected->Host);
        EXPECT_EQ(parsed->Port, c.expected->Port);
    }
}

const AddressCase kAddressCases[] = {
    {"HostAlonePortIs9100", "socket://printer", eds::TSocketAddress{"printer", 9100}},
    {"HostAndPort", "socket://10.0.0.5:9101", eds::TSocketAddress{"10.0.0.5", 9101}},
    {"Ipv6InBrackets", "socket://[::1]:515", eds::TSocketAddress{"::1", 515}},
    {"Ipv6WithoutPort", "socket://[fe80::1]", eds::TSocketAddress{"fe80::1", 9100}},
    {"HighestPort", "socket://h:65535", eds::TSocketAddress{"h", 65535}},
    {"PortZero", "socket://h:0", std::nullopt},
    {"PortTooHigh", "socket://h:65536", std::nullopt},
    {"EmptyPort", "socket://h:", std::nullopt},
    {"PortWithJunk", "socket://h:91x", std::nullopt},
    {"SignedPort", "socket://h:+91", std::nullopt},
    {"NoHost", "socket://:9100", std::nullopt},
    {"Ipv6WithoutBrackets", "socket://::1", std::nullopt},
    {"UnclosedBracket", "socket://[::1", std::nullopt},
    {"PathAfterHost", "socket://h/queue", std::nullopt},
    {"OtherScheme", "ipp://h", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Destinations, SocketAddressParsing, testing::ValuesIn(kAddressCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
