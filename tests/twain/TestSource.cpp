// A small TWAIN data source for the tests: DS_Entry answers the identity request (DG_CONTROL, DAT_IDENTITY,
// MSG_GET) from one row of a table, chosen when it is built (TEST_SOURCE_ROW): one device, so the first
// request gets it and the next ones get a failure. The "fault" row writes through a null pointer instead,
// as a broken driver would.
#include "probes/scanner/TwainTypes.h"

#include <windows.h>

#include <cstring>

using namespace scanner;

namespace {

constexpr TW_UINT16 MSG_GET = 0x0001;

struct Row {
    const char* productName;
    size_t productNameSize;  // bytes put into the 34-byte field (may hold a NUL, may fill it)
    const char* manufacturer;
    const char* family;
    const char* versionInfo;
    bool faults;
};

#define TEXT_FIELD(s) s, sizeof(s) - 1
const Row kRows[] = {
    /* 0 */ {TEXT_FIELD("Tavro Flatbed 4800"), "Tavro Test Works", "Flatbed", "4.8 build 12", false},
    /* 1 */ {TEXT_FIELD("Test Camera Z"), "Optic Lab", "Cameras", "1.0", false},
    /* 2: 34 bytes without a NUL; a byte above 127 in the family */
    {TEXT_FIELD("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234567"), "Maker with a name of 34 bytes long", "Caf\xE9 family", "", false},
    /* 3: a NUL after 5 bytes, text behind it; an empty manufacturer */
    {TEXT_FIELD("Short\0Hidden tail"), "", "F", "v", false},
    /* 4: faults when asked */
    {TEXT_FIELD("Never seen"), "", "", "", true},
};
#undef TEXT_FIELD

void Put(TW_STR32& field, const char* text, size_t size)
{
    std::memset(field, 0, sizeof(field));
    std::memcpy(field, text, size < sizeof(field) ? size : sizeof(field));
}

}  // namespace

extern "C" __declspec(dllexport) TW_UINT16 __stdcall DS_Entry(TW_IDENTITY*, TW_UINT32 dg, TW_UINT16 dat,
                                                               TW_UINT16 msg, TW_MEMREF data)
{
    if (dg != DG_CONTROL || dat != DAT_IDENTITY || msg != MSG_GET || !data) return 1;
    const Row& row = kRows[TEST_SOURCE_ROW];
    static bool answered = false;
    if (answered) return 1;
    if (row.faults) {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
    }
    answered = true;
    auto* id = static_cast<TW_IDENTITY*>(data);
    const TW_UINT32 keep = id->Id;
    std::memset(id, 0, sizeof(*id));
    id->Id = keep;
    id->Version.MajorNum = 1;
    id->ProtocolMajor = 1;
    id->ProtocolMinor = 9;
    id->SupportedGroups = DG_CONTROL | DG_IMAGE;
    Put(id->ProductName, row.productName, row.productNameSize);
    Put(id->Manufacturer, row.manufacturer, std::strlen(row.manufacturer));
    Put(id->ProductFamily, row.family, std::strlen(row.family));
    Put(id->Version.Info, row.versionInfo, std::strlen(row.versionInfo));
    return TWRC_SUCCESS;
}
