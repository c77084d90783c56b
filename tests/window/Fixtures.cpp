#include "window/Fixtures.h"

#include "window/Driver.h"

#include <stdexcept>

namespace fixtures {

// ---- Files ----

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeFile(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + path);
    CloseHandle(h);
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            const std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveTree(child);
            else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryA(child.c_str());
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(h, &data));
        FindClose(h);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
}

namespace {
std::string Saved(const std::string& target) { return target + ".tavro-saved"; }
void Restore(const std::string& target)
{
    if (!Exists(Saved(target))) return;
    DeleteFileA(target.c_str());
    MoveFileA(Saved(target).c_str(), target.c_str());
}
}  // namespace

FileSwap::~FileSwap()
{
    for (auto it = targets_.rbegin(); it != targets_.rend(); ++it) {
        DeleteFileA(it->c_str());
        Restore(*it);
    }
}

void FileSwap::Put(const std::string& target, const std::string& source)
{
    Restore(target);  // left over from a run that did not finish
    if (Exists(target) && !MoveFileA(target.c_str(), Saved(target).c_str()))
        throw std::runtime_error("cannot move away " + target);
    targets_.push_back(target);
    if (!source.empty() && !CopyFileA(source.c_str(), target.c_str(), FALSE))
        throw std::runtime_error("cannot copy " + source + " to " + target);
}

namespace {
const char kTwainFolder[] = "c:\\windows\\twain_32";
const char kTwainFolderBackup[] = "c:\\tavro-twain_32-backup";
}  // namespace

TwainFolderMoved::TwainFolderMoved()
{
    if (!Exists(kTwainFolder) && Exists(kTwainFolderBackup)) MoveFileA(kTwainFolderBackup, kTwainFolder);
    if (!MoveFileA(kTwainFolder, kTwainFolderBackup)) throw std::runtime_error("cannot move c:\\windows\\twain_32");
}

TwainFolderMoved::~TwainFolderMoved()
{
    MoveFileA(kTwainFolderBackup, kTwainFolder);
}

// ---- TWAIN ----

const char kManager[] = "c:\\windows\\twain_32.dll";
const char kSane[] = "c:\\windows\\twain_32\\sane.ds";
const char kGphoto[] = "c:\\windows\\twain_32\\gphoto2.ds";

std::string TestFile(const std::string& name) { return driver::ProgramPath("twain\\" + name); }

const std::vector<std::string> kRow0 = {"Tavro Flatbed 4800", "Tavro Test Works", "Flatbed", "4.8 build 12"};
const std::vector<std::string> kRow1 = {"Test Camera Z", "Optic Lab", "Cameras", "1.0"};
const std::vector<std::string> kRow2 = {"ABCDEFGHIJKLMNOPQRSTUVWXYZ01234567", "Maker with a name of 34 bytes long",
                                        "Caf\xE9 family", ""};
const std::vector<std::string> kRow3 = {"Short", "", "F", "v"};

std::vector<std::string> Listed(const std::vector<std::vector<std::string>>& sources)
{
    std::vector<std::string> lines = {std::to_string(sources.size()) + " Twain data source(s) found:"};
    for (size_t i = 0; i < sources.size(); ++i) {
        lines.push_back(" ");
        lines.push_back("Source Index:" + std::to_string(i));
        lines.insert(lines.end(), sources[i].begin(), sources[i].end());
    }
    return lines;
}

// ---- Registry ----

namespace {

void Walk(HKEY parent, const std::string& name, const std::string& path, RegistrySnapshot& out)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, name.empty() ? nullptr : name.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS) {
        out[path + " <unreadable>"];
        return;
    }
    auto& values = out[path];
    DWORD subkeys = 0, maxSubkey = 0, count = 0, maxName = 0, maxData = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &maxSubkey, nullptr, &count, &maxName, &maxData,
                     nullptr, nullptr);
    for (DWORD i = 0;; ++i) {
        std::string valueName(maxName + 2, '\0'), data(maxData + 1, '\0');
        DWORD nameSize = static_cast<DWORD>(valueName.size()), dataSize = static_cast<DWORD>(data.size()), type = 0;
        const LONG r = RegEnumValueA(key, i, &valueName[0], &nameSize, nullptr, &type,
                                     reinterpret_cast<BYTE*>(&data[0]), &dataSize);
        if (r != ERROR_SUCCESS) break;
        valueName.resize(nameSize);
        data.resize(dataSize);
        values[valueName] = {type, data};
    }
    std::vector<std::string> children;
    for (DWORD i = 0;; ++i) {
        std::string child(maxSubkey + 2, '\0');
        DWORD size = static_cast<DWORD>(child.size());
        if (RegEnumKeyExA(key, i, &child[0], &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        child.resize(size);
        children.push_back(child);
    }
    for (const std::string& child : children) Walk(key, child, path + "\\" + child, out);
    RegCloseKey(key);
}

// What Wine itself writes when any window program starts: user32's temporary system parameters and
// the display driver's date stamp. Not the program's doing.
bool WineBookkeeping(const std::string& path, const std::string& valueName)
{
    return path.rfind("HKCU\\Software\\Wine\\Temporary System Parameters", 0) == 0 ||
           (path.rfind("HKLM\\System\\CurrentControlSet\\Control\\", 0) == 0 && valueName == "DriverDateData");
}

}  // namespace

