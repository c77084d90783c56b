#include "ui/Application.h"

#include "ui/Form.h"

#include <cctype>
#include <exception>
#include <stdexcept>

namespace ui {

Application TheApplication;

namespace {
const char kAppClass[] = "TavroApplication";
}

std::string TitleFromExeName(const std::string& path)
{
    std::string name = path.substr(path.find_last_of("\\/:") == std::string::npos ? 0 : path.find_last_of("\\/:") + 1);
    name = name.substr(0, name.find('.'));
    for (size_t i = 1; i < name.size(); ++i)
        name[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
    return name;
}

std::string ErrorBoxText(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

Application::~Application()
{
    if (handle_) DestroyWindow(handle_);
    if (icon_) DestroyIcon(icon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
}

void Application::Initialize(HINSTANCE instance)
{
    instance_ = instance;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    title_ = TitleFromExeName(path);
    icon_ = static_cast<HICON>(LoadImageA(instance, "MAINICON", IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                          GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(LoadImageA(instance, "MAINICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));

    WNDCLASSEXA wc = {sizeof(wc)};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = icon_;
    wc.hIconSm = smallIcon_;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kAppClass;
    RegisterClassExA(&wc);
    // Owner of the main form, without a size of its own: it is the taskbar entry, with the application
    // title and icon, and it minimises and restores the form with itself.
    handle_ = CreateWindowExA(0, kAppClass, title_.c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                              GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                              nullptr, instance, nullptr);
    if (!handle_) throw std::runtime_error("Cannot create the application window");
}

HWND Application::MainWindow() const
{
    return mainForm_ && mainForm_->Handle() ? mainForm_->Handle() : handle_;
}

LRESULT CALLBACK Application::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return Guarded(0, [&]() -> LRESULT {
        HWND form = TheApplication.mainForm_ ? TheApplication.mainForm_->Handle() : nullptr;
        switch (msg) {
        case WM_CLOSE:  // from the taskbar entry: the same as closing the main form
            if (form) {
                PostMessageA(form, WM_CLOSE, 0, 0);
                return 0;
            }
            break;
        case WM_SYSCOMMAND:
            if ((wp & 0xFFF0) == SC_RESTORE && IsIconic(hwnd)) {
                DefWindowProcA(hwnd, msg, wp, lp);
                if (form) {
                    ShowWindow(form, SW_SHOW);
                    SetActiveWindow(form);
                }
                return 0;
            }
            break;
        case WM_ACTIVATE:  // the taskbar entry was chosen: the form takes over
            if (LOWORD(wp) != WA_INACTIVE && !IsIconic(hwnd) && form && IsWindowVisible(form) && IsWindowEnabled(form))
                SetActiveWindow(form);
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wp, lp);
    });
}

bool Application::ProcessMessage(MSG& msg)
{
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    if (!mainForm_ || !mainForm_->Handle() || !IsDialogMessageA(mainForm_->Handle(), &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

void Application::ProcessMessages()
{
    // Nothing waiting (no posted, sent, input, timer or paint message) is the common case between two
    // entries of a file walk. Wine answers this with one wineserver round trip where an empty PeekMessage
    // costs two and a flush of the window surfaces.
    if (HIWORD(GetQueueStatus(QS_ALLINPUT | QS_ALLPOSTMESSAGE)) == 0) return;
    MSG msg;
    while (ProcessMessage(msg)) {
    }
}

void Application::Run(Form& mainForm)
{
    mainForm_ = &mainForm;
    ShowWindow(handle_, SW_SHOWNOACTIVATE);
    mainForm.Show();
    while (!terminated_) {
        MSG msg;
        if (!ProcessMessage(msg) && !terminated_) WaitMessage();
    }
    mainForm_ = nullptr;
}

void Application::Minimize()
{
    // Windows hides a minimised window's owned windows itself; Wine does so only for pop-ups.
    if (mainForm_ && mainForm_->Handle()) ShowWindow(mainForm_->Handle(), SW_HIDE);
    ShowWindow(handle_, SW_MINIMIZE);
}

void Application::Terminate()
{
    PostQuitMessage(0);
}

void Application::HandleException() noexcept
{
    std::string message;
    try {
        throw;
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = "Unknown exception";
    }
    ShowErrorBox(message);
}

void Application::ShowErrorBox(const std::string& message) noexcept
{
    const std::string text = ErrorBoxText(message);
    // The box belongs to the application window; the main form takes no input while it is open.
    HWND form = mainForm_ ? mainForm_->Handle() : nullptr;
    const bool disable = form && IsWindowEnabled(form);
    if (disable) EnableWindow(form, FALSE);
    MessageBoxA(handle_, text.c_str(), title_.c_str(), MB_OK | MB_ICONERROR);
    if (disable) EnableWindow(form, TRUE);
}

}  // namespace ui
