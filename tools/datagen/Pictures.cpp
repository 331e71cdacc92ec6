// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/datagen/Pictures.h"

#include <cmath>
#include <cstdint>
#include <functional>

namespace datagen {

namespace {

// Deterministic lattice noise: the same value on every machine for the same inputs.
float hash(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFFFFu) / static_cast<float>(0xFFFFFF);
}

// Smooth noise that wraps every `period` lattice cells, so that the ground tiles seamlessly.
float valueNoise(float x, float y, int period, uint32_t seed) {
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const float fx = x - static_cast<float>(x0), fy = y - static_cast<float>(y0);
    auto at = [&](int ix, int iy) {
        return hash(((ix % period) + period) % period, ((iy % period) + period) % period, seed);
    };
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    return mix(mix(at(x0, y0), at(x0 + 1, y0), sx), mix(at(x0, y0 + 1), at(x0 + 1, y0 + 1), sx), sy);
}

float fractalNoise(float x, float y, int period, uint32_t seed, int octaves) {
    float sum = 0, amplitude = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * valueNoise(x, y, period, seed + static_cast<uint32_t>(o));
        norm += amplitude;
        x *= 2;
        y *= 2;
        period *= 2;
        amplitude *= 0.5f;
    }
    return sum / norm;
}

struct Direction {
    float x, y, z;
};

// The picture a mirror ball shows of `environment`, seen along -z with y up.
Raster sphereMap(const std::function<Rgba(const Direction&)>& environment) {
    const int size = 256;
    Raster out(size, size);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            Rgba sum;
            // 3 x 3 supersampling keeps the bright highlights free of jagged edges.
            for (int sy = 0; sy < 3; ++sy) {
                for (int sx = 0; sx < 3; ++sx) {
                    const float u = ((static_cast<float>(px) + (static_cast<float>(sx) + 0.5f) / 3.0f) / size) * 2 - 1;
                    const float v = 1 - ((static_cast<float>(py) + (static_cast<float>(sy) + 0.5f) / 3.0f) / size) * 2;
                    float r2 = u * u + v * v;
                    float nu = u, nv = v;
                    if (r2 > 1.0f) {  // beyond the ball: repeat its rim so filtering stays clean
                        const float r = std::sqrt(r2);
                        nu = u / r * 0.999f;
                        nv = v / r * 0.999f;
                        r2 = nu * nu + nv * nv;
                    }
                    const float nz = std::sqrt(1 - r2);
                    const Direction d{2 * nz * nu, 2 * nz * nv, 2 * nz * nz - 1};
                    const Rgba c = environment(d);
                    sum.r += c.r / 9;
                    sum.g += c.g / 9;
                    sum.b += c.b / 9;
                }
            }
            sum.a = 1;
            out.at(px, py) = sum;
        }
    }
    return out;
}

float softSpot(const Direction& d, Direction centre, float sharpness) {
    const float len = std::sqrt(centre.x * centre.x + centre.y * centre.y + centre.z * centre.z);
    const float c = (d.x * centre.x + d.y * centre.y + d.z * centre.z) / len;
    return std::pow(std::max(0.0f, c), sharpness);
}

// Paints `cover` at (ox, oy) over `target` with colour `paint(x, y)` and opacity `alpha`.
void paint(Raster& target, const Coverage& cover, int ox, int oy, const std::function<Rgba(int, int)>& colour,
           float alpha) {
    for (int y = 0; y < cover.height; ++y) {
        for (int x = 0; x < cover.width; ++x) {
            const int tx = ox + x, ty = oy + y;
            if (tx < 0 || ty < 0 || tx >= target.width || ty >= target.height) continue;
            const float a = cover.at(x, y) * alpha;
            if (a <= 0) continue;
            Rgba& d = target.at(tx, ty);
            const Rgba s = colour(tx, ty);
            const float outA = a + d.a * (1 - a);
            d.r = (s.r * a + d.r * d.a * (1 - a)) / outA;
            d.g = (s.g * a + d.g * d.a * (1 - a)) / outA;
            d.b = (s.b * a + d.b * d.a * (1 - a)) / outA;
            d.a = outA;
        }
    }
}

