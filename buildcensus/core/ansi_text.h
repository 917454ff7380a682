#pragma once

#include <cstddef>

// Small helpers for the single-byte ANSI texts of the census.
namespace buildcensus {

// The length of `text`, reading no more than `limit` characters: `limit`
// when no terminator comes before it.
inline std::size_t BoundedLength(const char* text, std::size_t limit) {
    std::size_t length = 0;
    while (length < limit && text[length] != '\0') {
        ++length;
    }
    return length;
}

inline char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compares two texts without regard to the case of ASCII letters.
inline bool EqualIgnoringCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (AsciiLower(*a) != AsciiLower(*b)) {
            return false;
        }
    }
    return *a == *b;
}

}  // namespace buildcensus
