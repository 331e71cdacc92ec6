// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gl/StreamBuffer.h"

#include "platform/gl/Gl.h"
#include "platform/os/Browser.h"

namespace glassfalls::platform::gl {

namespace {

// Every gathering begins where any vertex attribute may.
constexpr size_t kAlignment = 16;

}  // namespace

uint8_t* StreamBuffer::take(size_t bytes, bool readable) {
    if (!mapped_) map(bytes, readable);
    if (!mapped_) return nullptr;
    uint8_t* room = mapped_ + gathered_;
    gathered_ += bytes;
    return room;
}

void StreamBuffer::map(size_t bytes, bool readable) {
    if (name_ == 0) {
        glGenBuffers(1, &name_);
        glBindBuffer(target_, name_);
        glBufferData(target_, static_cast<GLsizeiptr>(capacity_), nullptr, GL_STREAM_DRAW);
        head_ = 0;
    } else {
        glBindBuffer(target_, name_);
    }
    if constexpr (kInBrowser) {
        // WebGL maps nothing: the gathering is written here and handed over whole by finish().
        if (head_ + bytes > capacity_) head_ = 0;
        staging_.resize(capacity_);
        mapped_ = staging_.data();
        glBindBuffer(target_, 0);
        return;
    }
    GLbitfield access = GL_MAP_WRITE_BIT;
    if (head_ + bytes > capacity_) {
        // Earlier draws may still read the front: the driver gives it fresh storage.
        head_ = 0;
        access |= readable ? GL_MAP_READ_BIT : GL_MAP_INVALIDATE_BUFFER_BIT;
    } else {
        // Nothing drawn so far reads past the head.
        access |= readable ? GL_MAP_READ_BIT : GL_MAP_UNSYNCHRONIZED_BIT;
    }
    mapped_ = static_cast<uint8_t*>(
        glMapBufferRange(target_, static_cast<GLintptr>(head_), static_cast<GLsizeiptr>(capacity_ - head_), access));
    glBindBuffer(target_, 0);
}

size_t StreamBuffer::finish() {
    const size_t begin = head_;
    glBindBuffer(target_, name_);
    if (mapped_ && kInBrowser) {
        glBufferSubData(target_, static_cast<GLintptr>(head_), static_cast<GLsizeiptr>(gathered_), mapped_);
    } else if (mapped_) {
        glUnmapBuffer(target_);
    }
    mapped_ = nullptr;
    head_ = (head_ + gathered_ + kAlignment - 1) / kAlignment * kAlignment;
    gathered_ = 0;
    return begin;
}

void StreamBuffer::abandon() {
    name_ = 0;
    mapped_ = nullptr;
    head_ = gathered_ = 0;
}

void StreamBuffer::release() {
    if (name_ == 0) return;
    if (mapped_ && !kInBrowser) {
        glBindBuffer(target_, name_);
        glUnmapBuffer(target_);
        glBindBuffer(target_, 0);
    }
    glDeleteBuffers(1, &name_);
    abandon();
}

}  // namespace glassfalls::platform::gl
