// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "platform/gl/Gl.h"
#include "platform/gl/GlDevice.h"
#include "render/RenderDevice.h"

namespace glassfalls::test_support {

// A frame's draws as the device gave them to OpenGL, kept in buffer objects. Drawing it again
// builds no vertex and copies nothing: one draw per state the frame drew under, each state
// given only where it changes. The least this renderer can do for the same picture.
class StaticBufferFrame {
public:
    // Draws the frame once with `drawFrame`, keeping what reached OpenGL.
    template <typename DrawFrame>
    StaticBufferFrame(RenderDevice& renderDevice, DrawFrame&& drawFrame)
        : renderDevice_(renderDevice), device_(static_cast<platform::gl::GlDevice&>(*renderDevice.device)) {
        std::vector<platform::gl::GivenDraw> given;
        device_.keepGivenDraws(&given);
        drawFrame();
        device_.keepGivenDraws(nullptr);
        for (platform::gl::GivenDraw& draw : given) {
            if (!draws_.empty() && continues(draws_.back(), draw)) {
                // The device split a merged draw where its buffer was full: the floor does not.
                platform::gl::GivenDraw& last = draws_.back();
                for (uint32_t& index : draw.indices) index += last.count;
                last.vertices.insert(last.vertices.end(), draw.vertices.begin(), draw.vertices.end());
                last.indices.insert(last.indices.end(), draw.indices.begin(), draw.indices.end());
                last.count += draw.count;
            } else {
                draws_.push_back(std::move(draw));
            }
        }
        std::vector<uint8_t> data;
        std::vector<uint32_t> indices;
        for (const platform::gl::GivenDraw& draw : draws_) {
            platform::gl::BufferPlacement& at = placements_.emplace_back();
            at.vertices = data.size();
            data.insert(data.end(), draw.vertices.begin(), draw.vertices.end());
            at.indices = indices.size() * sizeof(uint32_t);
            indices.insert(indices.end(), draw.indices.begin(), draw.indices.end());
        }
        glGenBuffers(2, buffers_);
        glBindBuffer(GL_ARRAY_BUFFER, buffers_[0]);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(data.size()), data.data(), GL_STATIC_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers_[1]);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(uint32_t)),
                     indices.data(), GL_STATIC_DRAW);
        unbind();
    }
    ~StaticBufferFrame() { glDeleteBuffers(2, buffers_); }
    StaticBufferFrame(const StaticBufferFrame&) = delete;
    StaticBufferFrame& operator=(const StaticBufferFrame&) = delete;

    // Cleared as the frame was, then its draws; nothing else draws while the buffers are bound.
    void draw() {
        renderDevice_.drawScene([this] {
            glBindBuffer(GL_ARRAY_BUFFER, buffers_[0]);
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers_[1]);
            for (size_t i = 0; i < draws_.size(); ++i) {
                device_.applyState(draws_[i].state);
                device_.drawFromBuffers(draws_[i], placements_[i]);
            }
            unbind();
        });
    }

    size_t drawCount() const { return draws_.size(); }

private:
    static bool continues(const platform::gl::GivenDraw& last, const platform::gl::GivenDraw& next) {
        return !last.indices.empty() && !next.indices.empty() && last.stride == next.stride && last.state == next.state;
    }
    static void unbind() {
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    }

    RenderDevice& renderDevice_;
    platform::gl::GlDevice& device_;
    std::vector<platform::gl::GivenDraw> draws_;
    std::vector<platform::gl::BufferPlacement> placements_;
    GLuint buffers_[2] = {};
};

}  // namespace glassfalls::test_support
