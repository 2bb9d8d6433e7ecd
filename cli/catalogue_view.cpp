#include "catalogue_view.h"

#include <iomanip>

#include "setting_lookup.h"

namespace eds::cli {

void PrintSetting(std::ostream& Out, const TEdsSetting& Setting) {
    Out << std::setw(2) << Setting.Number << "  " << SettingName(Setting)
        << (Setting.Enabled ? "" : "  (reserved, cannot be set)") << '\n';
    for (std::size_t i = 0; i < Setting.ChoiceCount(); ++i) {
        const std::string_view text = Setting.Choice(i);
        Out << "    " << std::setw(2) << i << "  " << (text.empty() ? "(empty)" : text) << '\n';
    }
}

nlohmann::json SettingJson(const TEdsSetting& Setting) {
    nlohmann::json choices = nlohmann::json::array();
    for (std::size_t i = 0; i < Setting.ChoiceCount(); ++i) {
        choices.push_back({{"position", i},
                           {"text", Setting.Choice(i)},
                           {"default", static_cast<int>(i) == Setting.StartIndex}});
    }
    const std::string_view caption = Setting.Caption;
    return {{"number", Setting.Number},
            {"function_code", Setting.FunctionCode},
            {"name", SettingName(Setting)},
            {"caption", caption.substr(0, caption.find_last_not_of(' ') + 1)},
            {"reserved", !Setting.Enabled},
            {"default", Setting.StartIndex},
            {"choices", choices}};
}

}  // namespace eds::cli
