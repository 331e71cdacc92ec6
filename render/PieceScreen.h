// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace glassfalls {

// The logical screen the piece lays its screen pictures out on: its own 640 x 480 picture
// and, when the frame is wider and filled (Hor+), as much again on either side. A frame of
// any size shows it scaled evenly (platform::gfx::ScreenMapping).
struct PieceScreen {
    static constexpr float kPieceWidth = 640, kPieceHeight = 480;

    float width = kPieceWidth;  // the whole logical screen: 640, or wider when filling
    float height = kPieceHeight;

    // Where the piece's own 640 units begin.
    float pieceLeft() const { return (width - kPieceWidth) / 2; }
    // The screen that fills a frame of frameWidth x frameHeight at the piece's height.
    static PieceScreen filling(int frameWidth, int frameHeight) {
        return {kPieceHeight * static_cast<float>(frameWidth) / static_cast<float>(frameHeight), kPieceHeight};
    }
};

}  // namespace glassfalls
