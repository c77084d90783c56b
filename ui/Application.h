// The application object: title, icon, message loop and the one place where an error that leaves an
// event handler stops.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class Form;

// "C:\dir\PROJECT1.EXE" gives "Project1": the file name cut at its first full stop, every character after
// the first in lower case.
std::string TitleFromExeName(const std::string& path);

// The error box's text: a full stop is added when the message's last character has a higher code than
// the full stop itself; an empty message stays empty.
std::string ErrorBoxText(const std::string& message);

class Application {
public:
    Application() = default;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    ~Application();

    // Creates the hidden application window that carries the title and the icon.
    void Initialize(HINSTANCE instance);

    HINSTANCE Instance() const { return instance_; }
    HWND Handle() const { return handle_; }
    HICON Icon() const { return icon_; }
    const std::string& Title() const { return title_; }
    // The main form's window while the message loop runs, else the application window.
    HWND MainWindow() const;

    // Runs the message loop until the main form is closed.
    void Run(Form& mainForm);
    // Handles every message waiting in the queue, then returns.
    void ProcessMessages();
    // Minimises to the taskbar entry, hiding the main form until the entry is restored.
    void Minimize();
    // Ends the message loop once the handler now running returns.
    void Terminate();
    bool Terminated() const { return terminated_; }

    // Call inside a catch block: shows the error box for the exception being handled. Never throws.
    void HandleException() noexcept;
    void ShowErrorBox(const std::string& message) noexcept;

private:
    bool ProcessMessage(MSG& msg);
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);

    HINSTANCE instance_ = nullptr;
    HWND handle_ = nullptr;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    std::string title_;
    Form* mainForm_ = nullptr;
    bool terminated_ = false;
};

// The program's one application object, as the window layer's users know it.
extern Application TheApplication;

// Runs a callback of ours that the system calls (window procedures, hooks): an exception must never
// unwind through user32, so it ends here and goes to the error box.
template <class F>
LRESULT Guarded(LRESULT onError, F&& f) noexcept
{
    try {
        return f();
    } catch (...) {
        TheApplication.HandleException();
        return onError;
    }
}

}  // namespace ui
