// SPDX-License-Identifier: GPL-3.0-or-later
#include <png.h>

#include <cstdio>
#include <memory>

#include "tools/datagen/Raster.h"

namespace datagen {

namespace {

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFFu);
    put16(out, v >> 16);
}

}  // namespace

Expected<void> writeBmp(const Raster& picture, const std::string& path) {
    const uint32_t rowBytes = (static_cast<uint32_t>(picture.width) * 3u + 3u) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(picture.height);
    std::vector<uint8_t> out;
    out.reserve(54 + imageBytes);
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + imageBytes);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(picture.width));
    put32(out, static_cast<uint32_t>(picture.height));
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);  // no compression
    put32(out, imageBytes);
    put32(out, 2835);  // 72 dpi
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) {
            const Rgba& p = picture.at(x, y);
            out.push_back(toByte(p.b));
            out.push_back(toByte(p.g));
            out.push_back(toByte(p.r));
        }
        for (uint32_t pad = static_cast<uint32_t>(picture.width) * 3u; pad < rowBytes; ++pad) out.push_back(0);
    }
    File file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file || std::fwrite(out.data(), 1, out.size(), file.get()) != out.size()) {
        return failure("cannot write " + path);
    }
    return {};
}

Expected<void> writePng(const Raster& picture, const std::string& path) {
    File file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file) {
        return failure("cannot write " + path);
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return failure("out of memory writing " + path);
    }
    std::vector<uint8_t> rows(static_cast<size_t>(picture.width) * picture.height * 4);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const Rgba& p = picture.at(x, y);
            uint8_t* o = &rows[(static_cast<size_t>(y) * picture.width + x) * 4];
            o[0] = toByte(p.r);
            o[1] = toByte(p.g);
            o[2] = toByte(p.b);
            o[3] = toByte(p.a);
        }
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return failure("libpng failed writing " + path);
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (int y = 0; y < picture.height; ++y) {
        png_write_row(png, &rows[static_cast<size_t>(y) * picture.width * 4]);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return {};
}

}  // namespace datagen
