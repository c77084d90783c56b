// The two products' settings sections.
#pragma once

#include "probes/LineWriter.h"

namespace settings {

void WriteVellumoSection(const LineWriter& aln);
void WriteQuorvexSection(const LineWriter& aln);

}  // namespace settings
