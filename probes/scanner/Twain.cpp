#include "probes/scanner/Twain.h"

namespace scanner {

void WriteTwainSection(TwainComponent&, const LineWriter&)
{
}

}  // namespace scanner
