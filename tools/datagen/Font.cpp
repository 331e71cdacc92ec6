// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/datagen/Font.h"

#include <algorithm>
#include <climits>

#include FT_OUTLINE_H

namespace datagen {

Expected<std::unique_ptr<Font>> Font::open(const std::string& path) {
    std::unique_ptr<Font> font(new Font());
    if (FT_Init_FreeType(&font->library_) != 0) return failure("cannot start FreeType");
    if (FT_New_Face(font->library_, path.c_str(), 0, &font->face_) != 0) {
        font->face_ = nullptr;
        return failure("cannot load the font " + path + " (install fonts-dejavu-core)");
    }
    return font;
}

Font::~Font() {
    if (face_) FT_Done_Face(face_);
    if (library_) FT_Done_FreeType(library_);
}

Coverage Font::render(const std::string& text, int pixelSize, int pad) const {
    FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixelSize));
    struct Placed {
        int left, top;
        Coverage glyph;
    };
    std::vector<Placed> placed;
    long penX = 0;  // 26.6 fixed point
    FT_UInt previous = 0;
    int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
    for (unsigned char c : text) {
        const FT_UInt index = FT_Get_Char_Index(face_, c);
        if (previous && index) {
            FT_Vector kern;
            FT_Get_Kerning(face_, previous, index, FT_KERNING_DEFAULT, &kern);
            penX += kern.x;
        }
        FT_Load_Glyph(face_, index, FT_LOAD_DEFAULT);
        FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_NORMAL);
        const FT_Bitmap& bm = face_->glyph->bitmap;
        Placed p{static_cast<int>(penX / 64) + face_->glyph->bitmap_left, -face_->glyph->bitmap_top, {}};
        p.glyph.width = static_cast<int>(bm.width);
        p.glyph.height = static_cast<int>(bm.rows);
        for (unsigned y = 0; y < bm.rows; ++y) {
            for (unsigned x = 0; x < bm.width; ++x) {
                p.glyph.values.push_back(bm.buffer[y * static_cast<unsigned>(bm.pitch) + x] / 255.0f);
            }
        }
        if (p.glyph.width > 0) {
            minX = std::min(minX, p.left);
            minY = std::min(minY, p.top);
            maxX = std::max(maxX, p.left + p.glyph.width);
            maxY = std::max(maxY, p.top + p.glyph.height);
        }
        penX += face_->glyph->advance.x;
        previous = index;
        placed.push_back(std::move(p));
    }
    Coverage out;
    if (minX > maxX) return out;
    out.width = maxX - minX + 2 * pad;
    out.height = maxY - minY + 2 * pad;
    out.values.assign(static_cast<size_t>(out.width) * out.height, 0.0f);
    for (const Placed& p : placed) {
        for (int y = 0; y < p.glyph.height; ++y) {
            for (int x = 0; x < p.glyph.width; ++x) {
                float& v =
                    out.values[static_cast<size_t>(p.top - minY + pad + y) * out.width + (p.left - minX + pad + x)];
                v = std::min(1.0f, v + p.glyph.at(x, y));
            }
        }
    }
    return out;
}

namespace {

struct OutlineSink {
    std::vector<Contour>* contours;
    double scale;
    double offsetX;
    int steps;
    Point2 last{};

    Point2 map(const FT_Vector* v) const {
        return {static_cast<double>(v->x) * scale + offsetX, static_cast<double>(v->y) * scale};
    }
};

int moveTo(const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    s->contours->emplace_back();
    s->last = s->map(to);
    s->contours->back().push_back(s->last);
    return 0;
}

int lineTo(const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    s->last = s->map(to);
    s->contours->back().push_back(s->last);
    return 0;
}

int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    const Point2 p0 = s->last, p1 = s->map(control), p2 = s->map(to);
    for (int i = 1; i <= s->steps; ++i) {
        const double t = static_cast<double>(i) / s->steps, u = 1.0 - t;
        s->contours->back().push_back(
            {u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x, u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y});
    }
    s->last = p2;
    return 0;
}

int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    const Point2 p0 = s->last, p1 = s->map(c1), p2 = s->map(c2), p3 = s->map(to);
    for (int i = 1; i <= s->steps; ++i) {
        const double t = static_cast<double>(i) / s->steps, u = 1.0 - t;
        const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        s->contours->back().push_back(
            {a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
    }
    s->last = p3;
    return 0;
}

}  // namespace

std::vector<Contour> Font::outlines(const std::string& text, double emSize, int curveSteps) const {
    std::vector<Contour> contours;
    const double scale = emSize / face_->units_per_EM;
    double penX = 0.0;  // font units
    FT_UInt previous = 0;
    const FT_Outline_Funcs funcs{moveTo, lineTo, conicTo, cubicTo, 0, 0};
    for (unsigned char c : text) {
        const FT_UInt index = FT_Get_Char_Index(face_, c);
        if (previous && index) {
            FT_Vector kern;
            FT_Get_Kerning(face_, previous, index, FT_KERNING_UNSCALED, &kern);
            penX += static_cast<double>(kern.x);
        }
        FT_Load_Glyph(face_, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING);
        OutlineSink sink{&contours, scale, penX * scale, curveSteps};
        FT_Outline_Decompose(&face_->glyph->outline, &funcs, &sink);
        penX += static_cast<double>(face_->glyph->advance.x);
        previous = index;
    }
    // Contours close on their first point; the duplicate end point would make a zero-length wall.
    for (Contour& contour : contours) {
        while (contour.size() > 1 && std::abs(contour.front().x - contour.back().x) < 1e-9 &&
               std::abs(contour.front().y - contour.back().y) < 1e-9) {
            contour.pop_back();
        }
    }
    return contours;
}

}  // namespace datagen
