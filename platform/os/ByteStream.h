// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/os/LittleEndian.h"

namespace glassfalls::platform {

// Bytes written in the order of the files and messages the piece sends to other machines:
// little-endian, floats by their bits, whatever the machine's own order.
class ByteWriter {
public:
    void u8(uint8_t value) { bytes_.push_back(value); }
    void boolean(bool value) { u8(value ? 1 : 0); }
    void u32(uint32_t value) { putLittleEndian(bytes_, value, 4); }
    void i32(int32_t value) { u32(static_cast<uint32_t>(value)); }
    void u64(uint64_t value) {
        u32(static_cast<uint32_t>(value));
        u32(static_cast<uint32_t>(value >> 32));
    }
    void f32(float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        u32(bits);
    }
    // A value made of floats alone (a vector, a matrix), float by float.
    template <typename T>
    void floats(const T& value) {
        static_assert(std::is_trivially_copyable_v<T> && sizeof(T) % sizeof(float) == 0);
        float each[sizeof(T) / sizeof(float)];
        std::memcpy(each, &value, sizeof(T));
        for (float f : each) f32(f);
    }
    void bytes(std::span<const uint8_t> values) { bytes_.insert(bytes_.end(), values.begin(), values.end()); }
    // Its length, then the bytes.
    void sized(std::span<const uint8_t> values) {
        u32(static_cast<uint32_t>(values.size()));
        bytes(values);
    }
    void text(const std::string& value) { sized({reinterpret_cast<const uint8_t*>(value.data()), value.size()}); }

    const std::vector<uint8_t>& written() const { return bytes_; }
    std::vector<uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

// Reads what a ByteWriter wrote, from bytes that may have come from anywhere: it never reads
// past the end, and once a read fails (or `fail` is called) every later one gives zero and the
// reader stays failed, so that a reader of many fields checks once at the end.
class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> bytes) : rest_(bytes) {}

    bool take(size_t count, std::span<const uint8_t>& taken) {
        if (failed_ || count > rest_.size()) {
            failed_ = true;  // with no reason: the bytes ended too soon
            taken = {};
            return false;
        }
        taken = rest_.first(count);
        rest_ = rest_.subspan(count);
        return true;
    }
    bool u8(uint8_t& value) {
        std::span<const uint8_t> b;
        value = take(1, b) ? b[0] : 0;
        return !failed_;
    }
    bool boolean(bool& value) {
        uint8_t byte = 0;
        u8(byte);
        if (byte > 1) fail("has a truth value of " + std::to_string(byte));
        value = byte == 1;
        return !failed_;
    }
    bool u32(uint32_t& value) {
        std::span<const uint8_t> b;
        value = take(4, b) ? uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24 : 0;
        return !failed_;
    }
    bool i32(int32_t& value) {
        uint32_t bits = 0;
        u32(bits);
        value = static_cast<int32_t>(bits);
        return !failed_;
    }
    bool u64(uint64_t& value) {
        uint32_t low = 0, high = 0;
        u32(low);
        u32(high);
        value = uint64_t{low} | uint64_t{high} << 32;
        return !failed_;
    }
    bool f32(float& value) {
        uint32_t bits = 0;
        u32(bits);
        std::memcpy(&value, &bits, sizeof value);
        return !failed_;
    }
    template <typename T>
    bool floats(T& value) {
        static_assert(std::is_trivially_copyable_v<T> && sizeof(T) % sizeof(float) == 0);
        float each[sizeof(T) / sizeof(float)];
        for (float& f : each) f32(f);
        if (!failed_) std::memcpy(&value, each, sizeof(T));
        return !failed_;
    }
    // A length written by ByteWriter::sized, checked against what is there before anything
    // is allocated for it, and at most `most`.
    bool sized(std::vector<uint8_t>& values, size_t most) {
        uint32_t size = 0;
        u32(size);
        if (size > most) fail("has a field of " + std::to_string(size) + " bytes, more than " + std::to_string(most));
        std::span<const uint8_t> b;
        take(size, b);
        values.assign(b.begin(), b.end());
        return !failed_;
    }
    bool text(std::string& value, size_t most) {
        std::vector<uint8_t> b;
        sized(b, most);
        value.assign(b.begin(), b.end());
        return !failed_;
    }

    // Marks the bytes as not what they should be; the first failure's reason is kept.
    void fail(const std::string& why) {
        if (!failed_) why_ = why;
        failed_ = true;
    }
    bool ok() const { return !failed_; }
    // Why it failed: the reason given, or that the bytes ended too soon.
    std::string why() const { return why_.empty() ? "is cut short" : why_; }
    size_t left() const { return rest_.size(); }

private:
    std::span<const uint8_t> rest_;
    bool failed_ = false;
    std::string why_;
};

}  // namespace glassfalls::platform
