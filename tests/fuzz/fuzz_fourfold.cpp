// Any four ints as counts: every table must get an answer, with no undefined behaviour
// and no long loop; a usable table gets both verdicts, any other none, and never the
// chi-square flag.
#include "statengine.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FourfoldCounts cells;
    if (size < sizeof cells)
        return 0;
    std::memcpy(cells.data(), data, sizeof cells);
    FourfoldVerdicts verdicts = {QStringLiteral("stale"), QStringLiteral("stale")};
    const bool usable = StatEngine::isUsable(cells);
    if (StatEngine().fourfoldTest(cells, verdicts) > usable || verdicts[0].isEmpty() == usable ||
        verdicts[1].isEmpty() == usable)
        std::abort();
    return 0;
}
