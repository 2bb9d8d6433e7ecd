#include "form1.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>

#include "application.h"
#include "caption_button.h"
#include "choice_list.h"

namespace eds {

namespace {

const QString WindowCaption = QStringLiteral("Quorim EDS Setting V1.2");

// The layout, in device-independent pixels (96 per inch); Qt scales it as a whole elsewhere.
constexpr int RowsPerColumn = 13;
constexpr int ColumnPitch = 272;
constexpr int RowPitch = 24;  // buttons are 25 high, so each overlaps the next by one pixel
constexpr int ButtonLeft = 8, ButtonWidth = 100, ButtonHeight = 25;
constexpr int ComboBoxLeft = 112, ComboBoxWidth = 145, ComboBoxHeight = 21;
constexpr int StatusBarHeight = 19;
constexpr int StatusPanelWidths[] = {150, 50};

QString Latin1(std::string_view Text) {
    return QString::fromLatin1(Text.data(), static_cast<qsizetype>(Text.size()));
}

// 8 point MS Sans Serif, 11 pixels high at 96 dpi; where it is missing, the sans-serif faces
// closest to it in width, then whatever the system calls sans-serif.
QFont WindowFont() {
    QFont Font;
    Font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("Arial"), QStringLiteral("Helvetica")});
    Font.setStyleHint(QFont::SansSerif);
    Font.setPixelSize(11);
    Font.setWeight(QFont::Normal);
    Font.setStyle(QFont::StyleNormal);
    return Font;
}

struct TRowPlace {
    int Left;  // the column's offset
    int Top;
};

TRowPlace RowPlace(int Number) {
    const int Column = Number <= RowsPerColumn ? 0 : 1;
    const int Row = Number - 1 - RowsPerColumn * Column;
    return {ColumnPitch * Column, 8 + RowPitch * Row};
}

}  // namespace

TForm1::TForm1(TSendSetting SendSetting)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      SendSetting_(std::move(SendSetting)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(WindowCaption);
    setWindowIcon(MainIcon());
    setFixedSize(ClientWidth, ClientHeight);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    setFont(WindowFont());

    // Created in this order, so each button lies over the bottom pixel row of the one above it.
    CreateStatusBar();
    for (const TEdsSetting& Setting : EdsSettings)
        CreateComboBox(Setting);
    for (const TEdsSetting& Setting : EdsSettings)
        CreateButton(Setting);
    ChainTabOrder();
    ApplyReadingOrder();

    CentreOnDesktop();
    FormCreate();
}

// Centres the frame once its size is known, at the first show; until then the client area.
void TForm1::CentreOnDesktop() {
    const QRect Desktop = screen()->geometry();
    const QSize Frame = frameGeometry().size();
    move(Desktop.x() + (Desktop.width() - Frame.width()) / 2,
         Desktop.y() + (Desktop.height() - Frame.height()) / 2);
}

void TForm1::showEvent(QShowEvent* Event) {
    if (!Centred_) {
        Centred_ = true;
        CentreOnDesktop();
    }
    QWidget::showEvent(Event);
}

void TForm1::CreateStatusBar() {
    StatusBar1_ = new QStatusBar(this);
    StatusBar1_->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1_->setSizeGripEnabled(false);
    StatusBar1_->setFont(QApplication::font("QStatusBar"));
    StatusBar1_->setGeometry(0, ClientHeight - StatusBarHeight, ClientWidth, StatusBarHeight);
    int Left = 0;
    int PanelNumber = 1;
    for (const int Width : StatusPanelWidths) {
        auto* Panel = new QLabel(StatusBar1_);
        Panel->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(PanelNumber++));
        Panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        Panel->setGeometry(Left, 0, Width, StatusBarHeight);
        Left += Width;
    }
    auto* TitlePanel = StatusPanel(1);
    TitlePanel->setText(WindowCaption);
    TitlePanel->setAlignment(Qt::AlignCenter);
}

QLabel* TForm1::StatusPanel(int Number) const {
    return StatusBar1_->findChild<QLabel*>(QStringLiteral("StatusBar1Panel%1").arg(Number),
                                           Qt::FindDirectChildrenOnly);
}

void TForm1::CreateComboBox(const TEdsSetting& Setting) {
    const TRowPlace Place = RowPlace(Setting.Number);
    auto* List = new TChoiceList(this);
    List->setObjectName(QStringLiteral("ComboBox%1").arg(Setting.Number));
    List->setGeometry(Place.Left + ComboBoxLeft, Place.Top, ComboBoxWidth, ComboBoxHeight);
    QStringList Choices;
    Choices.reserve(static_cast<qsizetype>(Setting.ChoiceCount()));
    for (const std::string_view Choice : Setting.Choices)
        Choices << Latin1(Choice);
    List->addItems(Choices);
    List->setCursor(Qt::PointingHandCursor);
    List->setEnabled(Setting.Enabled);
    ComboBoxes_[Index(Setting.Number)] = List;
}

void TForm1::CreateButton(const TEdsSetting& Setting) {
    const TRowPlace Place = RowPlace(Setting.Number);
    auto* Button = new TCaptionButton(Latin1(Setting.Caption), this);
    Button->setObjectName(QStringLiteral("Button%1").arg(Setting.Number));
    Button->setGeometry(Place.Left + ButtonLeft, Place.Top, ButtonWidth, ButtonHeight);
    Button->setCursor(Qt::PointingHandCursor);
    // Outside a dialog Qt clicks a focused button on Enter only when it is auto-default.
    Button->setAutoDefault(true);
    Button->setEnabled(Setting.Enabled);
    const int Number = Setting.Number;
    connect(Button, &QPushButton::clicked, this, [this, Number] { ButtonNClick(Number); });
    Buttons_[Index(Setting.Number)] = Button;
}

// Tab visits the lists 1 to 26 and then the buttons 1 to 26; Qt skips the disabled ones.
void TForm1::ChainTabOrder() {
    QWidget* Previous = nullptr;
    auto Chain = [&Previous](QWidget* Next) {
        if (Previous)
            setTabOrder(Previous, Next);
        Previous = Next;
    };
    for (QComboBox* List : ComboBoxes_)
        Chain(List);
    for (QPushButton* Button : Buttons_)
        Chain(Button);
}

// Under a right-to-left locale the window, its lists and its buttons read right to left; the
// positions stay, since nothing here is placed by a layout. The status bar always reads left to
// right.
void TForm1::ApplyReadingOrder() {
    if (QLocale::system().textDirection() == Qt::RightToLeft)
        setLayoutDirection(Qt::RightToLeft);
    StatusBar1_->setLayoutDirection(Qt::LeftToRight);
}

void TForm1::FormCreate() {
    for (const TEdsSetting& Setting : EdsSettings)
        ComboBox(Setting.Number)->setCurrentIndex(Setting.StartIndex);
}

void TForm1::ButtonNClick(int Number) {
    try {
        SendSetting_(Number, ComboBox(Number)->currentIndex());
    } catch (...) {
        HandleException(std::current_exception(), this);
    }
}

}  // namespace eds
