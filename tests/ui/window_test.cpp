// The window on real Qt widgets: its layout, the sends its buttons make to a file standing in for
// the port, the error box, the keyboard and the reading order. The same binary runs on the
// offscreen platform, under a right-to-left locale and under a real X server.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

#include "application.h"
#include "caption_button.h"
#include "eds_command.h"
#include "form1.h"
#include "setting_sender.h"
#include "test_support.h"

namespace {

using eds::test::Bytes;
using eds::test::ReadBytes;
using eds::test::TempDir;
using eds::test::WriteBytes;

QString Command(int FunctionCode, int Value) {
    return QString::fromStdString(eds::FormatEdsCommand(eds::BuildEdsCommand(
        static_cast<std::uint8_t>(FunctionCode), static_cast<std::uint8_t>(Value))));
}

QString Hex(const Bytes& Data) {
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(Data.data()), static_cast<qsizetype>(Data.size()))
            .toHex(' ')
            .toUpper());
}

// What the port file holds before a case: a press overwrites it, no press leaves it.
const Bytes UntouchedBytes(20, 'x');
const QString Untouched = Hex(UntouchedBytes);

QString PortContents(const std::string& Port) {
    return Hex(ReadBytes(Port));
}

// A window whose sends go to a file (or whatever Destination names) instead of the printer.
struct TBoundWindow {
    TempDir Dir;
    std::string Port;
    eds::TSettingSender Sender;
    eds::TForm1 Form;

    explicit TBoundWindow(std::string Destination = {})
        : Port(Destination.empty() ? (Dir / "lpt1").string() : std::move(Destination)),
          Sender(Port),
          Form([this](int Number, int ChoiceIndex) { Sender.SendSetting(Number, ChoiceIndex); }) {}
};

struct TSeenBox {
    QString Title;
    QString Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons Buttons;
    bool ApplicationModal = false;
    QWidget* Parent = nullptr;
};

// Runs Press and answers the error box it opens with OK. A modal box runs its own loop, so
// the look at it is armed before the press.
std::optional<TSeenBox> PressAndAnswerBox(const std::function<void()>& Press) {
    std::optional<TSeenBox> Seen;
    auto Poll = std::make_shared<std::function<void(int)>>();
    *Poll = [&Seen, Poll](int TriesLeft) {
        auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (Box == nullptr) {
            if (TriesLeft > 0)
                QTimer::singleShot(10, [Poll, TriesLeft] {
                    if (*Poll)
                        (*Poll)(TriesLeft - 1);
                });
            return;
        }
        Seen = TSeenBox{Box->windowTitle(),
                        Box->text(),
                        Box->icon(),
                        Box->standardButtons(),
                        Box->windowModality() == Qt::ApplicationModal,
                        Box->parentWidget()};
        Box->button(QMessageBox::Ok)->click();
    };
    QTimer::singleShot(0, [Poll] { (*Poll)(20); });
    Press();
    if (!Seen)
        QTest::qWait(300);  // no box came: let the look run out before the next case
    *Poll = nullptr;
    return Seen;
}

enum class TPress { Mouse, Space, Return, Enter };

void Press(QPushButton* Button, TPress How) {
    switch (How) {
        case TPress::Mouse:
            QTest::mouseClick(Button, Qt::LeftButton);
            return;
        case TPress::Space:
            Button->setFocus(Qt::TabFocusReason);
            QTest::keyClick(Button, Qt::Key_Space);
            return;
        case TPress::Return:
            Button->setFocus(Qt::TabFocusReason);
            QTest::keyClick(Button, Qt::Key_Return);
            return;
        case TPress::Enter:
            Button->setFocus(Qt::TabFocusReason);
            QTest::keyClick(Button, Qt::Key_Enter, Qt::KeypadModifier);
            return;
    }
}

Qt::LayoutDirection ExpectedReadingOrder() {
    return qEnvironmentVariable("EDS_TEST_READING_ORDER") == QLatin1String("RightToLeft")
               ? Qt::RightToLeft
               : Qt::LeftToRight;
}

const int Reserved[] = {5, 10, 11, 18};

}  // namespace

Q_DECLARE_METATYPE(TPress)

