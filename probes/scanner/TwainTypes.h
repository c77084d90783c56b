// The TWAIN declarations this program needs: our own, with the values and layout of the TWAIN standard.
#pragma once

#include <cstddef>
#include <cstdint>

namespace scanner {

using TW_UINT16 = std::uint16_t;
using TW_UINT32 = std::uint32_t;
using TW_MEMREF = void*;
using TW_STR32 = char[34];

#pragma pack(push, 2)

struct TW_VERSION {
    TW_UINT16 MajorNum;
    TW_UINT16 MinorNum;
    TW_UINT16 Language;
    TW_UINT16 Country;
    TW_STR32 Info;
};

struct TW_IDENTITY {
    TW_UINT32 Id;
    TW_VERSION Version;
    TW_UINT16 ProtocolMajor;
    TW_UINT16 ProtocolMinor;
    TW_UINT32 SupportedGroups;
    TW_STR32 Manufacturer;
    TW_STR32 ProductFamily;
    TW_STR32 ProductName;
};

#pragma pack(pop)

static_assert(sizeof(TW_VERSION) == 42, "TW_VERSION is 42 bytes");
static_assert(sizeof(TW_IDENTITY) == 156, "TW_IDENTITY is 156 bytes");
static_assert(offsetof(TW_IDENTITY, Id) == 0, "Id");
static_assert(offsetof(TW_IDENTITY, Version) + offsetof(TW_VERSION, MajorNum) == 4, "Version.MajorNum");
static_assert(offsetof(TW_IDENTITY, Version) + offsetof(TW_VERSION, MinorNum) == 6, "Version.MinorNum");
static_assert(offsetof(TW_IDENTITY, Version) + offsetof(TW_VERSION, Language) == 8, "Version.Language");
static_assert(offsetof(TW_IDENTITY, Version) + offsetof(TW_VERSION, Country) == 10, "Version.Country");
static_assert(offsetof(TW_IDENTITY, Version) + offsetof(TW_VERSION, Info) == 12, "Version.Info");
static_assert(offsetof(TW_IDENTITY, ProtocolMajor) == 46, "ProtocolMajor");
static_assert(offsetof(TW_IDENTITY, ProtocolMinor) == 48, "ProtocolMinor");
static_assert(offsetof(TW_IDENTITY, SupportedGroups) == 50, "SupportedGroups");
static_assert(offsetof(TW_IDENTITY, Manufacturer) == 54, "Manufacturer");
static_assert(offsetof(TW_IDENTITY, ProductFamily) == 88, "ProductFamily");
static_assert(offsetof(TW_IDENTITY, ProductName) == 122, "ProductName");

// Data groups, data argument types, messages, return codes, language and country.
constexpr TW_UINT32 DG_CONTROL = 0x0001;
constexpr TW_UINT32 DG_IMAGE = 0x0002;
constexpr TW_UINT16 DAT_IDENTITY = 0x0003;
constexpr TW_UINT16 DAT_PARENT = 0x0004;
constexpr TW_UINT16 MSG_GETFIRST = 0x0004;
constexpr TW_UINT16 MSG_GETNEXT = 0x0005;
constexpr TW_UINT16 MSG_OPENDSM = 0x0301;
constexpr TW_UINT16 MSG_CLOSEDSM = 0x0302;
constexpr TW_UINT16 TWRC_SUCCESS = 0;
constexpr TW_UINT16 TWRC_ENDOFLIST = 7;
constexpr TW_UINT16 TWLG_USERLOCALE = 0xFFFF;  // -1 as a 16-bit field
constexpr TW_UINT16 TWCY_USA = 1;

// DSM_Entry, the manager's one entry point (ordinal 1 of TWAIN_32.DLL).
using DSMENTRYPROC = TW_UINT16(__stdcall*)(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                                           TW_UINT16 msg, TW_MEMREF data);

}  // namespace scanner
