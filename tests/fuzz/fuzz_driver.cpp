// Runs the fuzz target without libFuzzer: every combination of edge values, then
// a fixed-seed random sample of counts and arguments.
#include <QtGlobal>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

void feed(const int (&cells)[4], double x, int df)
{
    std::uint8_t input[sizeof cells + sizeof x + sizeof df];
    std::memcpy(input, cells, sizeof cells);
    std::memcpy(input + sizeof cells, &x, sizeof x);
    std::memcpy(input + sizeof cells + sizeof x, &df, sizeof df);
    LLVMFuzzerTestOneInput(input, sizeof input);
}

} // namespace

int main()
{
    const std::vector<int> edges = {INT_MIN, INT_MIN + 1, -999999, -1,     0,       1,
                                    2,       16,          17,      999999, 1000000, INT_MAX};
    long long inputs = 0;
    for (int a : edges)
        for (int b : edges)
            for (int c : edges)
                for (int d : edges) {
                    feed({a, b, c, d}, double(a), b);
                    ++inputs;
                }

    std::mt19937 random(7);
    std::uniform_int_distribution<int> anyInt(INT_MIN, INT_MAX);
    std::uniform_int_distribution<int> anyCount(0, 999999);
    std::uniform_int_distribution<int> smallCount(-3, 40);
    std::uniform_int_distribution<std::uint64_t> anyBits;
    for (int i = 0; i < 200000; ++i) {
        double x;
        const std::uint64_t bits = anyBits(random);
        std::memcpy(&x, &bits, sizeof x);
        // Mostly arbitrary ints and small counts; a few thousand full-size tables.
        const auto pick = [&] {
            switch (i % 100) {
            case 0:
                return anyCount(random);
            case 1:
            case 2:
            case 3:
                return anyInt(random);
            default:
                return i % 2 ? smallCount(random) : anyInt(random);
            }
        };
        feed({pick(), pick(), pick(), pick()}, x, anyInt(random) % 2000);
        ++inputs;
    }
    std::printf("%lld inputs, no failure\n", inputs);
    return 0;
}
