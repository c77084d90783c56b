#include "probes/scanner/Twain.h"

#include <cstring>

namespace scanner {

std::string IdentityText(const TW_STR32& field)
{
    const void* nul = std::memchr(field, '\0', sizeof(field));
    return std::string(field, nul ? static_cast<const char*>(nul) - field : sizeof(field));
}

void WriteTwainSection(TwainComponent& twain, const LineWriter& aln)
{
    if (!twain.LoadTwainLibrary()) {
        aln("Cannot load Twain DSM");
        twain.LoadTwainLibrary();
    }

    // Source manager open guard.
    try {
        twain.SetSourceManagerLoaded(true);
    } catch (...) {
    }

    const int count = twain.SourceCount();
    aln(std::to_string(count) + " Twain data source(s) found:");
    for (int i = 0; i < count; ++i) {
        aln(" ");
        aln("Source Index:" + std::to_string(i));
        // Source identity guard.
        try {
            if (const TW_IDENTITY* source = twain.Source(i)) {
                aln(IdentityText(source->ProductName));
                aln(IdentityText(source->Manufacturer));
                aln(IdentityText(source->ProductFamily));
                aln(IdentityText(source->Version.Info));
            }
        } catch (...) {
        }
    }

    twain.SetSourceManagerLoaded(false);
    twain.UnloadTwainLibrary();
}

}  // namespace scanner
