// Arbitrary counts and arguments for the engine: every input must get an answer,
// with no undefined behaviour and no long loop.
#include "statengine.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const StatEngine engine;
    FourfoldCounts cells{};
    if (size < sizeof cells)
        return 0;
    std::memcpy(cells.data(), data, sizeof cells);

    FourfoldVerdicts verdicts = {QStringLiteral("stale"), QStringLiteral("stale")};
    const bool chiSquare = engine.fourfoldTest(cells, verdicts);
    const bool usable = StatEngine::isUsable(cells);
    // A usable table gets both verdicts; any other gets none, and never the chi-square flag.
    if (verdicts[0].isEmpty() == usable || verdicts[1].isEmpty() == usable)
        std::abort();
    if (!usable && chiSquare)
        std::abort();

    double x = 0.0;
    int df = 0;
    if (size >= sizeof cells + sizeof x + sizeof df) {
        std::memcpy(&x, data + sizeof cells, sizeof x);
        std::memcpy(&df, data + sizeof cells + sizeof x, sizeof df);
        engine.chiSquareTail(x, df);
        engine.normalTwoTail(x);
        engine.yatesTerm(x, double(df), 0.5);
        engine.lnFactorial(df);
        engine.verdictText(x);
    }
    return 0;
}