class TForm1Test : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        // Guards the right-to-left run against a locale that did not take.
        QCOMPARE(QLocale::system().textDirection(), ExpectedReadingOrder());
    }

    void rows_data() {
        QTest::addColumn<int>("Number");
        QTest::addColumn<QRect>("ButtonGeometry");
        QTest::addColumn<QRect>("ComboBoxGeometry");
        QTest::addColumn<QString>("StartText");
        QTest::addColumn<bool>("Enabled");
        struct TRow {
            int Number, ButtonLeft, Top, ComboBoxLeft;
            const char* StartText;
            bool Enabled;
        };
        const TRow Rows[] = {
            {1, 8, 8, 112, "128K *", true},          {2, 8, 32, 112, "ESC/PK *", true},
            {3, 8, 56, 112, "Normal *", true},       {4, 8, 80, 112, "CR,LF+CR *", true},
            {5, 8, 104, 112, "Reservation", false},  {6, 8, 128, 112, "11inch *", true},
            {7, 8, 152, 112, "Invalid *", true},     {8, 8, 176, 112, "AUTO *", true},
            {9, 8, 200, 112, "Invalid *", true},     {10, 8, 224, 112, "Reservation", false},
            {11, 8, 248, 112, "Reservation", false}, {12, 8, 272, 112, "Normal *", true},
            {13, 8, 296, 112, "OFF *", true},        {14, 280, 8, 384, "Auto *", true},
            {15, 280, 32, 384, "Fall Edge *", true}, {16, 280, 56, 384, "Roman *", true},
            {17, 280, 80, 384, "1/6inch *", true},   {18, 280, 104, 384, "Reservation", false},
            {19, 280, 128, 384, "10 CPI *", true},   {20, 280, 152, 384, "Invalid *", true},
            {21, 280, 176, 384, "8bit *", true},     {22, 280, 200, 384, "Xon/Xoff *", true},
            {23, 280, 224, 384, "None *", true},     {24, 280, 248, 384, "38400 *", true},
            {25, 280, 272, 384, "CP437 *", true},    {26, 280, 296, 384, "U.S.A *", true},
        };
        for (const TRow& Row : Rows)
            QTest::addRow("setting %d", Row.Number)
                << Row.Number << QRect(Row.ButtonLeft, Row.Top, 100, 25)
                << QRect(Row.ComboBoxLeft, Row.Top, 145, 21) << QString(Row.StartText)
                << Row.Enabled;
    }

    void rows() {
        QFETCH(int, Number);
        QFETCH(QRect, ButtonGeometry);
        QFETCH(QRect, ComboBoxGeometry);
        QFETCH(QString, StartText);
        QFETCH(bool, Enabled);
        TBoundWindow Window;
        const eds::TEdsSetting& Setting = *eds::FindEdsSetting(Number);

        auto* Button = Window.Form.findChild<QPushButton*>(QStringLiteral("Button%1").arg(Number));
        QVERIFY(Button != nullptr);
        QCOMPARE(Button->geometry(), ButtonGeometry);
        QCOMPARE(Button->text().toStdString(), std::string(Setting.Caption));
        QCOMPARE(Button->isEnabled(), Enabled);
        QCOMPARE(Button->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(Button->shortcut().isEmpty());
        QVERIFY(!Button->isDefault());
        QVERIFY(Button->toolTip().isEmpty());
        QVERIFY(Button->statusTip().isEmpty());

        auto* List = Window.Form.findChild<QComboBox*>(QStringLiteral("ComboBox%1").arg(Number));
        QVERIFY(List != nullptr);
        QCOMPARE(List->geometry(), ComboBoxGeometry);
        QCOMPARE(List->currentText(), StartText);
        QCOMPARE(List->currentIndex(), Setting.StartIndex);
        QCOMPARE(List->isEnabled(), Enabled);
        QVERIFY(!List->isEditable());
        QCOMPARE(List->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(List->toolTip().isEmpty());
        QCOMPARE(static_cast<std::size_t>(List->count()), Setting.ChoiceCount());
        for (int Position = 0; Position < List->count(); ++Position)
            QCOMPARE(List->itemText(Position).toStdString(),
                     std::string(Setting.Choice(static_cast<std::size_t>(Position))));
        if (Enabled) {
            Window.Form.show();
            List->showPopup();
            QVERIFY(List->view()->isVisible());
            for (int Position = 0; Position < List->count(); ++Position)
                QCOMPARE(List->view()->sizeHintForRow(Position), 13);
            List->hidePopup();
        }
    }

    void window() {
        TBoundWindow Window;
        eds::TForm1& Form = Window.Form;
        QCOMPARE(Form.objectName(), QStringLiteral("Form1"));
        QCOMPARE(Form.windowTitle(), QStringLiteral("Quorim EDS Setting V1.2"));
        QCOMPARE(Form.size(), QSize(536, 349));
        QCOMPARE(Form.minimumSize(), QSize(536, 349));
        QCOMPARE(Form.maximumSize(), QSize(536, 349));
        const Qt::WindowFlags Flags = Form.windowFlags();
        QVERIFY(Flags.testFlag(Qt::WindowSystemMenuHint));
        QVERIFY(Flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(Flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!Flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(Form.backgroundRole(), QPalette::Button);
        QVERIFY(Form.autoFillBackground());
        QCOMPARE(Form.font().families().value(0), QStringLiteral("MS Sans Serif"));
        QCOMPARE(Form.font().pixelSize(), 11);
        QCOMPARE(Form.findChild<QPushButton*>(QStringLiteral("Button1"))->font().pixelSize(), 11);
        QCOMPARE(Form.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->font().pixelSize(), 11);
        QVERIFY(Form.windowIcon().availableSizes().contains(QSize(32, 32)));

        Form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Form));
        const QRect Desktop = Form.screen()->geometry();
        QCOMPARE(Form.frameGeometry().center(), Desktop.center());
    }

    void mainIcon() {
        const QImage Icon = eds::MainIcon().pixmap(32, 32).toImage();
        QCOMPARE(Icon.size(), QSize(32, 32));
        int Red = 0;
        for (int Y = 0; Y < 32; ++Y)
            for (int X = 0; X < 32; ++X) {
                const QRgb Pixel = Icon.pixel(X, Y);
                if (qAlpha(Pixel) == 0)
                    continue;
                QCOMPARE(Pixel, qRgba(255, 0, 0, 255));
                ++Red;
            }
        QVERIFY2(Red > 100 && Red < 32 * 32 / 2, qPrintable(QString::number(Red)));
    }

    void statusBar() {
        TBoundWindow Window;
        QStatusBar* Bar = Window.Form.StatusBar1();
        QCOMPARE(Bar->objectName(), QStringLiteral("StatusBar1"));
        QCOMPARE(Bar->geometry(), QRect(0, 330, 536, 19));
        QCOMPARE(Bar->focusPolicy(), Qt::NoFocus);
        QCOMPARE(Bar->layoutDirection(), Qt::LeftToRight);
        QCOMPARE(QFontInfo(Bar->font()).family(),
                 QFontInfo(QApplication::font("QStatusBar")).family());
        QCOMPARE(Bar->font().pointSizeF(), QApplication::font("QStatusBar").pointSizeF());
        struct TPanel {
            QRect Geometry;
            const char* Text;
            Qt::Alignment Alignment;
        };
        const TPanel Panels[] = {
            {QRect(0, 0, 150, 19), "Quorim EDS Setting V1.2", Qt::AlignCenter},
            {QRect(150, 0, 50, 19), "", Qt::AlignLeft | Qt::AlignVCenter},
        };
        int Number = 1;
        for (const TPanel& Expected : Panels) {
            QLabel* Panel = Window.Form.StatusPanel(Number++);
            QVERIFY(Panel != nullptr);
            QCOMPARE(Panel->geometry(), Expected.Geometry);
            QCOMPARE(Panel->text(), QString(Expected.Text));
            QCOMPARE(Panel->alignment(), Expected.Alignment);
            QCOMPARE(Panel->layoutDirection(), Qt::LeftToRight);
        }
    }

    void tabChain() {
        TBoundWindow Window;
        QStringList Expected;
        for (const char* Kind : {"ComboBox", "Button"})
            for (const eds::TEdsSetting& Setting : eds::EdsSettings)
                if (Setting.Enabled)
                    Expected << QStringLiteral("%1%2").arg(Kind).arg(Setting.Number);

        QStringList Chain;
        QWidget* First = Window.Form.ComboBox(1);
        QWidget* Widget = First;
        do {
            if (Widget->isEnabled() && (Widget->focusPolicy() & Qt::TabFocus))
                Chain << Widget->objectName();
            Widget = Widget->nextInFocusChain();
        } while (Widget != First);
        QCOMPARE(Chain, Expected);
    }

    void tabKey_data() {
        QTest::addColumn<QString>("From");
        QTest::addColumn<QString>("To");
        QTest::newRow("list 4 skips reserved list 5") << "ComboBox4"
                                                      << "ComboBox6";
        QTest::newRow("list 26 goes on to button 1") << "ComboBox26"
                                                     << "Button1";
        QTest::newRow("button 17 skips reserved button 18") << "Button17"
                                                            << "Button19";
        QTest::newRow("button 26 wraps to list 1") << "Button26"
                                                   << "ComboBox1";
    }

    void tabKey() {
        QFETCH(QString, From);
        QFETCH(QString, To);
        TBoundWindow Window;
        Window.Form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Window.Form));
        Window.Form.activateWindow();  // with no window manager nobody else does
        QVERIFY(QTest::qWaitForWindowActive(&Window.Form));
        auto* Start = Window.Form.findChild<QWidget*>(From);
        Start->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), Start);
        QTest::keyClick(Start, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), To);
    }

    void pressSends_data() {
        QTest::addColumn<int>("Number");
        QTest::addColumn<int>("ChoiceDowns");  // Down keys pressed on the list first; -1: End
        QTest::addColumn<TPress>("How");
        QTest::addColumn<QString>("Sent");
        QTest::newRow("24 right after start, mouse")
            << 24 << 0 << TPress::Mouse << QStringLiteral("1B 7C 00 1E 00 48 B7 24 31 17 06 1B 40");
        QTest::newRow("24 by Space") << 24 << 0 << TPress::Space << Command(23, 6);
        QTest::newRow("24 by Return") << 24 << 0 << TPress::Return << Command(23, 6);
        QTest::newRow("24 by keypad Enter") << 24 << 0 << TPress::Enter << Command(23, 6);
        QTest::newRow("1 at its first choice") << 1 << 0 << TPress::Mouse << Command(0, 0);
        QTest::newRow("21 at 7bit") << 21 << 1 << TPress::Mouse << Command(20, 1);
        QTest::newRow("20 at its first empty choice") << 20 << 2 << TPress::Mouse << Command(19, 2);
        QTest::newRow("20 at its second empty choice")
            << 20 << 3 << TPress::Mouse << Command(19, 3);
        QTest::newRow("26 at Legal, the last") << 26 << -1 << TPress::Mouse << Command(25, 15);
    }

    void pressSends() {
        QFETCH(int, Number);
        QFETCH(int, ChoiceDowns);
        QFETCH(TPress, How);
        QFETCH(QString, Sent);
        TBoundWindow Window;
        Window.Form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Window.Form));
        WriteBytes(Window.Port, UntouchedBytes);

        QComboBox* List = Window.Form.ComboBox(Number);
        if (ChoiceDowns < 0)
            QTest::keyClick(List, Qt::Key_End);
        for (int Down = 0; Down < ChoiceDowns; ++Down)
            QTest::keyClick(List, Qt::Key_Down);
        QCOMPARE(PortContents(Window.Port), Untouched);  // picking a choice sends nothing

        Press(Window.Form.Button(Number), How);
        QCOMPARE(PortContents(Window.Port), Sent);
    }

    void samePressTwiceSendsTwice() {
        TBoundWindow Window;
        for (int Round = 0; Round < 2; ++Round) {
            WriteBytes(Window.Port, UntouchedBytes);
            QTest::mouseClick(Window.Form.Button(24), Qt::LeftButton);
            QCOMPARE(PortContents(Window.Port), Command(23, 6));
        }
    }

    void choicesWithoutPressSendNothing() {
        TBoundWindow Window;
        WriteBytes(Window.Port, UntouchedBytes);
        for (const eds::TEdsSetting& Setting : eds::EdsSettings) {
            QComboBox* List = Window.Form.ComboBox(Setting.Number);
            QTest::keyClick(List, Qt::Key_End);
            QTest::keyClick(List, Qt::Key_Home);
            QTest::keyClick(List, Qt::Key_Down);
        }
        QCOMPARE(Window.Form.ComboBox(24)->currentIndex(), 1);
        QCOMPARE(PortContents(Window.Port), Untouched);
    }

    void reservedSettingsCannotBeUsed() {
        TBoundWindow Window;
        Window.Form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Window.Form));
        WriteBytes(Window.Port, UntouchedBytes);
        for (const int Number : Reserved) {
            QTest::mouseClick(Window.Form.Button(Number), Qt::LeftButton);
            QTest::keyClick(Window.Form.ComboBox(Number), Qt::Key_Down);
            QCOMPARE(Window.Form.ComboBox(Number)->count(), 1);
            QCOMPARE(Window.Form.ComboBox(Number)->currentText(), QStringLiteral("Reservation"));
        }
        QCOMPARE(PortContents(Window.Port), Untouched);
    }

    void errorBox_data() {
        QTest::addColumn<QString>("Destination");
        QTest::addColumn<QString>("Text");
        QTest::newRow("no port") << "/nonexistent-eds-dir/lpt1"
                                 << "File not found.";
        QTest::newRow("a directory") << "/"
                                     << "File access denied.";
        QTest::newRow("a full device") << "/dev/full"
                                       << "I/O error 112.";
    }

    void errorBox() {
        QFETCH(QString, Destination);
        QFETCH(QString, Text);
        TBoundWindow Window(Destination.toStdString());
        Window.Form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Window.Form));
        QTest::keyClick(Window.Form.ComboBox(3), Qt::Key_Down);
        QTest::keyClick(Window.Form.ComboBox(24), Qt::Key_Home);
        QList<int> Selections;
        for (const eds::TEdsSetting& Setting : eds::EdsSettings)
            Selections << Window.Form.ComboBox(Setting.Number)->currentIndex();

        for (int Round = 0; Round < 2; ++Round) {  // the window goes on working after OK
            const std::optional<TSeenBox> Box = PressAndAnswerBox(
                [&] { QTest::mouseClick(Window.Form.Button(24), Qt::LeftButton); });
            QVERIFY(Box.has_value());
            QCOMPARE(Box->Title, eds::ApplicationTitle());
            QCOMPARE(Box->Text, Text);
            QCOMPARE(Box->Icon, QMessageBox::Critical);
            QCOMPARE(Box->Buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
            QVERIFY(Box->ApplicationModal);
        }
        QVERIFY(Window.Form.isVisible());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        for (const eds::TEdsSetting& Setting : eds::EdsSettings)
            QCOMPARE(Window.Form.ComboBox(Setting.Number)->currentIndex(),
                     Selections[Setting.Number - 1]);
    }

    void everyEnabledButtonShowsTheError() {
        TBoundWindow Window("/nonexistent-eds-dir/lpt1");
        Window.Form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Window.Form));
        for (const eds::TEdsSetting& Setting : eds::EdsSettings) {
            if (!Setting.Enabled)
                continue;
            const std::optional<TSeenBox> Box = PressAndAnswerBox(
                [&] { QTest::mouseClick(Window.Form.Button(Setting.Number), Qt::LeftButton); });
            QVERIFY2(Box.has_value(), Setting.Caption.data());
            QCOMPARE(Box->Text, QStringLiteral("File not found."));
            QCOMPARE(Box->Parent, &Window.Form);
        }
    }

    // Errors other than the port's must not leave the click either: Qt would abort.
    void otherErrorsAreShown_data() {
        QTest::addColumn<int>("Kind");
        QTest::addColumn<QString>("Text");
        QTest::newRow("standard exception, shown as plain text") << 0 << "Printer <b>busy</b>.";
        QTest::newRow("anything else thrown") << 1 << "Unexpected error.";
    }

    void otherErrorsAreShown() {
        QFETCH(int, Kind);
        QFETCH(QString, Text);
        eds::TForm1 Form([Kind](int, int) {
            if (Kind == 0)
                throw std::runtime_error("Printer <b>busy</b>");
            throw 42;
        });
        Form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Form));
        const std::optional<TSeenBox> Box =
            PressAndAnswerBox([&] { QTest::mouseClick(Form.Button(1), Qt::LeftButton); });
        QVERIFY(Box.has_value());
        QCOMPARE(Box->Text, Text);
    }

    void readingOrder() {
        const Qt::LayoutDirection Expected = ExpectedReadingOrder();
        TBoundWindow Window;
        QCOMPARE(Window.Form.layoutDirection(), Expected);
        for (const eds::TEdsSetting& Setting : eds::EdsSettings) {
            QComboBox* List = Window.Form.ComboBox(Setting.Number);
            QCOMPARE(List->layoutDirection(), Expected);
            QCOMPARE(Window.Form.Button(Setting.Number)->layoutDirection(), Expected);
            QStyleOptionComboBox Option;
            Option.initFrom(List);
            const QRect Arrow = List->style()->subControlRect(QStyle::CC_ComboBox, &Option,
                                                              QStyle::SC_ComboBoxArrow, List);
            QCOMPARE(Arrow.center().x() < List->width() / 2, Expected == Qt::RightToLeft);
        }
        QCOMPARE(Window.Form.StatusBar1()->layoutDirection(), Qt::LeftToRight);
        QCOMPARE(QApplication::layoutDirection(), Qt::LeftToRight);
    }

    void applicationTitle_data() {
        QTest::addColumn<QString>("ProgramFile");
        QTest::addColumn<QString>("Title");
        QTest::newRow("installed on Linux") << "/usr/bin/eds-setting"
                                            << "eds-setting";
        QTest::newRow("Windows exe") << "C:/Tools/EDS-Setting.exe"
                                     << "Eds-setting";
        QTest::newRow("only the last extension goes") << "/opt/My.Tool.bin"
                                                      << "My.tool";
        QTest::newRow("one letter") << "/bin/E"
                                    << "E";
        QTest::newRow("accented letters")
            << QString::fromUtf8("/x/ÉDS-ÉTAT") << QString::fromUtf8("Éds-état");
    }

    void applicationTitle() {
        QFETCH(QString, ProgramFile);
        QFETCH(QString, Title);
        QCOMPARE(eds::ApplicationTitle(ProgramFile), Title);
    }

    void runningTitleIsThisProgramsName() {
        QCOMPARE(eds::ApplicationTitle(), QStringLiteral("window_test"));
    }

    void errorBoxText_data() {
        QTest::addColumn<QString>("Message");
        QTest::addColumn<QString>("Text");
        QTest::newRow("letter") << "File not found"
                                << "File not found.";
        QTest::newRow("digit") << "I/O error 112"
                               << "I/O error 112.";
        QTest::newRow("slash sorts after the stop") << "a/"
                                                    << "a/.";
        QTest::newRow("already a stop") << "Done."
                                        << "Done.";
        QTest::newRow("hyphen sorts before the stop") << "a-"
                                                      << "a-";
        QTest::newRow("exclamation mark") << "Stop!"
                                          << "Stop!";
        QTest::newRow("blank") << "Ends in a blank "
                               << "Ends in a blank ";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("letter beyond ASCII")
            << QString::fromUtf8("Fehlerhaft: ä") << QString::fromUtf8("Fehlerhaft: ä.");
    }

    void errorBoxText() {
        QFETCH(QString, Message);
        QFETCH(QString, Text);
        QCOMPARE(eds::ErrorBoxText(Message), Text);
    }

    void fitCaption_data() {
        QTest::addColumn<QString>("Caption");
        QTest::addColumn<int>("Width");  // in widths of "M"; -1: exactly the trimmed text
        QTest::addColumn<QString>("Shown");
        QTest::newRow("fits with its blanks") << "16. Font        " << 100 << "16. Font        ";
        QTest::newRow("too wide: blanks dropped") << "16. Font        " << -1 << "16. Font";
        QTest::newRow("too wide, no blanks: unchanged")
            << "26. Inter Char Set" << 1 << "26. Inter Char Set";
        QTest::newRow("too wide even without blanks") << "14. Interface  " << 1 << "14. Interface";
    }

    void fitCaption() {
        QFETCH(QString, Caption);
        QFETCH(int, Width);
        QFETCH(QString, Shown);
        const QFontMetrics Metrics(eds::TForm1([](int, int) {}).font());
        const int Pixels = Width < 0 ? Metrics.horizontalAdvance(Shown)
                                     : Width * Metrics.horizontalAdvance(QLatin1Char('M'));
        QCOMPARE(eds::FitCaption(Caption, Metrics, Pixels), Shown);
    }
};

QTEST_MAIN(TForm1Test)
#include "window_test.moc"
