// A setting's drop-down list: pick-only, never sorted, every item 13 pixels high.
#pragma once

#include <QComboBox>

namespace eds {

class TChoiceList : public QComboBox {
  public:
    using QComboBox::QComboBox;

    void showPopup() override;

  private:
    bool ItemHeightSet_ = false;
};

}  // namespace eds
