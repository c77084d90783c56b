#include "probes/settings/Settings.h"

#include "probes/settings/RegistryKey.h"

namespace settings {

SourceKey KeyOf(SettingsSource source)
{
    switch (source) {
    case SettingsSource::VellumoMachine: return {HKEY_LOCAL_MACHINE, "Software\\Tavro Software\\Vellumo"};
    case SettingsSource::QuorvexMachine: return {HKEY_LOCAL_MACHINE, "Software\\Tavro Software\\Quorvex"};
    case SettingsSource::VellumoUser: return {HKEY_CURRENT_USER, "Software\\Tavro\\vellumo2\\settings"};
    case SettingsSource::QuorvexUser: return {HKEY_CURRENT_USER, "Software\\Tavro\\quorvex\\settings"};
    }
    return {nullptr, nullptr};
}

std::string TrimSettingText(const std::string& text)
{
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    size_t begin = 0, end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

namespace {

// Full access with creation allowed; where that is refused (a user who may not write a machine-wide
// key), the existing key read-only. No key at all when both fail: the root itself is never read.
RegistryKey OpenSourceKey(SettingsSource source)
{
    const SourceKey where = KeyOf(source);
    if (!where.root) return {};
    HKEY key = nullptr;
    if (RegCreateKeyExA(where.root, where.path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) == ERROR_SUCCESS)
        return RegistryKey(key);
    key = nullptr;
    if (RegOpenKeyExA(where.root, where.path, 0, KEY_READ, &key) == ERROR_SUCCESS) return RegistryKey(key);
    return {};
}

std::string QueryText(HKEY key, const std::string& valueName)
{
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0)
        return "";
    std::string data(size, '\0');
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) !=
        ERROR_SUCCESS)
        return "";
    if (type != REG_SZ && type != REG_EXPAND_SZ) return "";
    data.resize(size < data.size() ? size : data.size());
    // Taken as stored: percent references of REG_EXPAND_SZ stay unexpanded.
    const size_t nul = data.find('\0');
    if (nul != std::string::npos) data.resize(nul);
    return data;
}

}  // namespace

std::string ReadSettingText(SettingsSource source, const std::string& valueName) noexcept
{
    try {
        const RegistryKey key = OpenSourceKey(source);
        if (!key) return "";
        return TrimSettingText(QueryText(key.Get(), valueName));
    } catch (...) {
        return "";
    }
}

const SectionTable kVellumoSection = {
    "VLMO V",
    SettingsSource::VellumoMachine,
    SettingsSource::VellumoUser,
    {
        {"cscanner", "Last Src > "},
        {"hidden", "Dialog(rev) > "},
        {"autotrx", "Auto TRX > "},
        {"vstwain", "Buffered(VST) > "},
        {"twain17", "Twain 1.7(+Buff=EN) > "},
        {"nativewia", "Native WIA > "},
        {"filetran", "File Trans > "},
        {"defsave", "Default Save > "},
        {"saveloc", "Save Location > "},
        {"negative", "Negative > "},
        {"convpaper", "Crop Legal > "},
        {"convcolor", "Col to GS > "},
        {"jpgc", "Compression > "},
        {"dpi", "DPI > "},
        {"color", "Color > "},
        {"paper", "Paper size > "},
        {"customx", "CustomX > "},
        {"customy", "CustomY > "},
        {"adf", "ADF > "},
        {"duplex", "Duplex > "},
        {"xoffset", "Xoffset > "},
        {"exposure", "Exposure > "},
        {"frames", "Frames > "},
        {"cleanup", "Cleanup > "},
        {"variable", "Variable > "},
        {"pdfdpi", "PDF DPI > "},
        {"lasterror", "Last error > "},
    },
};

const SectionTable kQuorvexSection = {
    "QRVX V",
    SettingsSource::QuorvexMachine,
    SettingsSource::QuorvexUser,
    {
        {"cscanner", "Last Src> > "},
        {"dialog", "Use Dialog > "},
        {"autotrx", "Auto TRX > "},
        {"twain17", "Twain1.8 > "},
        {"nativewia", "Native WIA > "},
        {"wiaconnected", "WIA Connected > "},
        {"adf", "ADF > "},
        {"color", "Color > "},
        {"convcolor", "Conv GS > "},
        {"convletter", "Crop Legal > "},
        {"defsave", "Def Save > "},
        {"folderpath", "Path > "},
        {"density", "Exposure > "},
        {"dpi", "DPI > "},
        {"rej", "Rej > "},
        {"edialog", "Extended Save Dialog > "},
        {"jpg", "Compression > "},
        {"keepopen", "Keep Twain Conn Open > "},
        {"negative", "Negative > "},
        {"papersize", "PDF Page Size > "},
        {"lasterror", "Last error > "},
    },
};

void WriteSettingsSection(const SectionTable& table, const LineWriter& aln)
{
    const std::string version = ReadSettingText(table.machine, "version");
    aln(table.tag + version + " " + ReadSettingText(table.machine, "Mode"));
    aln("DIR " + ReadSettingText(table.machine, "directory"));
    aln(ReadSettingText(table.machine, "serial"));
    for (const LabelledRow& row : table.rows) aln(row.label + ReadSettingText(table.user, row.valueName));
}

}  // namespace settings
