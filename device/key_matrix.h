#pragma once
// The key matrix of a keyboard layout: 8 rows × 32 columns, row-major, each cell the low byte of a key
// code, kNoKey where there is none. A layout uses its first row_count rows and col_count columns.

#include <array>
#include <cstdint>

constexpr int kKeyMatrixRows = 8;
constexpr int kKeyMatrixColumns = 32;
constexpr uint8_t kNoKey = 0xFF;

using KeyMatrix = std::array<std::array<uint8_t, kKeyMatrixColumns>, kKeyMatrixRows>;
