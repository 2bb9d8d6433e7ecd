#include "application.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "mainicon.xpm"

namespace eds {

namespace {

// Qt's own handler, which the start-up handler passes every message on to.
QtMessageHandler& QtMessageOutput() {
    static QtMessageHandler Output = nullptr;
    return Output;
}

// Qt aborts, dumping core, when it cannot open the window system (no display, no platform
// plugin): a setup problem, not a crash. Until the window system is up such a fatal message
// ends the program with status 1 and says what to do instead.
void StartUpMessageHandler(QtMsgType Type, const QMessageLogContext& Context,
                           const QString& Message) {
    QtMessageOutput()(Type, Context, Message);
    if (Type == QtFatalMsg) {
        static_cast<void>(std::fputs(
            "eds-setting: cannot open the window (see above). Start it in a desktop session "
            "(DISPLAY or WAYLAND_DISPLAY set), or send settings with edsctl.\n",
            stderr));
        std::_Exit(EXIT_FAILURE);
    }
}

}  // namespace

QString ApplicationTitle(const QString& ProgramFile) {
    const QString Name = QFileInfo(ProgramFile).completeBaseName();
    return Name.left(1) + Name.mid(1).toLower();
}

QString ApplicationTitle() {
    return ApplicationTitle(QCoreApplication::applicationFilePath());
}

QString ErrorBoxText(const QString& Message) {
    if (!Message.isEmpty() && Message.back() > QLatin1Char('.'))
        return Message + QLatin1Char('.');
    return Message;
}

QIcon MainIcon() {
    return {QPixmap(mainicon_xpm)};
}

void HandleException(std::exception_ptr Error, QWidget* Window) {
    QString Message;
    try {
        std::rethrow_exception(std::move(Error));
    } catch (const std::exception& Caught) {
        Message = QString::fromLocal8Bit(Caught.what());
    } catch (...) {
        Message = QStringLiteral("Unexpected error");
    }
    QMessageBox Box(QMessageBox::Critical, ApplicationTitle(), ErrorBoxText(Message),
                    QMessageBox::Ok, Window ? Window : QApplication::activeWindow());
    Box.setTextFormat(Qt::PlainText);
    Box.exec();
}

int RunApplication(int& argc, char** argv, TSendSetting SendSetting) {
    QtMessageOutput() = qInstallMessageHandler(StartUpMessageHandler);
    QApplication Application(argc, argv);
    qInstallMessageHandler(QtMessageOutput());
    QApplication::setWindowIcon(MainIcon());
    // Lets Wayland compositors match the window with the installed desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.edssetting.EdsSetting"));
    TForm1 Form1(std::move(SendSetting));
    Form1.show();
    return QApplication::exec();
}

}  // namespace eds
