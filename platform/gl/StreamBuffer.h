// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace glassfalls::platform::gl {

// A buffer object that merged draws are written straight into. It is mapped while a draw
// gathers and unmapped to be drawn from; each gathering takes the next free part, and one
// that does not fit starts again at the front on storage the driver may renew, so no draw
// waits for the driver to finish with an earlier one and the storage is made only once.
class StreamBuffer {
public:
    StreamBuffer(uint32_t target, size_t capacity) : target_(target), capacity_(capacity) {}
    ~StreamBuffer() { release(); }
    StreamBuffer(const StreamBuffer&) = delete;
    StreamBuffer& operator=(const StreamBuffer&) = delete;

    size_t capacity() const { return capacity_; }
    // Whether `bytes` more fit in the gathering under way (any that fit the buffer do
    // when none is).
    bool fits(size_t bytes) const {
        return gathered_ == 0 ? bytes <= capacity_ : head_ + gathered_ + bytes <= capacity_;
    }
    // Room for `bytes` more, which must fit; null when the driver maps nothing. `readable`
    // keeps what is written readable until finish() (slower: the driver may wait).
    uint8_t* take(size_t bytes, bool readable);
    // What was gathered so far, readable when taken so.
    const uint8_t* gathered() const { return mapped_; }
    size_t gatheredBytes() const { return gathered_; }
    bool mapped() const { return mapped_ != nullptr; }
    // Unmaps the gathering, leaving the buffer bound; returns where in it the gathering begins.
    size_t finish();
    // Forgets the driver's object without deleting it (its context is gone).
    void abandon();
    void release();

private:
    void map(size_t bytes, bool readable);

    uint32_t target_;
    size_t capacity_;
    uint32_t name_ = 0;
    size_t head_ = 0;      // where the gathering under way begins
    size_t gathered_ = 0;  // its bytes
    uint8_t* mapped_ = nullptr;
    std::vector<uint8_t> staging_;  // in a browser, where the gathering is written
};

}  // namespace glassfalls::platform::gl
