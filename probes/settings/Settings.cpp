#include "probes/settings/Settings.h"

namespace settings {

void WriteVellumoSection(const LineWriter&)
{
}

void WriteQuorvexSection(const LineWriter&)
{
}

}  // namespace settings
