// The catalogue as `edsctl list` and `edsctl show` print it: text for people, JSON for scripts.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>

#include "eds_settings.h"

namespace eds::cli {

// "24  Baudrate", then one line per choice with its position; the default keeps its " *" mark,
// an empty choice reads (empty), a reserved setting is flagged.
void PrintSetting(std::ostream& Out, const TEdsSetting& Setting);

// {"number", "function_code", "name", "caption" (without trailing blanks), "reserved",
//  "default" (the start position), "choices": [{"position", "text", "default"}]}
nlohmann::json SettingJson(const TEdsSetting& Setting);

}  // namespace eds::cli
