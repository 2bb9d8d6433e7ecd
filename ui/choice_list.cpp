#include "choice_list.h"

#include <QAbstractItemView>
#include <QStyledItemDelegate>

namespace eds {

namespace {

constexpr int ItemHeight = 13;

// Every item of the list is 13 pixels high, whatever the style would make it.
class TItemHeightDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
        return {QStyledItemDelegate::sizeHint(Option, Index).width(), ItemHeight};
    }
};

}  // namespace

// The popup is made only when a list is first opened: making 26 of them at start would cost
// the start-up time and memory of 26 list views nobody may open.
void TChoiceList::showPopup() {
    if (!ItemHeightSet_) {
        view()->setItemDelegate(new TItemHeightDelegate(view()));
        ItemHeightSet_ = true;
    }
    QComboBox::showPopup();
}

}  // namespace eds
