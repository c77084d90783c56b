// The TWAIN component of the main window (DTwain1): finds and loads the Data Source Manager
// (TWAIN_32.DLL), opens and closes it, lists its data sources and holds the application identity.
#pragma once

#include "probes/scanner/TwainTypes.h"
#include "ui/Library.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace scanner {

enum TwainLanguage { tlUserLocale };
enum TwainGroup { tgControl = 1, tgImage = 2 };
enum TwainTransferMode { ttmNative };

// The application identity's published properties.
struct TwainInfo {
    TW_UINT16 MajorVersion = 1;
    TW_UINT16 MinorVersion = 0;
    TwainLanguage Language = tlUserLocale;
    TW_UINT16 CountryCode = TWCY_USA;
    std::string VersionInfo;
    TW_UINT32 Groups = tgControl | tgImage;
    std::string Manufacturer;
    std::string ProductFamily;
    std::string ProductName;
};

// The identity record presented to the manager (Id 0: the manager assigns one when it is opened).
TW_IDENTITY MakeIdentity(const TwainInfo& info);

// The folders looked in for TWAIN_32.DLL, in order: Windows, system, current, the executable's, temporary.
std::vector<std::string> ManagerFolders();
// The first folder's "TWAIN_32.DLL" for which exists() is true, as a full path; empty when none.
std::string FindManager(const std::vector<std::string>& folders, const std::function<bool(const std::string&)>& exists);

class TwainComponent {
public:
    using FolderList = std::function<std::vector<std::string>()>;

    explicit TwainComponent(FolderList folders = ManagerFolders);
    TwainComponent(const TwainComponent&) = delete;
    TwainComponent& operator=(const TwainComponent&) = delete;
    // Closes the manager and unloads the library when still open and loaded; destroys the hidden window.
    ~TwainComponent();

    TwainInfo Info;
    TwainTransferMode TransferMode = ttmNative;

    // True when the library is loaded, now or before; false (nothing loaded) when it cannot be.
    bool LoadTwainLibrary();
    // Closes the manager, then frees the library.
    void UnloadTwainLibrary();
    bool LibraryLoaded() const { return entry_ != nullptr; }

    bool SourceManagerLoaded() const { return managerOpen_; }
    void SetSourceManagerLoaded(bool open);

    // The number of sources; the first read after the manager was opened asks the manager for them.
    int SourceCount();
    // The source at index, or null.
    const TW_IDENTITY* Source(int index) const;

    HWND Handle() const { return window_; }

private:
    TW_UINT16 Entry(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
    void DropSources();

    FolderList folders_;
    HWND window_ = nullptr;
    ui::Library library_;
    DSMENTRYPROC entry_ = nullptr;
    bool managerOpen_ = false;
    TW_IDENTITY identity_ = {};
    std::vector<TW_IDENTITY> sources_;
    bool sourcesComplete_ = false;
};

}  // namespace scanner
