// Sends one setting to the printer: one 13-byte command in one open, one write and one close.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "io_error.h"
#include "printer_port.h"

namespace eds {

// The first parallel port, as Windows names it.
inline constexpr char PrinterDeviceName[] = "Lpt1";

using TPortFactory = std::function<std::unique_ptr<TPrinterPort>()>;

// A sender bound to one destination. The program's is bound to the first parallel port; tests
// and the command line bind one to a file, a FIFO or another device.
class TSettingSender {
  public:
    TSettingSender();
    explicit TSettingSender(std::string Destination, TPortFactory MakePort = MakeSystemPort);

    // Sends BuildEdsCommand(Number - 1, ChoiceIndex). Any number and position are encoded and
    // sent, as their low 8 bits; checking them against the catalogue is the caller's business.
    // Raises EInOutError when a step fails.
    void SendSetting(int Number, int ChoiceIndex) const;

    // Writes the first Count of Bytes in one open, one write and one close, releasing the device
    // on every path. Raises EInOutError with the code of the first step that failed (101 when
    // the device accepted fewer bytes than asked), std::invalid_argument when Count is larger
    // than Bytes.
    void SendToPrinter(std::span<const std::uint8_t> Bytes, std::size_t Count) const;

    const std::string& Destination() const { return Destination_; }

  private:
    std::string Destination_;
    TPortFactory MakePort_;
};

// The program's sends, to the first parallel port.
void SendSetting(int Number, int ChoiceIndex);
void SendToPrinter(std::span<const std::uint8_t> Bytes, std::size_t Count);

}  // namespace eds
