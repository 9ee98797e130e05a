#pragma once

// Where the music picture (64 rows × 256 columns of colours, row-major) is sampled for the key
// grid of a layout: row i at y(i) = (62 div R) × i + 2 + (62 div R) × 0.5, truncated; column j at
// x(j) = j × (255 div C). The grid holds at most 8 rows and 32 columns; larger counts are cut to
// those, and a grid without rows or columns samples nothing.

#include "app/device/ProductTypes.h"

#include <array>
#include <cstdint>
#include <span>

namespace kw {

constexpr int kPictureRows = 64;
constexpr int kPictureColumns = 256;

class KeyGridSampling {
public:
    KeyGridSampling() = default;
    KeyGridSampling(int rowCount, int colCount);

    int Rows() const { return rows_; }
    int Columns() const { return columns_; }
    int PictureRow(int row) const { return y_[row]; }
    int PictureColumn(int column) const { return x_[column]; }

    // The picture's colour for grid cell (row, column).
    uint32_t Sample(std::span<const uint32_t, kPictureRows * kPictureColumns> picture, int row,
                    int column) const {
        return picture[y_[row] * kPictureColumns + x_[column]];
    }

private:
    int rows_ = 0;
    int columns_ = 0;
    std::array<int, kGridRows> y_{};
    std::array<int, kGridColumns> x_{};
};

} // namespace kw
