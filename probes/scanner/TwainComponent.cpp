#include "probes/scanner/TwainComponent.h"

#include "probes/scanner/FaultGuard.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace scanner {

namespace {

const char kWindowClass[] = "TavroTwainWindow";

// The hidden window's class, registered at start-up. The window gives every message the default handling.
[[maybe_unused]] const bool kWindowClassRegistered = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kWindowClass;
    return RegisterClassA(&wc) != 0;
}();

void CopyText(TW_STR32& field, const std::string& text)
{
    std::memset(field, 0, sizeof(field));
    std::memcpy(field, text.data(), std::min(text.size(), sizeof(field)));
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

template <class Query>
std::string QueryText(Query query)
{
    char text[MAX_PATH + 1] = {};
    const DWORD n = query(text, MAX_PATH + 1);
    return n > 0 && n <= MAX_PATH ? std::string(text, n) : std::string();
}

}  // namespace

TW_IDENTITY MakeIdentity(const TwainInfo& info)
{
    TW_IDENTITY id = {};
    id.Version.MajorNum = info.MajorVersion;
    id.Version.MinorNum = info.MinorVersion;
    id.Version.Language = TWLG_USERLOCALE;  // tlUserLocale, the only language the program uses
    id.Version.Country = info.CountryCode;
    CopyText(id.Version.Info, info.VersionInfo);
    id.ProtocolMajor = 1;
    id.ProtocolMinor = 9;
    id.SupportedGroups = info.Groups;
    CopyText(id.Manufacturer, info.Manufacturer);
    CopyText(id.ProductFamily, info.ProductFamily);
    CopyText(id.ProductName, info.ProductName);
    return id;
}

std::vector<std::string> ManagerFolders()
{
    return {
        QueryText([](char* b, DWORD n) { return GetWindowsDirectoryA(b, n); }),
        QueryText([](char* b, DWORD n) { return GetSystemDirectoryA(b, n); }),
        QueryText([](char* b, DWORD n) { return GetCurrentDirectoryA(n, b); }),
        FolderOf(QueryText([](char* b, DWORD n) { return GetModuleFileNameA(nullptr, b, n); })),
        QueryText([](char* b, DWORD n) { return GetTempPathA(n, b); }),
    };
}

std::string FindManager(const std::vector<std::string>& folders, const std::function<bool(const std::string&)>& exists)
{
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        const bool slash = folder.back() == '\\' || folder.back() == '/';
        const std::string path = folder + (slash ? "" : "\\") + "TWAIN_32.DLL";
        if (exists(path)) return path;
    }
    return "";
}

TwainComponent::TwainComponent(FolderList folders)
    : folders_(std::move(folders))
{
    window_ = CreateWindowExA(0, kWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (!window_) throw std::runtime_error("Cannot create the TWAIN window");
}

TwainComponent::~TwainComponent()
{
    try {
        UnloadTwainLibrary();
    } catch (...) {
        // The program is ending; a manager that fails to close cannot be helped now.
    }
    DestroyWindow(window_);
}

TW_UINT16 TwainComponent::Entry(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data)
{
    DSMENTRYPROC entry = entry_;
    TW_IDENTITY* origin = &identity_;
    return CallGuarded([=] { return entry(origin, nullptr, dg, dat, msg, data); });
}

bool TwainComponent::LoadTwainLibrary()
{
    if (LibraryLoaded()) return true;
    const std::string path = FindManager(folders_(), [](const std::string& p) {
        return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES;
    });
    if (path.empty()) return false;
    ui::Library library(::LoadLibraryA(path.c_str()));
    if (!library) return false;
    auto entry = reinterpret_cast<DSMENTRYPROC>(
        reinterpret_cast<void*>(GetProcAddress(library.Get(), MAKEINTRESOURCEA(1))));
    if (!entry) return false;
    library_ = std::move(library);
    entry_ = entry;
    return true;
}

void TwainComponent::UnloadTwainLibrary()
{
    if (!LibraryLoaded()) return;
    SetSourceManagerLoaded(false);
    if (library_.Reset()) {
        entry_ = nullptr;
        // The manager cannot stay open without its library, whatever its close answered.
        managerOpen_ = false;
        DropSources();
    }
}

void TwainComponent::SetSourceManagerLoaded(bool open)
{
    if (!LibraryLoaded() || open == managerOpen_) return;
    if (open) {
        identity_ = MakeIdentity(Info);
        managerOpen_ = Entry(DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &window_) == TWRC_SUCCESS;
    } else {
        DropSources();
        managerOpen_ = Entry(DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &window_) != TWRC_SUCCESS;
    }
}

int TwainComponent::SourceCount()
{
    if (!LibraryLoaded() || !managerOpen_) return 0;
    if (!sourcesComplete_) {
        DropSources();
        TW_IDENTITY source = {};
        TW_UINT16 rc = Entry(DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &source);
        while (rc == TWRC_SUCCESS) {
            sources_.push_back(source);
            source = {};
            rc = Entry(DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, &source);
        }
        sourcesComplete_ = true;
    }
    return static_cast<int>(sources_.size());
}

const TW_IDENTITY* TwainComponent::Source(int index) const
{
    if (!LibraryLoaded() || !managerOpen_ || index < 0 || index >= static_cast<int>(sources_.size())) return nullptr;
    return &sources_[index];
}

void TwainComponent::DropSources()
{
    sources_.clear();
    sourcesComplete_ = false;
}

}  // namespace scanner