RegistrySnapshot TakeRegistrySnapshot()
{
    RegistrySnapshot s;
    Walk(HKEY_LOCAL_MACHINE, "", "HKLM", s);
    Walk(HKEY_CURRENT_USER, "", "HKCU", s);
    return s;
}

std::vector<std::string> RegistryDifferences(const RegistrySnapshot& before, const RegistrySnapshot& after)
{
    std::vector<std::string> out;
    const auto note = [&](const std::string& what, const std::string& path, const std::string& valueName) {
        if (WineBookkeeping(path, valueName)) return;
        out.push_back(what + path + (valueName.empty() ? "" : " : " + valueName));
    };
    for (const auto& [path, values] : after) {
        const auto old = before.find(path);
        if (old == before.end()) {
            note(values.empty() ? "added key " : "added key with values ", path, "");
            continue;
        }
        for (const auto& [name, value] : values) {
            const auto was = old->second.find(name);
            if (was == old->second.end()) note("added value ", path, name);
            else if (!(was->second == value)) note("changed value ", path, name);
        }
        for (const auto& [name, value] : old->second)
            if (!values.count(name)) note("removed value ", path, name);
    }
    for (const auto& [path, values] : before)
        if (!after.count(path)) note("removed key ", path, "");
    return out;
}

bool IsWow64()
{
    BOOL wow = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow) && wow;
}

const char kVellumoMachine[] = "Software\\Tavro Software\\Vellumo";
const char kQuorvexMachine[] = "Software\\Tavro Software\\Quorvex";
const char kVellumoUser[] = "Software\\Tavro\\vellumo2\\settings";
const char kQuorvexUser[] = "Software\\Tavro\\quorvex\\settings";

void Store(HKEY root, const char* path, const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error(std::string("cannot create ") + path);
    const LONG stored = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    if (stored != ERROR_SUCCESS) throw std::runtime_error(std::string("cannot store ") + path + " : " + name);
}

void StoreText(HKEY root, const char* path, const char* name, const std::string& text)
{
    Store(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void RemoveProductKeys()
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Tavro Software");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tavro");
}

std::vector<std::string> NewProductKeys()
{
    const std::string machine =
        IsWow64() ? "HKLM\\Software\\Wow6432Node\\Tavro Software" : "HKLM\\Software\\Tavro Software";
    return {
        "added key HKCU\\Software\\Tavro",
        "added key HKCU\\Software\\Tavro\\quorvex",
        "added key HKCU\\Software\\Tavro\\quorvex\\settings",
        "added key HKCU\\Software\\Tavro\\vellumo2",
        "added key HKCU\\Software\\Tavro\\vellumo2\\settings",
        "added key " + machine,
        "added key " + machine + "\\Quorvex",
        "added key " + machine + "\\Vellumo",
    };
}

std::vector<std::string> EmptySections()
{
    return {
        "VLMO V ",
        "DIR ",
        "",
        "Last Src > ",
        "Dialog(rev) > ",
        "Auto TRX > ",
        "Buffered(VST) > ",
        "Twain 1.7(+Buff=EN) > ",
        "Native WIA > ",
        "File Trans > ",
        "Default Save > ",
        "Save Location > ",
        "Negative > ",
        "Crop Legal > ",
        "Col to GS > ",
        "Compression > ",
        "DPI > ",
        "Color > ",
        "Paper size > ",
        "CustomX > ",
        "CustomY > ",
        "ADF > ",
        "Duplex > ",
        "Xoffset > ",
        "Exposure > ",
        "Frames > ",
        "Cleanup > ",
        "Variable > ",
        "PDF DPI > ",
        "Last error > ",
        kSeparator,
        "QRVX V ",
        "DIR ",
        "",
        "Last Src> > ",
        "Use Dialog > ",
        "Auto TRX > ",
        "Twain1.8 > ",
        "Native WIA > ",
        "WIA Connected > ",
        "ADF > ",
        "Color > ",
        "Conv GS > ",
        "Crop Legal > ",
        "Def Save > ",
        "Path > ",
        "Exposure > ",
        "DPI > ",
        "Rej > ",
        "Extended Save Dialog > ",
        "Compression > ",
        "Keep Twain Conn Open > ",
        "Negative > ",
        "PDF Page Size > ",
        "Last error > ",
        kSeparator,
    };
}

}  // namespace fixtures
