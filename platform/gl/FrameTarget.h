#pragma once

#include <cstdint>
#include <vector>

namespace glassfalls::platform::gl {

// The off-screen framebuffer every frame is drawn into: colour and depth of a fixed size,
// independent of the window's.
class FrameTarget {
public:
    ~FrameTarget() { release(); }

    bool create(int width, int height);
    // Forgets the driver's objects without deleting them (their context is gone).
    void abandon();
    void release();

    void bind() const;
    // Scales the frame into a drawable of the given size, centred, keeping its aspect ratio,
    // black around it.
    void presentInto(int drawableWidth, int drawableHeight) const;
    // The frame as 0xFFRRGGBB, row 0 at the top.
    void read(std::vector<uint32_t>& pixels) const;

    int width() const { return width_; }

    // Read as BGRA bytes where the API gives them; otherwise as RGBA bytes, put in order here.
    bool readsBgra = true;
    int height() const { return height_; }

private:
    uint32_t framebuffer_ = 0;
    uint32_t colour_ = 0;
    uint32_t depth_ = 0;
    int width_ = 0;
    int height_ = 0;
};

// Pixels read as R, G, B, A bytes turned into 0xAARRGGBB texels, in place.
void rgbaBytesToTexels(std::vector<uint32_t>& pixels);

// Where a frame of frameWidth x frameHeight lands in a drawable, letterboxed.
struct Letterbox {
    int x, y, width, height;
};
Letterbox letterbox(int frameWidth, int frameHeight, int drawableWidth, int drawableHeight);

}  // namespace glassfalls::platform::gl
