#include "setting_sender.h"

#include <stdexcept>
#include <utility>
#include <vector>

#include "eds_command.h"

namespace eds {

TSettingSender::TSettingSender() : TSettingSender(PrinterDeviceName) {}

TSettingSender::TSettingSender(std::string Destination, TPortFactory MakePort)
    : Destination_(std::move(Destination)), MakePort_(std::move(MakePort)) {}

void TSettingSender::SendSetting(int Number, int ChoiceIndex) const {
    // Unsigned, so that Number - 1 wraps for the smallest int instead of overflowing.
    const TEdsCommand command =
        BuildEdsCommand(static_cast<std::uint8_t>(static_cast<unsigned>(Number) - 1U),
                        static_cast<std::uint8_t>(ChoiceIndex));
    SendToPrinter(command, command.size());
}

void TSettingSender::SendToPrinter(std::span<const std::uint8_t> Bytes, std::size_t Count) const {
    if (Count > Bytes.size())
        throw std::invalid_argument("more bytes to send than were given");
    const std::vector<std::uint8_t> copy(Bytes.begin(), Bytes.begin() + static_cast<long>(Count));

    const std::unique_ptr<TPrinterPort> port = MakePort_();
    if (const TPortCode code = port->Open(Destination_))
        throw EInOutError(code);

    const TPortWrite written = port->Write(copy);
    TPortCode code = written.Code;
    if (code == 0 && written.Accepted < Count)
        code = IoShortWrite;

    const TPortCode closeCode = port->Close();
    if (code != 0)
        throw EInOutError(code);
    if (closeCode != 0)
        throw EInOutError(closeCode);
}

void SendSetting(int Number, int ChoiceIndex) {
    TSettingSender().SendSetting(Number, ChoiceIndex);
}

void SendToPrinter(std::span<const std::uint8_t> Bytes, std::size_t Count) {
    TSettingSender().SendToPrinter(Bytes, Count);
}

}  // namespace eds
