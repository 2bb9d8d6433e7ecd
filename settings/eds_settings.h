// The printer's EDS settings: the 26 rows the window and the command line offer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace eds {

struct TEdsSetting {
    int Number;                 // 1 to 26, the number that begins the caption
    std::uint8_t FunctionCode;  // Number - 1: the byte that names the setting in a command
    std::string_view Caption;   // button text; its trailing blanks belong to it
    std::span<const std::string_view> Choices;  // a choice's position is the value sent
    int StartIndex;                             // the choice selected at start, the one marked " *"
    bool Enabled;                               // false for the reserved settings

    constexpr std::size_t ChoiceCount() const { return Choices.size(); }
    constexpr std::string_view Choice(std::size_t Position) const { return Choices[Position]; }
};

inline constexpr int EdsSettingCount = 26;

namespace catalogue_detail {

using Text = std::string_view;

// Choice lists. Their order fixes the values sent to the printer, so it is kept exactly as the
// printer defines it: neither alphabetical nor numeric.
inline constexpr std::array<Text, 2> kBufferSize{"128K *", "0K"};
inline constexpr std::array<Text, 3> kEmulation{"ESC/PK *", "AR", "OKI"};
inline constexpr std::array<Text, 2> kMultiPart{"Normal *", "Copy"};
inline constexpr std::array<Text, 4> kAutoCrLf{"CR,LF+CR *", "CR,LF", "CR+LF,LF", "CR+LF,LF+CR"};
inline constexpr std::array<Text, 1> kReservation{"Reservation"};
inline constexpr std::array<Text, 7> kPageLength{"11inch *", "5.5inch",  "8.5inch", "11/3inch",
                                                 "11/4inch", "70/6inch", "8.25inch"};
inline constexpr std::array<Text, 2> kSkipPerf{"Invalid *", "Valid"};
inline constexpr std::array<Text, 2> kTearOff{"AUTO *", "Manual"};
inline constexpr std::array<Text, 3> kPinBroken{"Invalid *", "1-12pin", "13-24pin"};
inline constexpr std::array<Text, 2> kZeroStyle{"Normal *", "Slashed"};
inline constexpr std::array<Text, 2> kPlugAndPlay{"OFF *", "ON"};
inline constexpr std::array<Text, 5> kInterface{"Parallel", "Serial", "USB", "LAN", "Auto *"};
inline constexpr std::array<Text, 2> kStrobeTiming{"Fall Edge *", "Rise Edge"};
inline constexpr std::array<Text, 9> kFont{"Roman *", "Sans serif", "Courier", "Prestige", "Script",
                                           "OCR-B",   "OCR-A",      "Orator",  "Orator-S"};
inline constexpr std::array<Text, 3> kLineSpacing{"1/6inch *", "1/8inch", "2/15inch"};
inline constexpr std::array<Text, 8> kCharPitch{"10 CPI *", "12 CPI",       "15 CPI",   "17 CPI",
                                                "20 CPI",   "Proportional", "12.5 CPI", "13.3 CPI"};
inline constexpr std::array<Text, 4> kQuietMode{"Invalid *", "Valid", "", ""};
inline constexpr std::array<Text, 2> kDataLength{"8bit *", "7bit"};
inline constexpr std::array<Text, 2> kProtocol{"DTR", "Xon/Xoff *"};
inline constexpr std::array<Text, 3> kParity{"None *", "Odd", "Even"};
inline constexpr std::array<Text, 7> kBaudrate{"9600", "19200", "4800",   "2400",
                                               "1200", "600",   "38400 *"};
inline constexpr std::array<Text, 13> kCodePage{
    "CP437 *",  "Italic",     "CP850", "CP860",  "CP863",  "CP865", "CP858",
    "GREEK737", "TURKISH857", "CP864", "CP1098", "CP1250", "CP1256"};
inline constexpr std::array<Text, 16> kInterCharSet{
    "U.S.A *", "France", "Germany",   "U.K",     "Denmark",      "Sweden", "Italy",  "Spain",
    "Japan",   "Norway", "Denmark 2", "Spain 2", "Latin Americ", "Korea",  "Irelan", "Legal"};

constexpr TEdsSetting Row(int Number, Text Caption, std::span<const Text> Choices, int StartIndex,
                          bool Enabled = true) {
    return {Number, static_cast<std::uint8_t>(Number - 1), Caption, Choices, StartIndex, Enabled};
}

constexpr TEdsSetting Reserved(int Number, Text Caption) {
    return Row(Number, Caption, kReservation, 0, false);
}

inline constexpr std::array<TEdsSetting, EdsSettingCount> kTable{{
    Row(1, "1. Buffer Size    ", kBufferSize, 0),
    Row(2, "2. Emulation      ", kEmulation, 0),
    Row(3, "3. MultiPart       ", kMultiPart, 0),
    Row(4, "4. Auto CR/LF  ", kAutoCrLf, 0),
    Reserved(5, "5. Reservation  "),
    Row(6, "6. Page Length", kPageLength, 0),
    Row(7, "7. Skip Perf      ", kSkipPerf, 0),
    Row(8, "8. Tear Off       ", kTearOff, 0),
    Row(9, "9. Pin Broken   ", kPinBroken, 0),
    Reserved(10, "10. Reservation  "),
    Reserved(11, "11. Reservation  "),
    Row(12, "12. Zero Style     ", kZeroStyle, 0),
    Row(13, "13. Plug and Play  ", kPlugAndPlay, 0),
    Row(14, "14. Interface          ", kInterface, 4),
    Row(15, "15. Strobe Timing  ", kStrobeTiming, 0),
    Row(16, "16. Font                ", kFont, 0),
    Row(17, "17. Line Spacing  ", kLineSpacing, 0),
    Reserved(18, "18. Reservation    "),
    Row(19, "19. Char Pitch      ", kCharPitch, 0),
    Row(20, "20. Quiet Mode    ", kQuietMode, 0),
    Row(21, "21. Data Length  ", kDataLength, 0),
    Row(22, "22. Protocol         ", kProtocol, 1),
    Row(23, "23. Parity             ", kParity, 0),
    Row(24, "24. Baudrate       ", kBaudrate, 6),
    Row(25, "25. Code Page    ", kCodePage, 0),
    Row(26, "26. Inter Char Set", kInterCharSet, 0),
}};

}  // namespace catalogue_detail

// The rows in Number order.
inline constexpr const std::array<TEdsSetting, EdsSettingCount>& EdsSettings =
    catalogue_detail::kTable;

// The row of a setting, or nullptr when Number is not 1 to 26.
constexpr const TEdsSetting* FindEdsSetting(int Number) {
    if (Number < 1 || Number > EdsSettingCount)
        return nullptr;
    return &EdsSettings[static_cast<std::size_t>(Number - 1)];
}

}  // namespace eds
