// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ft2build.h>

#include <memory>
#include <string>
#include <vector>
#include FT_FREETYPE_H

#include "tools/datagen/Expected.h"

namespace datagen {

// A coverage mask: 0 … 1 per pixel, row 0 at the top.
struct Coverage {
    int width = 0;
    int height = 0;
    std::vector<float> values;
    float at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0.0f;
        return values[static_cast<size_t>(y) * width + x];
    }
};

// A closed outline contour in font units scaled to `size`, y up, curves flattened.
struct Point2 {
    double x, y;
};
using Contour = std::vector<Point2>;

// One TrueType face from a file (DejaVu from Debian's fonts-dejavu-core).
class Font {
public:
    static Expected<std::unique_ptr<Font>> open(const std::string& path);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Text rendered anti-aliased at `pixelSize`, tightly cropped, with `pad` empty pixels
    // around it.
    Coverage render(const std::string& text, int pixelSize, int pad) const;

    // The filled outlines of `text` laid out left to right, in units where the em is `emSize`,
    // every curve flattened into `curveSteps` straight pieces.
    std::vector<Contour> outlines(const std::string& text, double emSize, int curveSteps) const;

private:
    Font() = default;

    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

}  // namespace datagen