// Box blur, three passes: close to a Gaussian glow.
Coverage blurred(const Coverage& in, int radius) {
    Coverage a = in;
    for (int pass = 0; pass < 3; ++pass) {
        Coverage b = a;
        for (int y = 0; y < a.height; ++y) {
            for (int x = 0; x < a.width; ++x) {
                float s = 0;
                for (int k = -radius; k <= radius; ++k) s += a.at(x + k, y);
                b.values[static_cast<size_t>(y) * a.width + x] = s / static_cast<float>(2 * radius + 1);
            }
        }
        for (int y = 0; y < a.height; ++y) {
            for (int x = 0; x < a.width; ++x) {
                float s = 0;
                for (int k = -radius; k <= radius; ++k) s += b.at(x, y + k);
                a.values[static_cast<size_t>(y) * a.width + x] = s / static_cast<float>(2 * radius + 1);
            }
        }
    }
    return a;
}

Coverage renderToWidth(const Font& font, const std::string& text, int maxWidth, int startSize, int pad) {
    for (int size = startSize;; --size) {
        Coverage c = font.render(text, size, pad);
        if (c.width <= maxWidth || size <= 6) return c;
    }
}

Rgba constant(float r, float g, float b) { return {r, g, b, 1}; }

}  // namespace

Raster makeBackground() {
    Raster out(320, 240);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            const float t = static_cast<float>(y) / static_cast<float>(out.height - 1);
            const float dx = (static_cast<float>(x) - 160) / 160, dy = (static_cast<float>(y) - 120) / 120;
            const float vignette = 1 - 0.35f * (dx * dx + dy * dy);
            out.at(x, y) = {mix(0.02f, 0.05f, t) * vignette, mix(0.05f, 0.12f, t) * vignette,
                            mix(0.12f, 0.24f, t) * vignette, 1};
        }
    }
    return out;
}

Raster makeTitlePicture(const Font& bold, const Font& regular) {
    Raster out(256, 256);
    const Coverage word = renderToWidth(bold, "glassFalls", 232, 56, 12);
    const Coverage glow = blurred(word, 4);
    const int ox = (out.width - word.width) / 2;
    const int oy = (out.height - word.height) / 2 - 10;
    paint(
        out, glow, ox, oy, [](int, int) { return constant(0.35f, 0.85f, 1.0f); }, 0.9f);
    const int top = oy + 12, bottom = oy + word.height - 12;
    paint(
        out, word, ox, oy,
        [&](int, int y) {
            const float t = smoothstep(static_cast<float>(top), static_cast<float>(bottom), static_cast<float>(y));
            return constant(mix(1.0f, 0.62f, t), mix(1.0f, 0.9f, t), 1.0f);
        },
        1.0f);

    const Coverage line = renderToWidth(regular, "sing, and the glass falls", 200, 15, 4);
    const Coverage lineGlow = blurred(line, 2);
    const int lx = (out.width - line.width) / 2, ly = oy + word.height + 2;
    paint(
        out, lineGlow, lx, ly, [](int, int) { return constant(0.1f, 0.3f, 0.5f); }, 0.8f);
    paint(
        out, line, lx, ly, [](int, int) { return constant(0.8f, 0.93f, 1.0f); }, 0.95f);
    return out;
}

Raster makeCreditPicture(const Font& bold, const Font& regular) {
    Raster out(256, 64);
    const Coverage name = renderToWidth(bold, "glassFalls", 200, 19, 3);
    const Coverage first = renderToWidth(regular, "an interactive piece for", 244, 13, 3);
    const Coverage second = renderToWidth(regular, "voice, glass and water", 244, 13, 3);
    const int margin = 6;
    // Right-aligned lines, stacked from the top, so they sit in the screen's corner.
    struct Line {
        const Coverage* cover;
        int x, y;
        Rgba colour;
    };
    const int secondY = out.height - second.height - 1;
    const int firstY = secondY - first.height + 5;
    const int nameY = firstY - name.height + 5;
    const Line lines[] = {
        {&name, out.width - name.width - margin, nameY, constant(0.85f, 0.96f, 1.0f)},
        {&first, out.width - first.width - margin, firstY, constant(0.72f, 0.84f, 0.94f)},
        {&second, out.width - second.width - margin, secondY, constant(0.72f, 0.84f, 0.94f)},
    };
    for (const Line& l : lines) {
        paint(
            out, blurred(*l.cover, 2), l.x, l.y, [](int, int) { return constant(0.0f, 0.05f, 0.12f); }, 0.9f);
    }
    for (const Line& l : lines)
        paint(
            out, *l.cover, l.x, l.y, [&](int, int) { return l.colour; }, 1.0f);
    return out;
}

