// Drives one report run of the program on a display nobody looks at: types the make and model, clicks
// Run, waits for the finished state, prints the report as the clipboard received it and saves a
// screenshot of the finished window.
//
//   tavro_drive.exe PROGRAM SCREENSHOT.bmp [MAKE [MODEL]]
#include "window/Driver.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: tavro_drive PROGRAM SCREENSHOT.bmp [MAKE [MODEL]]\n");
        return 2;
    }
    try {
        driver::Program program(driver::WinePath(argv[1]));
        const std::string make = argc > 3 ? argv[3] : "Example Make";
        const std::string model = argc > 4 ? argv[4] : "Example Model";
        program.RunReport(make, model);
        const std::string report = driver::ClipboardText();
        std::fwrite(report.data(), 1, report.size(), stdout);
        std::fflush(stdout);
        const bool saved = driver::SaveScreenshot(program.Form(), driver::WinePath(argv[2]));
        program.Close();
        program.WaitExit(20000);
        return saved ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavro_drive: %s\n", e.what());
        return 1;
    }
}
