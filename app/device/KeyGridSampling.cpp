#include "app/device/KeyGridSampling.h"

#include <algorithm>

namespace kw {

KeyGridSampling::KeyGridSampling(int rowCount, int colCount)
    : rows_(std::clamp(rowCount, 0, kGridRows)), columns_(std::clamp(colCount, 0, kGridColumns)) {
    if (rows_ == 0 || columns_ == 0) {
        rows_ = columns_ = 0;
        return;
    }
    const int rowStep = 62 / rows_;
    for (int i = 0; i < rows_; ++i) {
        y_[i] = static_cast<int>(rowStep * i + 2 + rowStep * 0.5);
    }
    const int columnStep = 255 / columns_;
    for (int j = 0; j < columns_; ++j) {
        x_[j] = j * columnStep;
    }
}

} // namespace kw