Raster makeTitleSphereMap() {
    return sphereMap([](const Direction& d) {
        // A cool sky above a deep sea, a pale horizon and two sharp light sources.
        const float up = d.y;
        Rgba c;
        if (up >= 0) {
            c = {mix(0.45f, 0.06f, std::sqrt(up)), mix(0.75f, 0.22f, std::sqrt(up)), mix(0.85f, 0.48f, std::sqrt(up)),
                 1};
        } else {
            const float down = std::sqrt(-up);
            c = {mix(0.20f, 0.01f, down), mix(0.42f, 0.06f, down), mix(0.55f, 0.16f, down), 1};
        }
        const float horizon = std::exp(-std::abs(up) * 22.0f);
        const float key = softSpot(d, {-0.5f, 0.7f, 0.5f}, 220.0f);
        const float rim = softSpot(d, {0.8f, 0.3f, -0.2f}, 90.0f);
        const float glint = softSpot(d, {0.1f, 0.95f, -0.3f}, 900.0f);
        c.r += 0.35f * horizon + 1.2f * key + 0.5f * rim + glint;
        c.g += 0.45f * horizon + 1.2f * key + 0.7f * rim + glint;
        c.b += 0.50f * horizon + 1.2f * key + 0.8f * rim + glint;
        return c;
    });
}

Raster makeTrailSphereMap() {
    return sphereMap([](const Direction& d) {
        // A bright studio: pale walls, a warm grey floor, dark stands at the horizon that
        // draw the tube's silhouette, and two large soft boxes.
        Rgba c;
        if (d.y >= 0) {
            const float t = std::sqrt(d.y);
            c = {mix(0.78f, 0.95f, t), mix(0.80f, 0.96f, t), mix(0.84f, 0.98f, t), 1};
        } else {
            const float t = std::sqrt(-d.y);
            c = {mix(0.55f, 0.42f, t), mix(0.52f, 0.40f, t), mix(0.50f, 0.38f, t), 1};
        }
        const float band = std::exp(-std::abs(d.y + 0.05f) * 30.0f);
        c.r -= 0.45f * band;
        c.g -= 0.45f * band;
        c.b -= 0.42f * band;
        const auto box = [&](float cx, float cy, float w, float h) {
            const float azimuth = std::atan2(d.x, d.z), elevation = std::asin(std::clamp(d.y, -1.0f, 1.0f));
            const float ex = smoothstep(w, w * 0.8f, std::abs(azimuth - cx));
            const float ey = smoothstep(h, h * 0.8f, std::abs(elevation - cy));
            return ex * ey;
        };
        const float light =
            box(-0.9f, 0.55f, 0.45f, 0.3f) + box(1.1f, 0.4f, 0.3f, 0.45f) + 0.8f * box(3.0f, 0.9f, 0.6f, 0.2f);
        c.r += 0.6f * light;
        c.g += 0.6f * light;
        c.b += 0.6f * light;
        return c;
    });
}

Raster makeGround() {
    Raster out(256, 256);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            const float fx = static_cast<float>(x) / 32.0f, fy = static_cast<float>(y) / 32.0f;
            const float sand = fractalNoise(fx, fy, 8, 11u, 4);
            // Caustic lines: ridges where a warped noise crosses its middle value.
            const float warp = fractalNoise(fx * 0.5f + 3.1f, fy * 0.5f, 4, 29u, 3);
            const float ridge = 1 - std::abs(fractalNoise(fx + warp * 2, fy + warp * 2, 8, 47u, 3) * 2 - 1);
            const float caustic = std::pow(ridge, 8.0f);
            const float v = 0.72f + 0.18f * (sand - 0.5f) + 0.22f * caustic;
            out.at(x, y) = {v * 0.97f, v * 0.93f, v * 0.82f, 1};
        }
    }
    return out;
}

Raster makeContactSheet(const std::vector<const Raster*>& pictures) {
    const int gap = 8;
    int width = gap, height = 0;
    for (const Raster* p : pictures) {
        width += p->width + gap;
        height = std::max(height, p->height);
    }
    Raster sheet(width, height + 2 * gap);
    for (int y = 0; y < sheet.height; ++y) {
        for (int x = 0; x < sheet.width; ++x) {
            const float v = ((x / 8 + y / 8) % 2) ? 0.55f : 0.4f;
            sheet.at(x, y) = {v, v, v, 1};
        }
    }
    int left = gap;
    for (const Raster* p : pictures) {
        for (int y = 0; y < p->height; ++y) {
            for (int x = 0; x < p->width; ++x) {
                const Rgba& s = p->at(x, y);
                Rgba& d = sheet.at(left + x, gap + y);
                d = {mix(d.r, s.r, s.a), mix(d.g, s.g, s.a), mix(d.b, s.b, s.a), 1};
            }
        }
        left += p->width + gap;
    }
    return sheet;
}

}  // namespace datagen
