#pragma once

#include <cstddef>
#include <optional>

// Small helpers for the ANSI texts of the census. Names and paths are taken
// apart by characters: in a double-byte code page a lead byte and the byte
// after it are one character, whatever that second byte looks like.
namespace buildcensus {

// Where the character after the one that begins at `at` begins. A lead byte
// just before the terminator stands for itself.
template <typename LeadByteTest>
std::size_t NextCharacter(const char* text, std::size_t at, LeadByteTest isLeadByte) {
    const bool doubleByte =
        isLeadByte(static_cast<unsigned char>(text[at])) && text[at + 1] != '\0';
    return at + (doubleByte ? 2 : 1);
}

// Where the last `count` characters of `text` begin; nothing when it has
// fewer. Found scanning forward from the start: the lead bytes of a
// double-byte code page can be second bytes too, so a text cannot be
// scanned backwards.
template <typename LeadByteTest>
std::optional<std::size_t> LastCharactersStart(const char* text, std::size_t count,
                                               LeadByteTest isLeadByte) {
    std::size_t characters = 0;
    for (std::size_t at = 0; text[at] != '\0'; at = NextCharacter(text, at, isLeadByte)) {
        ++characters;
    }
    if (characters < count) {
        return std::nullopt;
    }
    std::size_t at = 0;
    for (std::size_t skip = characters - count; skip > 0; --skip) {
        at = NextCharacter(text, at, isLeadByte);
    }
    return at;
}

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
