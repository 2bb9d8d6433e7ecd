// The application's start-up, its title and icon, and its one top-level error handler.
#pragma once

#include <exception>

#include <QIcon>
#include <QString>

#include "form1.h"

namespace eds {

// The program file's name without directory and extension, its first character as it is and
// every later one lower-cased: "C:/Tools/EDS-Setting.exe" gives "Eds-setting".
QString ApplicationTitle(const QString& ProgramFile);
// The running program's title: the caption of its error boxes.
QString ApplicationTitle();

// The text an error box shows for Message: a full stop is added when the message is not empty
// and its last character sorts after ".", so "File not found" reads "File not found.".
QString ErrorBoxText(const QString& Message);

// MAINICON: the red letters E, D and S, 32 x 32 in 16 colours.
QIcon MainIcon();

// The top-level handler every error of an event ends in: shows it in a modal box with the
// application title as caption, the error icon and one OK button, over Window (by default the
// active window), and returns after OK.
void HandleException(std::exception_ptr Error, QWidget* Window = nullptr);

// Starts the program: the application object, Form1 sending through SendSetting, the message
// loop. Returns the exit code once the window is closed.
int RunApplication(int& argc, char** argv, TSendSetting SendSetting);

}  // namespace eds
