#include "probes/scanner/FileFind.h"

namespace scanner {

bool IsSubFolder(const FoundEntry& entry)
{
    if (!(entry.attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    // Wine reports a symbolic link to a folder as directory | reparse point; two links back to ancestors
    // make a walk that follows them grow without end.
    if (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) return false;
    return entry.name != "." && entry.name != "..";
}

FileFind::FileFind(const std::string& pattern, DWORD attributes)
    : attributes_(attributes)
{
    WIN32_FIND_DATAA data;
    // The basic level leaves out the 8.3 name, which nothing here reads, and the large fetch reads a folder
    // in bigger chunks; the entries and their order are those of FindFirstFileA. Both came with Windows 7:
    // a system that refuses them gets the plain call.
    HANDLE h = FindFirstFileExA(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
        h = FindFirstFileA(pattern.c_str(), &data);
    handle_.Reset(h);
    Settle(data, static_cast<bool>(handle_));
}

void FileFind::Next()
{
    if (!handle_) return;
    WIN32_FIND_DATAA data;
    Settle(data, FindNextFileA(handle_.Get(), &data) != FALSE);
}

void FileFind::Settle(WIN32_FIND_DATAA& data, bool found)
{
    while (found && !PassesAttributeFilter(data.dwFileAttributes, attributes_))
        found = FindNextFileA(handle_.Get(), &data) != FALSE;
    if (!found) {
        handle_.Reset();
        entry_ = FoundEntry();
        return;
    }
    entry_.name = data.cFileName;
    entry_.attributes = data.dwFileAttributes;
}

}  // namespace scanner
