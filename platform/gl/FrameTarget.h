// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace glassfalls::platform::gl {

// The off-screen framebuffers the frames are drawn into, of a fixed size independent of the
// window's: one depth buffer, and one colour buffer or, once frames are read back while the
// next is drawn, two taken in turn, frame by frame. A frame that is done then stays in its
// colour buffer while the next is drawn into the other, so it can be read back without
// waiting for the next one to be drawn.
class FrameTarget {
public:
    static constexpr int kColourBuffers = 2;

    ~FrameTarget() { release(); }

    // Frames of width x height; with `samples` above 1 they are drawn multisampled and
    // resolved into the colour buffer when done (resolve()).
    bool create(int width, int height, int samples = 0);
    // Forgets the driver's objects without deleting them (their context is gone).
    void abandon();
    void release();

    // Binds the framebuffer of the frame under way; with two colour buffers the first bind
    // after frameDone() turns to the other one, and whatever a frame leaves undrawn holds what
    // was drawn there two frames before, as with a swap chain.
    void bind();
    // The frame under way is complete.
    void frameDone() { turnPending_ = true; }
    // Averages the multisampled frame drawn so far into its colour buffer, where presenting
    // and reading find it; nothing without multisampling.
    void resolve();
    int samples() const { return samples_; }
    // Scales the frame into a drawable of the given size, centred, keeping its aspect ratio,
    // black around it.
    void presentInto(int drawableWidth, int drawableHeight);
    // The frame under way (or the one just done) as drawn so far, as 0xFFRRGGBB, row 0 at the top.
    void read(std::vector<uint32_t>& pixels);
    // The same in two halves: startRead picks the frame, finishRead reads it, any time before
    // the frame after next is begun. False when no read was started, the frame was drawn over
    // or the context was lost since.
    void startRead();
    bool finishRead(std::vector<uint32_t>& pixels);

    int width() const { return width_; }
    int height() const { return height_; }

    // Read as BGRA bytes where the API gives them; otherwise as RGBA bytes, put in order here.
    bool readsBgra = true;

private:
    bool addColourBuffer();
    bool addMultisampledBuffer();
    // Where drawing goes: the multisampled buffer, or the frame's colour buffer.
    uint32_t drawingFramebuffer() const { return multisampled_ ? multisampled_ : framebuffers_[current_]; }
    void readFrom(int buffer, std::vector<uint32_t>& pixels);

    uint32_t framebuffers_[kColourBuffers] = {};
    uint32_t colours_[kColourBuffers] = {};
    int colourBuffers_ = 0;  // made so far
    uint32_t depth_ = 0;
    int samples_ = 0;
    uint32_t multisampled_ = 0;  // its framebuffer, with a colour and a depth buffer
    uint32_t multisampledColour_ = 0, multisampledDepth_ = 0;
    int width_ = 0;
    int height_ = 0;
    int current_ = 0;           // the colour buffer of the frame under way
    bool turnPending_ = false;  // the frame in current_ is done
    uint64_t turns_ = 0;
    std::optional<uint64_t> readTurn_;  // the turn whose frame startRead picked
};

// Pixels read as R, G, B, A bytes turned into 0xAARRGGBB texels, in place.
void rgbaBytesToTexels(std::vector<uint32_t>& pixels);

// Where a frame of frameWidth x frameHeight lands in a drawable, letterboxed.
struct Letterbox {
    int x, y, width, height;
};
Letterbox letterbox(int frameWidth, int frameHeight, int drawableWidth, int drawableHeight);

}  // namespace glassfalls::platform::gl
