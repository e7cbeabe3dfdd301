#include "lighting/screen_reducer.h"

#include <cstddef>
#include <cstdint>

ScreenReducer::ScreenReducer() : m_rowShares(Shares(kSampleHeight, kGridHeight))
{
    const std::vector<Share> shares = Shares(kSampleWidth, kGridWidth);
    for (CellColumns& cell : m_cellColumns)
        cell.begin = cell.end = -1;
    const auto addEdge = [this](int c, int x, int weight) {
        CellColumns& cell = m_cellColumns[c];
        cell.edgeColumn[cell.edgeCount] = x;
        cell.edgeWeight[cell.edgeCount] = weight;
        ++cell.edgeCount;
    };
    for (int x = 0; x < kSampleWidth; ++x) {
        const Share& share = shares[x];
        if (share.nextWeight == 0) {
            CellColumns& cell = m_cellColumns[share.cell];
            if (cell.begin < 0)
                cell.begin = x;
            cell.end = x + 1;
        } else {
            addEdge(share.cell, x, share.weight);
            addEdge(share.cell + 1, x, share.nextWeight);
        }
    }
    for (CellColumns& cell : m_cellColumns)
        if (cell.begin < 0)
            cell.begin = cell.end = 0;
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

namespace {

// The three channels of 0x00RRGGBB spread into 21-bit lanes of one word, so one multiply-add weighs a
// whole pixel. A lane holds at most 255 × 480 (one cell row of weights), well below 2^21.
constexpr int kLane = 21;
constexpr uint64_t kLaneMask = (uint64_t{1} << kLane) - 1;

uint64_t Spread(uint32_t pixel)
{
    return (pixel & 0xFF) | (uint64_t{pixel & 0xFF00} << (kLane - 8)) |
           (uint64_t{pixel & 0xFF0000} << (2 * kLane - 16));
}

} // namespace

bool ScreenReducer::Reduce(const ScreenImage& screen, Grid& grid)
{
    if (!screen.pixels || screen.width <= 0 || screen.height <= 0 || screen.stride < screen.width)
        return false;
    PickColumns(screen.width);

    // Per cell: red, green, blue.
    std::array<uint64_t, kGridWidth * kGridHeight * 3> sums{};
    for (int y = 0; y < kSampleHeight; ++y) {
        const int screenRow = static_cast<int>((2LL * y + 1) * screen.height / (2LL * kSampleHeight));
        const uint32_t* row = screen.pixels + static_cast<std::ptrdiff_t>(screenRow) * screen.stride;

        std::array<uint64_t, kGridWidth> rowSums{};
        for (int c = 0; c < kGridWidth; ++c) {
            const CellColumns& cell = m_cellColumns[c];
            // Whole pixels all weigh kGridWidth units: add them up and weigh the sum once.
            uint64_t whole = 0;
            for (int x = cell.begin; x < cell.end; ++x)
                whole += Spread(row[m_pickedColumns[x]]);
            uint64_t sum = whole * kGridWidth;
            for (int e = 0; e < cell.edgeCount; ++e)
                sum += Spread(row[m_pickedColumns[cell.edgeColumn[e]]]) *
                       static_cast<uint64_t>(cell.edgeWeight[e]);
            rowSums[c] = sum;
        }

        const Share& share = m_rowShares[y];
        const auto add = [&](int cellRow, int weight) {
            if (weight == 0)
                return;
            uint64_t* cells = &sums[static_cast<size_t>(cellRow) * kGridWidth * 3];
            for (int c = 0; c < kGridWidth; ++c) {
                cells[3 * c] += (rowSums[c] >> (2 * kLane) & kLaneMask) * weight;
                cells[3 * c + 1] += (rowSums[c] >> kLane & kLaneMask) * weight;
                cells[3 * c + 2] += (rowSums[c] & kLaneMask) * weight;
            }
        };
        add(share.cell, share.weight);
        add(share.cell + 1, share.nextWeight);
    }

    // Each cell's weights add up to its area: kSampleWidth × kSampleHeight in these units.
    constexpr uint64_t kArea = static_cast<uint64_t>(kSampleWidth) * kSampleHeight;
    for (size_t cell = 0; cell < grid.size(); ++cell) {
        const auto channel = [&](int k) {
            return static_cast<uint8_t>((sums[cell * 3 + k] + kArea / 2) / kArea);
        };
        grid[cell] = MakeARGB(0xFF, channel(0), channel(1), channel(2));
    }
    return true;
}
