// What several window tests put in place on the machine and take away again: files swapped in the prefix,
// the data source folder moved away, small trees, the products' registry keys, and a walk of the registry
// to compare before and after a run.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace fixtures {

const std::string kSeparator(78, '-');

// ---- Files ----

bool Exists(const std::string& path);
void MakeFile(const std::string& path);  // empty, new; throws when it cannot
void RemoveTree(const std::string& path);

// Puts files of ours in place of the prefix's own (or takes them away), and leaves the prefix as it was.
class FileSwap {
public:
    FileSwap() = default;
    FileSwap(const FileSwap&) = delete;
    FileSwap& operator=(const FileSwap&) = delete;
    ~FileSwap();
    // source empty: the target is only taken away.
    void Put(const std::string& target, const std::string& source);

private:
    std::vector<std::string> targets_;
};

// Moves c:\windows\twain_32 out of the way and puts it back, also after a run that was stopped halfway.
class TwainFolderMoved {
public:
    TwainFolderMoved();
    TwainFolderMoved(const TwainFolderMoved&) = delete;
    TwainFolderMoved& operator=(const TwainFolderMoved&) = delete;
    ~TwainFolderMoved();
};

// ---- TWAIN ----

extern const char kManager[];  // c:\windows\twain_32.dll, Wine's manager
extern const char kSane[];     // the two data sources Wine's manager loads, by fixed name
extern const char kGphoto[];

// A file built beside the program under tests/twain (source0.ds ... source4.ds, TWAIN_32.DLL).
std::string TestFile(const std::string& name);

// The identity lines of the test data sources source0.ds to source3.ds.
extern const std::vector<std::string> kRow0, kRow1, kRow2, kRow3;

// The TWAIN section for these sources (identity lines each), in this order.
std::vector<std::string> Listed(const std::vector<std::vector<std::string>>& sources);

// ---- Registry ----

// Content of a registry tree, keys by full path, values by name (type and data).
struct Value {
    DWORD type;
    std::string data;
    bool operator==(const Value& o) const { return type == o.type && data == o.data; }
};
using RegistrySnapshot = std::map<std::string, std::map<std::string, Value>>;

// HKLM and HKCU, walked in the 64-bit view where there is one, so that the 32-bit view's Wow6432Node is
// seen as the key it really is.
RegistrySnapshot TakeRegistrySnapshot();
// Every difference between two snapshots, one text per key or value, apart from Wine's own bookkeeping.
std::vector<std::string> RegistryDifferences(const RegistrySnapshot& before, const RegistrySnapshot& after);

bool IsWow64();

extern const char kVellumoMachine[];
extern const char kQuorvexMachine[];
extern const char kVellumoUser[];
extern const char kQuorvexUser[];

void Store(HKEY root, const char* path, const char* name, DWORD type, const void* data, DWORD size);
void StoreText(HKEY root, const char* path, const char* name, const std::string& text);
// Neither product installed: no key of either, in the view the program sees.
void RemoveProductKeys();

// What a run leaves in the registry when neither product was installed: the four keys and their parents,
// created empty, the machine-wide ones in the view of a 32-bit program.
std::vector<std::string> NewProductKeys();

// The lines of both settings sections with nothing stored, from the first head line to the separator after
// the second section, byte for byte; tests put values after the labels.
std::vector<std::string> EmptySections();

}  // namespace fixtures
