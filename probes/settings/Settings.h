// The two products' settings: the reader of one stored text value, and the two settings sections.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "probes/LineWriter.h"

namespace settings {

// The four registry keys of the products; nothing else is ever read.
enum class SettingsSource { VellumoMachine, QuorvexMachine, VellumoUser, QuorvexUser };

struct SourceKey {
    HKEY root;
    const char* path;  // relative to root, no leading backslash
};
SourceKey KeyOf(SettingsSource source);

// Drops every character of code 32 or lower from both ends; 0xA0 and the like stay.
std::string TrimSettingText(const std::string& text);

// The named value of the source as trimmed text; empty on any failure, never raises.
// Creates the source's key (and every missing parent) when it is missing.
std::string ReadSettingText(SettingsSource source, const std::string& valueName) noexcept;

struct LabelledRow {
    const char* valueName;
    const char* label;
};

struct SectionTable {
    const char* tag;
    SettingsSource machine;
    SettingsSource user;
    std::vector<LabelledRow> rows;
};

extern const SectionTable kVellumoSection;  // 27 rows, 30 lines
extern const SectionTable kQuorvexSection;  // 21 rows, 24 lines

// Head, folder and serial line from the machine-wide source, then one line per row from the per-user
// source; each value is read as its line is written.
void WriteSettingsSection(const SectionTable& table, const LineWriter& aln);

inline void WriteVellumoSection(const LineWriter& aln) { WriteSettingsSection(kVellumoSection, aln); }
inline void WriteQuorvexSection(const LineWriter& aln) { WriteSettingsSection(kQuorvexSection, aln); }

}  // namespace settings
