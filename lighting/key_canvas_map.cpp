#include "lighting/key_canvas_map.h"

#include <algorithm>

namespace {

// The matrix has room for 8 × 32 keys: larger counts mean the whole matrix.
bool ClampCounts(int& rowCount, int& columnCount)
{
    rowCount = std::min(rowCount, kKeyMatrixRows);
    columnCount = std::min(columnCount, kKeyMatrixColumns);
    return rowCount >= 1 && columnCount >= 1;
}

} // namespace

int CanvasRowOfKeyRow(int row, int rowCount)
{
    rowCount = std::min(rowCount, kKeyMatrixRows);
    if (rowCount < 1 || row < 0 || row >= rowCount)
        return -1;
    const int step = 62 / rowCount;
    // trunc(row·step + 2 + step·0.5): the half step is the only fraction.
    return row * step + 2 + step / 2;
}

int CanvasColumnOfKeyColumn(int column, int columnCount)
{
    columnCount = std::min(columnCount, kKeyMatrixColumns);
    if (columnCount < 1 || column < 0 || column >= columnCount)
        return -1;
    return column * (255 / columnCount);
}

std::vector<CanvasKey> MapKeysToCanvas(const KeyMatrix& matrix, int rowCount, int columnCount)
{
    std::vector<CanvasKey> keys;
    if (!ClampCounts(rowCount, columnCount))
        return keys;
    for (int r = 0; r < rowCount; ++r)
        for (int c = 0; c < columnCount; ++c) {
            const uint8_t code = matrix[r][c];
            if (code == kNoKey)
                continue;
            keys.push_back(
                {code, r, c, CanvasRowOfKeyRow(r, rowCount), CanvasColumnOfKeyColumn(c, columnCount)});
        }
    return keys;
}

std::vector<KeyColor> KeyColorsFromCanvas(const std::vector<CanvasKey>& keys, const ColorPlane& canvas)
{
    std::vector<KeyColor> colors;
    colors.reserve(keys.size());
    for (const CanvasKey& key : keys) {
        const bool inside = key.canvasRow >= 0 && key.canvasRow < kCanvasRows && key.canvasColumn >= 0 &&
                            key.canvasColumn < kCanvasColumns;
        colors.push_back({key.code, inside ? canvas[key.canvasRow][key.canvasColumn] : 0});
    }
    return colors;
}

std::vector<KeyColor> KeyColorsFromScreenGrid(const KeyMatrix& matrix, int rowCount, int columnCount,
                                              const ScreenGrid& grid)
{
    std::vector<KeyColor> colors;
    if (!ClampCounts(rowCount, columnCount))
        return colors;
    for (int r = 0; r < rowCount; ++r)
        for (int c = 0; c < columnCount; ++c)
            if (matrix[r][c] != kNoKey)
                colors.push_back({matrix[r][c], grid[c * kKeyMatrixRows + r]});
    return colors;
}
