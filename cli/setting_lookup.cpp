#include "setting_lookup.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "usage_error.h"

namespace eds::cli {
namespace {

constexpr std::string_view kDefaultMark = " *";

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

// Letters and digits only, lower case: "Auto CR/LF" -> "autocrlf".
std::string NameKey(std::string_view text) {
    std::string key;
    for (const char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            key += Lower(c);
    }
    return key;
}

// The keys a name can be typed from: the whole name and the name from each later word on, so
// that "pitch" finds "Char Pitch" and "cr" finds "Auto CR/LF".
std::vector<std::string> NameKeys(std::string_view name) {
    std::vector<std::string> keys{NameKey(name)};
    for (std::size_t blank = name.find(' '); blank != std::string_view::npos;
         blank = name.find(' ', blank + 1)) {
        keys.push_back(NameKey(name.substr(blank + 1)));
    }
    return keys;
}

std::string ChoiceKey(std::string_view text) {
    if (text.ends_with(kDefaultMark))
        text.remove_suffix(kDefaultMark.size());
    std::string key(text);
    std::transform(key.begin(), key.end(), key.begin(), Lower);
    return key;
}

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted.append(1, '"').append(text).append(1, '"');
    return quoted;
}

std::string Label(const TEdsSetting& setting) {
    return std::to_string(setting.Number) + " " + std::string(SettingName(setting));
}

std::string ValidChoices(const TEdsSetting& setting) {
    std::string list;
    for (std::size_t i = 0; i < setting.ChoiceCount(); ++i)
        list += (i == 0 ? "" : ", ") + std::to_string(i) + " " + Quoted(setting.Choice(i));
    return "the choices of " + Label(setting) + " are " + list;
}

std::string AllSettings() {
    std::string list;
    for (const TEdsSetting& setting : EdsSettings) {
        if (setting.Enabled)
            list += (list.empty() ? "" : ", ") + Label(setting);
    }
    return list;
}

}  // namespace

std::string_view SettingName(const TEdsSetting& Setting) {
    std::string_view name = Setting.Caption;
    name.remove_prefix(std::min(name.find(". ") + 2, name.size()));
    return name.substr(0, name.find_last_not_of(' ') + 1);
}

const TEdsSetting& ResolveSetting(std::string_view Text) {
    if (AllDigits(Text)) {
        int number = 0;
        const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), number);
        if (const TEdsSetting* setting = FindEdsSetting(number);
            setting != nullptr && error == std::errc())
            return *setting;
        throw EUsageError("no setting " + std::string(Text) + ": the settings are 1 to " +
                          std::to_string(EdsSettingCount));
    }
    const std::string key = NameKey(Text);
    if (key.empty())
        throw EUsageError("no setting named " + Quoted(Text) + ": give a number or a name");

    std::vector<const TEdsSetting*> exact;
    std::vector<const TEdsSetting*> started;
    for (const TEdsSetting& setting : EdsSettings) {
        const std::vector<std::string> keys = NameKeys(SettingName(setting));
        if (keys.front() == key)
            exact.push_back(&setting);
        else if (std::any_of(keys.begin(), keys.end(),
                             [&](const std::string& k) { return k.starts_with(key); }))
            started.push_back(&setting);
    }
    const std::vector<const TEdsSetting*>& found = exact.empty() ? started : exact;
    if (found.size() == 1)
        return *found.front();
    if (found.empty())
        throw EUsageError("no setting named " + Quoted(Text) + "; the settings are " +
                          AllSettings());
    std::string candidates;
    for (const TEdsSetting* setting : found)
        candidates += (candidates.empty() ? "" : ", ") + Label(*setting);
    throw EUsageError("the setting " + Quoted(Text) + " is ambiguous: it could be " + candidates);
}

int ResolveChoice(const TEdsSetting& Setting, std::string_view Text) {
    if (Text.empty())
        throw EUsageError("an empty choice for " + Label(Setting) +
                          "; give a position: " + ValidChoices(Setting));
    const int count = static_cast<int>(Setting.ChoiceCount());
    for (int i = 0; i < count; ++i) {
        if (Setting.Choice(static_cast<std::size_t>(i)) == Text)
            return i;
    }
    const std::string key = ChoiceKey(Text);
    for (int i = 0; i < count; ++i) {
        if (!key.empty() && ChoiceKey(Setting.Choice(static_cast<std::size_t>(i))) == key)
            return i;
    }
    if (AllDigits(Text)) {
        int position = 0;
        const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), position);
        if (error == std::errc() && position < count)
            return position;
        throw EUsageError("no position " + std::string(Text) + " for " + Label(Setting) +
                          ": the positions are 0 to " + std::to_string(count - 1) + "; " +
                          ValidChoices(Setting));
    }
    throw EUsageError("no choice " + Quoted(Text) + " for " + Label(Setting) + "; " +
                      ValidChoices(Setting));
}

std::vector<TSettingChoice> ResolvePairs(std::span<const std::string> Words) {
    if (Words.empty())
        throw EUsageError("nothing to set: give SETTING CHOICE pairs");
    if (Words.size() % 2 != 0)
        throw EUsageError("the setting " + Quoted(Words.back()) + " has no choice: give SETTING " +
                          "CHOICE pairs");
    std::vector<TSettingChoice> pairs;
    for (std::size_t i = 0; i < Words.size(); i += 2) {
        const TEdsSetting& setting = ResolveSetting(Words[i]);
        if (!setting.Enabled)
            throw EUsageError("setting " + std::to_string(setting.Number) +
                              " is reserved and cannot be set");
        pairs.push_back({&setting, ResolveChoice(setting, Words[i + 1])});
    }
    return pairs;
}

std::string DescribeChoice(const TSettingChoice& Choice) {
    return Label(*Choice.Setting) + " = " +
           Quoted(Choice.Setting->Choice(static_cast<std::size_t>(Choice.Position)));
}

}  // namespace eds::cli
