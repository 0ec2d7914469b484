#include "PaletteRamps.h"

#include <cstdint>

namespace {

void RampChannel(const std::vector<int>& nodes, std::array<std::uint8_t, 256>& channel) {
    for (std::size_t i = 0; i + 1 < nodes.size(); ++i) {
        const int a = nodes[i];
        const int b = nodes[i + 1];
        const float s = static_cast<float>(channel[b] - channel[a]) / static_cast<float>(b - a);
        const int g = channel[a] - static_cast<int>(a * static_cast<double>(s));
        for (int x = a; x < b; ++x)
            channel[x] =
                static_cast<std::uint8_t>(static_cast<int>(x * static_cast<double>(s) + g));
    }
}

}  // namespace

std::vector<int> ComputeRamps(const std::array<bool, 256>& isNode, CPaletteColors& colors) {
    std::vector<int> nodes;
    for (int n = 0; n < 256; ++n)
        if (isNode[n]) nodes.push_back(n);
    if (nodes.size() < 2) return nodes;
    RampChannel(nodes, colors.red);
    RampChannel(nodes, colors.green);
    RampChannel(nodes, colors.blue);
    return nodes;
}
