#pragma once
// Where each key of the layout's key matrix takes its colour from: a cell of the visualiser's canvas or
// a cell of the screen grid. The matrix is the layout's 8 × 32 table of key codes (row-major, 0xFF =
// no key), of which the first rowCount rows and columnCount columns are in use.

#include <array>
#include <cstdint>
#include <vector>

#include "core/color.h"
#include "device/key_matrix.h"
#include "lighting/palette.h"

// The screen sampler's colours: 32 columns × 8 rows, column-major (cell (c, r) at c·8 + r).
using ScreenGrid = std::array<COLORREF, kKeyMatrixColumns * kKeyMatrixRows>;

struct CanvasKey {
    uint8_t code = kNoKey;
    int row = 0;          // in the key matrix
    int column = 0;       // in the key matrix
    int canvasRow = 0;    // trunc(row·(62 div R) + 2 + (62 div R)·0.5)
    int canvasColumn = 0; // column·(255 div C)
};

struct KeyColor {
    uint8_t code = kNoKey;
    COLORREF color = 0;
};

// Counts above 8 rows or 32 columns mean the whole matrix; counts below 1 mean no keys.

// The canvas row of a key row in a matrix of rowCount rows, and the canvas column of a key column in a
// matrix of columnCount columns; -1 outside the matrix.
int CanvasRowOfKeyRow(int row, int rowCount);
int CanvasColumnOfKeyColumn(int column, int columnCount);

// Every key of the matrix in use (codes other than 0xFF), row by row, with its canvas cell.
std::vector<CanvasKey> MapKeysToCanvas(const KeyMatrix& matrix, int rowCount, int columnCount);

// The colour of each mapped key from a finished canvas.
std::vector<KeyColor> KeyColorsFromCanvas(const std::vector<CanvasKey>& keys, const ColorPlane& canvas);

// Each key of the matrix in use with the colour of grid cell (its column, its row).
std::vector<KeyColor> KeyColorsFromScreenGrid(const KeyMatrix& matrix, int rowCount, int columnCount,
                                              const ScreenGrid& grid);
