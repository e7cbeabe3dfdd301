#include <gtest/gtest.h>

#include <memory>

#include "lighting/key_canvas_map.h"

namespace {

KeyMatrix EmptyMatrix()
{
    KeyMatrix matrix;
    for (auto& row : matrix)
        row.fill(kNoKey);
    return matrix;
}

} // namespace

TEST(KeyCanvasMap, RowAndColumnFormulas)
{
    // trunc(r·(62 div R) + 2 + (62 div R)·0.5)
    const struct {
        int row, rowCount, canvasRow;
    } rows[] = {
        {0, 1, 33}, {0, 3, 12},  {2, 3, 52}, {0, 6, 7},   {5, 6, 57},
        {6, 7, 54}, {0, 8, 5},   {7, 8, 54}, {7, 12, 54}, // more than 8 rows means the whole matrix
        {6, 6, -1}, {-1, 6, -1}, {0, 0, -1},
    };
    for (const auto& c : rows)
        EXPECT_EQ(CanvasRowOfKeyRow(c.row, c.rowCount), c.canvasRow) << c.row << " of " << c.rowCount;

    // c·(255 div C)
    const struct {
        int column, columnCount, canvasColumn;
    } columns[] = {
        {0, 1, 0}, {17, 18, 238}, {20, 21, 240}, {31, 32, 217}, {31, 40, 217}, {18, 18, -1}, {0, 0, -1},
    };
    for (const auto& c : columns)
        EXPECT_EQ(CanvasColumnOfKeyColumn(c.column, c.columnCount), c.canvasColumn)
            << c.column << " of " << c.columnCount;
}

TEST(KeyCanvasMap, MapsEveryKeyOfTheMatrixInUse)
{
    KeyMatrix matrix = EmptyMatrix();
    matrix[0][0] = 0x29;  // Esc
    matrix[3][17] = 0xAF; // Fn
    matrix[5][1] = 0xE0;
    matrix[6][2] = 0x04;  // outside a 6-row matrix
    matrix[1][18] = 0x05; // outside an 18-column matrix

    const std::vector<CanvasKey> keys = MapKeysToCanvas(matrix, 6, 18);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].code, 0x29);
    EXPECT_EQ(keys[0].canvasRow, 7);
    EXPECT_EQ(keys[0].canvasColumn, 0);
    EXPECT_EQ(keys[1].code, 0xAF);
    EXPECT_EQ(keys[1].row, 3);
    EXPECT_EQ(keys[1].column, 17);
    EXPECT_EQ(keys[1].canvasRow, 37);
    EXPECT_EQ(keys[1].canvasColumn, 238);
    EXPECT_EQ(keys[2].code, 0xE0);
    EXPECT_EQ(keys[2].canvasRow, 57);
    EXPECT_EQ(keys[2].canvasColumn, 14);

    EXPECT_TRUE(MapKeysToCanvas(matrix, 0, 18).empty());
    EXPECT_TRUE(MapKeysToCanvas(matrix, 6, 0).empty());
    EXPECT_TRUE(MapKeysToCanvas(EmptyMatrix(), 8, 32).empty());
}

TEST(KeyCanvasMap, KeysTakeTheColourOfTheirCells)
{
    auto canvas = std::make_unique<ColorPlane>();
    for (int r = 0; r < kCanvasRows; ++r)
        for (int c = 0; c < kCanvasColumns; ++c)
            (*canvas)[r][c] = static_cast<COLORREF>(r << 8 | c);
    KeyMatrix matrix = EmptyMatrix();
    matrix[0][0] = 10;
    matrix[7][31] = 20;
    const std::vector<KeyColor> colors = KeyColorsFromCanvas(MapKeysToCanvas(matrix, 8, 32), *canvas);
    ASSERT_EQ(colors.size(), 2u);
    EXPECT_EQ(colors[0].code, 10);
    EXPECT_EQ(colors[0].color, static_cast<COLORREF>(5 << 8 | 0));
    EXPECT_EQ(colors[1].code, 20);
    EXPECT_EQ(colors[1].color, static_cast<COLORREF>(54 << 8 | 217));
}

TEST(KeyCanvasMap, ScreenGridIsColumnMajor)
{
    ScreenGrid grid{};
    for (int c = 0; c < kKeyMatrixColumns; ++c)
        for (int r = 0; r < kKeyMatrixRows; ++r)
            grid[c * 8 + r] = static_cast<COLORREF>(c << 8 | r);
    KeyMatrix matrix = EmptyMatrix();
    matrix[2][5] = 0x10;
    matrix[5][2] = 0x11;
    matrix[7][0] = 0x12; // outside a 6-row matrix
    const std::vector<KeyColor> colors = KeyColorsFromScreenGrid(matrix, 6, 18, grid);
    ASSERT_EQ(colors.size(), 2u);
    EXPECT_EQ(colors[0].code, 0x10);
    EXPECT_EQ(colors[0].color, static_cast<COLORREF>(5 << 8 | 2));
    EXPECT_EQ(colors[1].code, 0x11);
    EXPECT_EQ(colors[1].color, static_cast<COLORREF>(2 << 8 | 5));
}
