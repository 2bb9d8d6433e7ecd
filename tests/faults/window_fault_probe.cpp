// The window over a real fault, for the fault matrix: the program's window with its sends going
// to DESTINATION instead of the first parallel port. Presses "24. Baudrate" twice with the mouse
// and prints what each press did, one line each: "sent", or "box ICON BUTTONS TEXT" for an error
// box, which it then answers with OK. A last line "usable" says the window came back visible and
// enabled, with no box left open and list 24 still at its start-up choice.
//   window_fault_probe DESTINATION     offscreen unless QT_QPA_PLATFORM says otherwise
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "form1.h"
#include "setting_sender.h"

namespace {

QString Describe(const QMessageBox& box) {
    const QString icon = box.icon() == QMessageBox::Critical ? "critical" : "other-icon";
    const QString buttons = box.standardButtons() == QMessageBox::Ok ? "ok" : "other-buttons";
    return "box " + icon + " " + buttons + " " + box.text();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        static_cast<void>(std::fputs("usage: window_fault_probe DESTINATION\n", stderr));
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QApplication application(argc, argv);
    const eds::TSettingSender sender(argv[1]);
    eds::TForm1 form(
        [&sender](int Number, int ChoiceIndex) { sender.SendSetting(Number, ChoiceIndex); });
    form.show();

    for (int press = 0; press < 2; ++press) {
        QString outcome = "sent";
        // Runs inside the box's own loop when a box opens, else right after the press.
        QTimer::singleShot(0, [&outcome] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                outcome = Describe(*box);
                if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                    QTest::mouseClick(ok, Qt::LeftButton);
                else
                    box->reject();
            }
        });
        QTest::mouseClick(form.Button(24), Qt::LeftButton);
        QApplication::processEvents();
        std::printf("%s\n", qPrintable(outcome));
    }
    if (form.isVisible() && form.isEnabled() && QApplication::activeModalWidget() == nullptr &&
        form.Button(24)->isEnabled() && form.ComboBox(24)->currentIndex() == 6)
        std::puts("usable");
    return 0;
}
