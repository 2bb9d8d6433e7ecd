// eds-setting: the window that sets the printer's EDS settings through the first parallel port.
#include "application.h"
#include "setting_sender.h"

int main(int argc, char** argv) {
    return eds::RunApplication(argc, argv, eds::SendSetting);
}
