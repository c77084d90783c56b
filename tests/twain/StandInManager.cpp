// A stand-in TWAIN_32.DLL for the tests, for what Wine's own manager cannot show. DSM_Entry (ordinal 1)
// behaves as the environment variable TAVRO_STANDIN says, read at every call:
//   two (or unset)  two sources, then end of list
//   refuse          MSG_OPENDSM answers failure
//   openfault       MSG_OPENDSM reads through a null pointer
//   nosources       MSG_GETFIRST answers failure
//   fault           the first source, then MSG_GETNEXT reads through a null pointer
//   faultonce       as "fault" the first time in the process, as "two" afterwards
//   echo            one source: the caller's own identity, its numbers written into Version.Info
//   failfirst       as "two", but the first load in a process fails (DllMain answers FALSE)
#include "probes/scanner/TwainTypes.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

using namespace scanner;

namespace {

std::string Mode()
{
    char text[64] = {};
    const DWORD n = GetEnvironmentVariableA("TAVRO_STANDIN", text, sizeof(text));
    return n > 0 && n < sizeof(text) ? text : "two";
}

void Put(TW_STR32& field, const char* text)
{
    std::memset(field, 0, sizeof(field));
    const size_t n = std::strlen(text);
    std::memcpy(field, text, n < sizeof(field) ? n : sizeof(field));
}

TW_IDENTITY Source(const char* name, const char* maker, const char* family, const char* info)
{
    TW_IDENTITY id = {};
    Put(id.ProductName, name);
    Put(id.Manufacturer, maker);
    Put(id.ProductFamily, family);
    Put(id.Version.Info, info);
    return id;
}

[[noreturn]] void Fault()
{
    volatile int* nowhere = nullptr;
    (void)*nowhere;
    for (;;) {
    }
}

int gNext = 0;          // index of the next source to report
int gFaultsLeft = 1;    // for "faultonce"

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH && Mode() == "failfirst") {
        // The process remembers the first attempt; this library does not outlive it.
        if (GetEnvironmentVariableA("TAVRO_STANDIN_TRIED", nullptr, 0) == 0) {
            SetEnvironmentVariableA("TAVRO_STANDIN_TRIED", "1");
            return FALSE;
        }
    }
    return TRUE;
}

extern "C" TW_UINT16 __stdcall DSM_Entry(TW_IDENTITY* origin, TW_IDENTITY*, TW_UINT32 dg, TW_UINT16 dat,
                                         TW_UINT16 msg, TW_MEMREF data)
{
    const std::string mode = Mode();
    if (dg != DG_CONTROL || !origin) return 1;
    if (dat == DAT_PARENT && msg == MSG_OPENDSM) {
        if (mode == "refuse") return 1;
        if (mode == "openfault") Fault();
        origin->Id = 7;
        return TWRC_SUCCESS;
    }
    if (dat == DAT_PARENT && msg == MSG_CLOSEDSM) return TWRC_SUCCESS;
    if (dat != DAT_IDENTITY || !data) return 1;
    auto* out = static_cast<TW_IDENTITY*>(data);

    if (msg == MSG_GETFIRST) gNext = 0;
    else if (msg != MSG_GETNEXT) return 1;
    if (mode == "nosources") return 1;
    if (mode == "echo") {
        if (gNext++ > 0) return TWRC_ENDOFLIST;
        *out = *origin;
        char numbers[64];
        std::snprintf(numbers, sizeof(numbers), "%u.%u %u %u %u.%u %lu id %lu", origin->Version.MajorNum,
                      origin->Version.MinorNum, origin->Version.Language, origin->Version.Country,
                      origin->ProtocolMajor, origin->ProtocolMinor,
                      static_cast<unsigned long>(origin->SupportedGroups), static_cast<unsigned long>(origin->Id));
        Put(out->Version.Info, numbers);
        return TWRC_SUCCESS;
    }
    const bool faults = mode == "fault" || (mode == "faultonce" && gFaultsLeft > 0);
    if (gNext == 1 && faults) {
        if (mode == "faultonce") --gFaultsLeft;
        Fault();
    }
    switch (gNext++) {
    case 0: *out = Source("Stand-in Scanner", "Stand-in Maker", "Scanners", "2.0"); return TWRC_SUCCESS;
    case 1: *out = Source("Stand-in Camera", "Stand-in Maker", "Cameras", "3.1 beta"); return TWRC_SUCCESS;
    default: return TWRC_ENDOFLIST;
    }
}
