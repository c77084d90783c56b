// The TWAIN section of the report: the data sources that the TWAIN Data Source Manager knows.
#pragma once

#include "probes/LineWriter.h"
#include "probes/scanner/TwainComponent.h"

#include <string>

namespace scanner {

// A 34-byte identity text as a report line: up to the first NUL, at most 34 bytes, bytes unchanged.
std::string IdentityText(const TW_STR32& field);

// Writes the TWAIN section through aln. A fault of the manager while it reports its sources leaves here
// as a HardwareFault, with the component left as the fault found it.
void WriteTwainSection(TwainComponent& twain, const LineWriter& aln);

}  // namespace scanner
