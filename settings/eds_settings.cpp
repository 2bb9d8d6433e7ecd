#include "eds_settings.h"

namespace eds {
namespace {

constexpr bool StartsOnTheMarkedChoice(const TEdsSetting& Setting) {
    for (std::size_t i = 0; i < Setting.ChoiceCount(); ++i) {
        if (Setting.Choice(i).ends_with(" *"))
            return static_cast<int>(i) == Setting.StartIndex;
    }
    return Setting.StartIndex == 0;
}

constexpr bool TableIsConsistent() {
    for (std::size_t i = 0; i < EdsSettings.size(); ++i) {
        const TEdsSetting& s = EdsSettings[i];
        if (s.Number != static_cast<int>(i) + 1 || s.FunctionCode != s.Number - 1)
            return false;
        if (s.ChoiceCount() < 1 || s.ChoiceCount() > 16)
            return false;
        if (s.StartIndex < 0 || s.StartIndex >= static_cast<int>(s.ChoiceCount()))
            return false;
        if (!StartsOnTheMarkedChoice(s))
            return false;
    }
    return true;
}
static_assert(TableIsConsistent(), "numbers, function codes and start choices must agree");

}  // namespace

}  // namespace eds
