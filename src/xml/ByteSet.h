#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace stowline::xml {

// A few bytes that end a run of plain text. Scans over answers that run to many megabytes meet
// every byte, so runs are skipped eight bytes at a time.
template <std::size_t Count> class ByteSet {
public:
    constexpr explicit ByteSet(std::string_view bytes) {
        for (std::size_t k = 0; k < Count; ++k) {
            m_words[k] = Ones * static_cast<unsigned char>(bytes.at(k));
        }
    }

    // Flags the bytes of the set among the eight of a word read in the machine's order: the
    // lowest flag always marks one (in the lowest such byte); higher flags may be false.
    std::uint64_t flags(std::uint64_t word) const {
        std::uint64_t found = 0;
        for (const std::uint64_t set : m_words) {
            found |= zeroBytes(word ^ set);
        }
        return found;
    }

    // The position of the first byte at or after i that is in the set, or the text's size.
    std::size_t skip(std::string_view text, std::size_t i) const {
        if constexpr (std::endian::native == std::endian::little) {
            for (; i + 8 <= text.size(); i += 8) {
                std::uint64_t word = 0;
                std::memcpy(&word, text.data() + i, 8);
                if (const std::uint64_t found = flags(word); found != 0) {
                    return i + firstFlagged(found);
                }
            }
        }
        while (i < text.size() && !contains(text[i])) {
            ++i;
        }
        return i;
    }

    bool contains(char c) const {
        const std::uint64_t word = Ones * static_cast<unsigned char>(c);
        for (const std::uint64_t set : m_words) {
            if (word == set) {
                return true;
            }
        }
        return false;
    }

    // Which of the eight bytes the lowest flag marks.
    static std::size_t firstFlagged(std::uint64_t flags) {
        return static_cast<std::size_t>(std::countr_zero(flags)) / 8;
    }

private:
    static constexpr std::uint64_t Ones = 0x0101010101010101;
    static constexpr std::uint64_t Highs = 0x8080808080808080;

    // The high bit of every zero byte of the word is set (and perhaps of bytes above one).
    static constexpr std::uint64_t zeroBytes(std::uint64_t word) {
        return (word - Ones) & ~word & Highs;
    }

    std::array<std::uint64_t, Count> m_words{};
};

} // namespace stowline::xml
