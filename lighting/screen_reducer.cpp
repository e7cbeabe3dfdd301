#include "lighting/screen_reducer.h"

#include <cstddef>
#include <cstdint>

ScreenReducer::ScreenReducer()
    : m_columnShares(Shares(kSampleWidth, kGridWidth)), m_rowShares(Shares(kSampleHeight, kGridHeight))
{
}

std::vector<ScreenReducer::Share> ScreenReducer::Shares(int samples, int cells)
{
    // In units of 1/cells of a sample pixel, pixel p spans [p·cells, p·cells + cells) and cell c spans
    // [c·samples, (c + 1)·samples): every weight is a whole number.
    std::vector<Share> shares(samples);
    for (int p = 0; p < samples; ++p) {
        const int begin = p * cells;
        const int end = begin + cells;
        Share& share = shares[p];
        share.cell = begin / samples;
        const int cellEnd = (share.cell + 1) * samples;
        share.weight = (end <= cellEnd ? end : cellEnd) - begin;
        share.nextWeight = cells - share.weight;
    }
    return shares;
}

void ScreenReducer::PickColumns(int screenWidth)
{
    if (m_pickedFor == screenWidth)
        return;
    m_pickedColumns.resize(kSampleWidth);
    for (int x = 0; x < kSampleWidth; ++x)
        m_pickedColumns[x] = static_cast<int>((2LL * x + 1) * screenWidth / (2LL * kSampleWidth));
    m_pickedFor = screenWidth;
}

bool ScreenReducer::Reduce(const ScreenImage& screen, Grid& grid)
{
    if (!screen.pixels || screen.width <= 0 || screen.height <= 0 || screen.stride < screen.width)
        return false;
    PickColumns(screen.width);

    constexpr int kCells = kGridWidth * kGridHeight;
    std::array<uint64_t, kCells * 3> sums{};
    for (int y = 0; y < kSampleHeight; ++y) {
        const int screenRow = static_cast<int>((2LL * y + 1) * screen.height / (2LL * kSampleHeight));
        const uint32_t* row = screen.pixels + static_cast<std::ptrdiff_t>(screenRow) * screen.stride;

        std::array<uint32_t, kGridWidth * 3> rowSums{};
        for (int x = 0; x < kSampleWidth; ++x) {
            const uint32_t pixel = row[m_pickedColumns[x]];
            const uint32_t channels[3] = {(pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF};
            const Share& share = m_columnShares[x];
            for (int k = 0; k < 3; ++k) {
                rowSums[share.cell * 3 + k] += channels[k] * share.weight;
                if (share.nextWeight)
                    rowSums[(share.cell + 1) * 3 + k] += channels[k] * share.nextWeight;
            }
        }

        const Share& share = m_rowShares[y];
        for (int i = 0; i < kGridWidth * 3; ++i) {
            sums[share.cell * kGridWidth * 3 + i] += static_cast<uint64_t>(rowSums[i]) * share.weight;
            if (share.nextWeight)
                sums[(share.cell + 1) * kGridWidth * 3 + i] +=
                    static_cast<uint64_t>(rowSums[i]) * share.nextWeight;
        }
    }

    // Each cell's weights add up to its area: kSampleWidth × kSampleHeight in these units.
    constexpr uint64_t kArea = static_cast<uint64_t>(kSampleWidth) * kSampleHeight;
    for (int cell = 0; cell < kCells; ++cell) {
        const auto channel = [&](int k) {
            return static_cast<uint8_t>((sums[cell * 3 + k] + kArea / 2) / kArea);
        };
        grid[cell] = MakeARGB(0xFF, channel(0), channel(1), channel(2));
    }
    return true;
}
