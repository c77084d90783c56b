// The file search that the data source section walks with: the Win32 find functions, an attribute filter
// on top of them, and one owner per find handle.
#pragma once

#include <windows.h>

#include <string>

namespace scanner {

// Attribute bits of a found entry, as the platform numbers them.
enum : DWORD {
    faReadOnly = 0x01,
    faHidden = 0x02,
    faSysFile = 0x04,
    faVolumeID = 0x08,
    faDirectory = 0x10,
    faArchive = 0x20,
};

// The bits that make an entry be skipped unless the search's attribute set holds them.
constexpr DWORD kFilteredAttributes = faHidden | faSysFile | faVolumeID | faDirectory;

constexpr bool PassesAttributeFilter(DWORD entryAttributes, DWORD searchAttributes)
{
    return (entryAttributes & kFilteredAttributes & ~searchAttributes) == 0;
}

struct FoundEntry {
    std::string name;  // the long name, without the folder
    DWORD attributes = 0;
};

// A folder that a recursive search goes down into: a directory other than "." and "..", and not a reparse
// point. Links and junctions are never entered, so a link back to an ancestor cannot make the walk loop.
bool IsSubFolder(const FoundEntry& entry);

// Owner of one find handle (FindFirstFile's; both NULL and INVALID_HANDLE_VALUE mean none).
class FindHandle {
public:
    FindHandle() = default;
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    FindHandle(FindHandle&& other) noexcept : handle_(other.Release()) {}
    FindHandle& operator=(FindHandle&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    ~FindHandle() { Reset(); }

    explicit operator bool() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    HANDLE Release()
    {
        HANDLE h = handle_;
        handle_ = nullptr;
        return h;
    }
    void Reset(HANDLE handle = nullptr)
    {
        if (*this) FindClose(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_ = nullptr;
};

// One search of one path pattern ("c:\folder\*.ds"), started with an attribute set. While it converts to
// true, Entry() is the current entry; Next() moves on and closes the search after the last one. A pattern
// that finds nothing, a folder that does not exist or a path too long for the find functions gives no
// entry and no error.
//
//     for (FileFind find(base + "*.ds", 0x2F); find; find.Next()) use(find.Entry());
class FileFind {
public:
    FileFind(const std::string& pattern, DWORD attributes);

    explicit operator bool() const { return static_cast<bool>(handle_); }
    const FoundEntry& Entry() const { return entry_; }
    void Next();

private:
    // Takes the entry just read, or reads on until one passes the filter; closes the search at the end.
    void Settle(WIN32_FIND_DATAA& data, bool found);

    FindHandle handle_;
    DWORD attributes_;
    FoundEntry entry_;
};

}  // namespace scanner
