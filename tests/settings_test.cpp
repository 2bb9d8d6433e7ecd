#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "eds_command.h"
#include "eds_settings.h"

namespace {

using eds::EdsSettings;
using eds::FindEdsSetting;

const eds::TEdsSetting& Setting(int number) {
    const eds::TEdsSetting* setting = FindEdsSetting(number);
    if (setting == nullptr)
        throw std::out_of_range("no such setting");
    return *setting;
}

std::vector<std::string_view> ChoicesOf(int number) {
    const auto choices = Setting(number).Choices;
    return {choices.begin(), choices.end()};
}

TEST(Catalogue, CaptionsKeepTheirTrailingBlanks) {
    struct Case {
        int number;
        std::string_view caption;
    };
    const Case cases[] = {
        {1, "1. Buffer Size    "},       {3, "3. MultiPart       "},
        {4, "4. Auto CR/LF  "},          {6, "6. Page Length"},
        {14, "14. Interface          "}, {16, "16. Font                "},
        {18, "18. Reservation    "},     {20, "20. Quiet Mode    "},
        {23, "23. Parity             "}, {24, "24. Baudrate       "},
        {26, "26. Inter Char Set"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Setting(c.number).Caption, c.caption) << "setting " << c.number;
    }
}

TEST(Catalogue, ExactlyThreeSettingsStartAwayFromTheFirstChoice) {
    struct Case {
        int number;
        int startIndex;
        std::string_view startText;
    };
    const Case cases[] = {{14, 4, "Auto *"}, {22, 1, "Xon/Xoff *"}, {24, 6, "38400 *"}};
    int notAtZero = 0;
    for (const auto& setting : EdsSettings)
        notAtZero += setting.StartIndex != 0 ? 1 : 0;
    EXPECT_EQ(notAtZero, 3);
    for (const Case& c : cases) {
        const auto& setting = Setting(c.number);
        EXPECT_EQ(setting.StartIndex, c.startIndex) << "setting " << c.number;
        EXPECT_EQ(setting.Choice(static_cast<std::size_t>(setting.StartIndex)), c.startText);
    }
}

TEST(Catalogue, ReservedRowsKeepTheirNumbersAndFunctionCodes) {
    for (const auto& setting : EdsSettings) {
        const bool reserved = setting.Number == 5 || setting.Number == 10 || setting.Number == 11 ||
                              setting.Number == 18;
        EXPECT_EQ(setting.Enabled, !reserved) << "setting " << setting.Number;
        EXPECT_EQ(setting.FunctionCode, setting.Number - 1) << "setting " << setting.Number;
        if (reserved) {
            EXPECT_EQ(ChoicesOf(setting.Number), std::vector<std::string_view>{"Reservation"});
            EXPECT_EQ(setting.StartIndex, 0);
            EXPECT_TRUE(
                setting.Caption.starts_with(std::to_string(setting.Number) + ". Reservation"));
        }
    }
    EXPECT_EQ(Setting(19).FunctionCode, 0x12);
    EXPECT_EQ(Setting(26).FunctionCode, 0x19);
}

TEST(Catalogue, ChoiceListsKeepThePrintersOrderAndTexts) {
    using List = std::vector<std::string_view>;
    struct Case {
        int number;
        List choices;
    };
    const Case cases[] = {
        {6, {"11inch *", "5.5inch", "8.5inch", "11/3inch", "11/4inch", "70/6inch", "8.25inch"}},
        {8, {"AUTO *", "Manual"}},
        {19,
         {"10 CPI *", "12 CPI", "15 CPI", "17 CPI", "20 CPI", "Proportional", "12.5 CPI",
          "13.3 CPI"}},
        {20, {"Invalid *", "Valid", "", ""}},
        {24, {"9600", "19200", "4800", "2400", "1200", "600", "38400 *"}},
        {25,
         {"CP437 *", "Italic", "CP850", "CP860", "CP863", "CP865", "CP858", "GREEK737",
          "TURKISH857", "CP864", "CP1098", "CP1250", "CP1256"}},
        {26,
         {"U.S.A *", "France", "Germany", "U.K", "Denmark", "Sweden", "Italy", "Spain", "Japan",
          "Norway", "Denmark 2", "Spain 2", "Latin Americ", "Korea", "Irelan", "Legal"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChoicesOf(c.number), c.choices) << "setting " << c.number;
}

TEST(Catalogue, NoSettingHasMoreThanSixteenChoices) {
    std::size_t most = 0;
    for (const auto& setting : EdsSettings)
        most = std::max(most, setting.ChoiceCount());
    EXPECT_EQ(most, 16U);
    EXPECT_EQ(Setting(26).ChoiceCount(), 16U);
}

TEST(Catalogue, LooksUpOnlyNumbersOneToTwentySix) {
    for (int number : {-1, 0, 27, 256})
        EXPECT_EQ(FindEdsSetting(number), nullptr) << number;
    for (int number = 1; number <= 26; ++number) {
        ASSERT_NE(FindEdsSetting(number), nullptr);
        EXPECT_EQ(FindEdsSetting(number)->Number, number);
    }
}

constexpr eds::TEdsCommand kHeaderAndTrailer = {0x1B, 0x7C, 0x00, 0x1E, 0x00, 0x48, 0xB7,
                                                0x24, 0x31, 0x00, 0x00, 0x1B, 0x40};

TEST(CommandFrame, EverySettingAndChoiceVariesOnlyBytesNineAndTen) {
    for (const auto& setting : EdsSettings) {
        for (std::size_t value = 0; value < setting.ChoiceCount(); ++value) {
            eds::TEdsCommand expected = kHeaderAndTrailer;
            expected[9] = static_cast<std::uint8_t>(setting.Number - 1);
            expected[10] = static_cast<std::uint8_t>(value);
            EXPECT_EQ(eds::BuildEdsCommand(setting.FunctionCode, static_cast<std::uint8_t>(value)),
                      expected)
                << "setting " << setting.Number << " value " << value;
        }
    }
}

TEST(CommandFrame, ReadsAsPrintedInHex) {
    struct Case {
        const char* what;
        std::uint8_t functionCode;
        std::uint8_t value;
        std::string_view hex;
    };
    const Case cases[] = {
        {"buffer size 128K", 0x00, 0, "1B 7C 00 1E 00 48 B7 24 31 00 00 1B 40"},
        {"interface Auto", 0x0D, 4, "1B 7C 00 1E 00 48 B7 24 31 0D 04 1B 40"},
        {"data length 7bit", 0x14, 1, "1B 7C 00 1E 00 48 B7 24 31 14 01 1B 40"},
        {"baudrate 38400", 0x17, 6, "1B 7C 00 1E 00 48 B7 24 31 17 06 1B 40"},
        {"char set Legal", 0x19, 15, "1B 7C 00 1E 00 48 B7 24 31 19 0F 1B 40"},
        {"quiet mode empty fourth", 0x13, 3, "1B 7C 00 1E 00 48 B7 24 31 13 03 1B 40"},
        {"every bit set", 0xFF, 0xFF, "1B 7C 00 1E 00 48 B7 24 31 FF FF 1B 40"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(eds::FormatEdsCommand(eds::BuildEdsCommand(c.functionCode, c.value)), c.hex)
            << c.what;
    }
}

static_assert(sizeof(eds::TEdsCommand) == 13, "a command is 13 bytes, with no terminator");

}  // namespace
