// Program entry: the application object, the main window, the message loop.
#include "app/Unit1.h"
#include "ui/Application.h"

#include <windows.h>
#include <commctrl.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    try {
        ui::TheApplication.Initialize(instance);
        TForm1 Form1;
        ui::TheApplication.Run(Form1);
    } catch (...) {
        ui::TheApplication.HandleException();
        return 1;
    }
    return 0;
}
