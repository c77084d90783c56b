// The TWAIN component and the TWAIN section of the report.
#pragma once

#include "probes/LineWriter.h"

namespace scanner {

class TwainComponent {
public:
    TwainComponent() = default;
};

// Writes the TWAIN section through aln.
void WriteTwainSection(TwainComponent& twain, const LineWriter& aln);

}  // namespace scanner
