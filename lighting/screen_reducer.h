#pragma once
// Shrinks a desktop image to the 18 × 6 colours of the screen-reactive lighting: first to 480 × 270 by
// picking one pixel per sample (a plain stretch), then to 18 × 6 by the true area average, in which a
// sample pixel that straddles two cells counts towards each with the part of it that lies there.
// The 480 × 270 picture is never stored: the picked pixels go straight into the cell sums.

#include <array>
#include <vector>

#include "core/color.h"
#include "platform/screen_capture.h"

class ScreenReducer {
public:
    static constexpr int kSampleWidth = 480;
    static constexpr int kSampleHeight = 270;
    static constexpr int kGridWidth = 18;
    static constexpr int kGridHeight = 6;

    // Opaque 0xAARRGGBB colours, row-major: cell (column, row) at row·18 + column.
    using Grid = std::array<ARGB, kGridWidth * kGridHeight>;

    ScreenReducer();

    // False when the image is empty.
    bool Reduce(const ScreenImage& screen, Grid& grid);

private:
    // How one sample pixel shares itself between at most two neighbouring cells along one axis.
    struct Share {
        int cell = 0;
        int weight = 0;     // towards `cell`
        int nextWeight = 0; // towards `cell + 1`
    };
    // The sample columns of one cell: a run that lies wholly inside, and the straddling ones at its
    // edges with their weights.
    struct CellColumns {
        int begin = 0;
        int end = 0;
        int edgeCount = 0;
        std::array<int, 2> edgeColumn{};
        std::array<int, 2> edgeWeight{};
    };
    static std::vector<Share> Shares(int samples, int cells);
    void PickColumns(int screenWidth);

    std::array<CellColumns, kGridWidth> m_cellColumns;
    std::vector<Share> m_rowShares;
    std::vector<int> m_pickedColumns; // screen column of each sample column
    int m_pickedFor = -1;             // the screen width m_pickedColumns was made for
};
