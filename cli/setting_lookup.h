// Turns the words a user types into catalogue rows and choice positions.
//
// SETTING: a number from 1 to 26, or the words of the setting's caption without regard to case,
// blanks and punctuation ("baudrate", "char pitch", "Auto CR/LF"); a unique start of the name or
// of one of its later words is enough ("pitch", "cr").
//
// CHOICE, in this order: a choice's exact text; its text without regard to case and the default
// mark " *"; its 0-based position. A text therefore wins over a position: for setting 24, "600"
// is the text "600" (position 5), while "6" is position 6 ("38400 *").
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "eds_settings.h"

namespace eds::cli {

// The caption's words without the number and the trailing blanks: "Baudrate".
std::string_view SettingName(const TEdsSetting& Setting);

// Raises EUsageError for an unknown or ambiguous setting, naming the candidates.
const TEdsSetting& ResolveSetting(std::string_view Text);

// Raises EUsageError, listing the setting's choices, when Text names none of them.
int ResolveChoice(const TEdsSetting& Setting, std::string_view Text);

struct TSettingChoice {
    const TEdsSetting* Setting;
    int Position;
};

// SETTING CHOICE pairs, in the order given. Raises EUsageError for an odd count, any pair that
// does not resolve, and any reserved setting, so that nothing is sent unless every pair is good.
std::vector<TSettingChoice> ResolvePairs(std::span<const std::string> Words);

// "24 Baudrate = 38400 *" for messages.
std::string DescribeChoice(const TSettingChoice& Choice);

}  // namespace eds::cli
