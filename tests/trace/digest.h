// FNV-1a over 32-bit words, as the trace and the sin/cos sweep digest what the
// program computed: the same digest whatever the platform's byte order.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

struct Digest {
    uint64_t value = 14695981039346656037u;

    void add(uint32_t word) { value = (value ^ word) * 1099511628211u; }

    void add(float f) {
        uint32_t word;
        std::memcpy(&word, &f, sizeof word);
        add(word);
    }

    // Four bytes to a word, the first in the lowest place; a short last word is zero-filled.
    void add(const uint8_t *bytes, size_t count) {
        for (size_t i = 0; i < count; i += 4) {
            uint32_t word = 0;
            for (size_t k = 0; k < 4 && i + k < count; ++k)
                word |= uint32_t(bytes[i + k]) << (8 * k);
            add(word);
        }
    }

    void add(const std::string &text) { add(reinterpret_cast<const uint8_t *>(text.data()), text.size()); }
};
