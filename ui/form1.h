// The program's only window: the 26 settings as numbered buttons with their drop-down lists,
// and the status bar.
#pragma once

#include <array>
#include <functional>

#include <QWidget>

#include "eds_settings.h"

class QComboBox;
class QLabel;
class QPushButton;
class QStatusBar;

namespace eds {

// Sends one setting: SendSetting(Number, ChoiceIndex), raising on failure.
using TSendSetting = std::function<void(int Number, int ChoiceIndex)>;

class TForm1 : public QWidget {
  public:
    static constexpr int ClientWidth = 536;
    static constexpr int ClientHeight = 349;

    // The program passes eds::SendSetting, which writes to the first parallel port; tests bind
    // another destination.
    explicit TForm1(TSendSetting SendSetting);

    QStatusBar* StatusBar1() const { return StatusBar1_; }
    // Panel 1 (150 pixels, the title) or 2 (50 pixels, empty) of the status bar.
    QLabel* StatusPanel(int Number) const;
    QComboBox* ComboBox(int Number) const { return ComboBoxes_[Index(Number)]; }
    QPushButton* Button(int Number) const { return Buttons_[Index(Number)]; }

    // Selects every list's start-up choice; runs once, before the window is first shown.
    void FormCreate();
    // The click of button Number: sends that setting with its own list's current choice. An
    // error never leaves it: it goes to the application's handler, which shows it.
    void ButtonNClick(int Number);

  protected:
    void showEvent(QShowEvent* Event) override;

  private:
    static std::size_t Index(int Number) { return static_cast<std::size_t>(Number - 1); }
    void CreateStatusBar();
    void CreateComboBox(const TEdsSetting& Setting);
    void CreateButton(const TEdsSetting& Setting);
    void ChainTabOrder();
    void ApplyReadingOrder();
    void CentreOnDesktop();

    TSendSetting SendSetting_;
    bool Centred_ = false;
    QStatusBar* StatusBar1_ = nullptr;
    std::array<QComboBox*, EdsSettingCount> ComboBoxes_{};
    std::array<QPushButton*, EdsSettingCount> Buttons_{};
};

}  // namespace eds
