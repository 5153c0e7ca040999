#include "answer/DataSetCut.h"

#include "answer/Unwrapping.h"
#include "xml/ByteSet.h"
#include "xml/XmlReference.h"

#include <QStringList>

#include <bit>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <string>
#include <string_view>
#include <vector>

namespace stowline::answer {
namespace {

// The one declaration the service writes.
constexpr std::string_view AnswerDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";

// Bytes of the result's text that are not copied as they are: references, markup (which the
// other way must read), line ends (the parser turns CR and CR LF into LF), ">" (which cannot be
// told from a turned-back "&gt;" afterwards) and NUL (where the parser's reading would stop).
constexpr xml::ByteSet<5> TextBreaks(std::string_view("&<\r>\0", 5));

// A cap on what the pass keeps to give the answer back: an answer whose text is mostly of
// other references than &lt;, &gt; and &amp; takes the other way instead.
constexpr std::size_t MostKeptReferences = 1 << 16;

struct AnswerFrame {
    QByteArray head;
    QByteArray tail;
    // What the data-set text begins with: the long declaration and CR LF, or for the facilities
    // (whose declaration the tag removal cuts) CR LF alone.
    QByteArray prefix;
    // Every text a removal step searches for; each begins with "<", so within the data set it
    // can only begin where a "<" was turned back.
    std::vector<QByteArray> cutTexts;
};

AnswerFrame frameOf(const QString& operation) {
    const QStringList envelope = envelopeTagTexts();
    const QStringList tags = operationTagTexts(operation);
    AnswerFrame frame;
    frame.head = QByteArray(AnswerDeclaration.data(), qsizetype(AnswerDeclaration.size())) +
                 (envelope[0] + envelope[1] + tags[0] + tags[1]).toUtf8();
    frame.tail = (tags[2] + tags[3] + envelope[2] + envelope[3]).toUtf8();
    const bool keepsDeclaration = tags.size() == 4;
    frame.prefix = (keepsDeclaration ? QByteArray(LongDeclaration) : QByteArray()) + "\r\n";
    frame.cutTexts.emplace_back(BareDeclaration);
    for (const QString& tag : envelope + tags) {
        frame.cutTexts.push_back(tag.toUtf8());
    }
    return frame;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// After a turned-back "<" at text[at - 1]: whether what follows could begin a cut text ("<?",
// "<s", "</s", "<G", "</G", where "G" begins every operation's name), or is a reference that
// might. Most "<" of a data set are then decided without looking at the data set again.
bool mayBeginCutText(std::string_view text, std::size_t at, std::size_t end) {
    const auto suspicious = [](char c) { return c == 's' || c == 'G' || c == '&'; };
    if (at >= end) {
        return false;
    }
    if (text[at] == '/') {
        return at + 1 < end && suspicious(text[at + 1]);
    }
    return text[at] == '?' || suspicious(text[at]);
}

std::size_t writeUtf8(char32_t c, char* out) {
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | (c >> 6));
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (c >> 12));
        out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

// The pass over the result's text. What it writes stays behind what it reads (no reference is
// shorter than what it stands for), so it works within the answer's own memory. To give the
// answer back when it has to stop, it keeps the few written bytes that cannot be turned back
// into what they were read from by rule: a byte comes from itself, except "<", ">" and "&",
// which come from &lt;, &gt; and &amp; unless kept otherwise.
class ResultTextPass {
public:
    ResultTextPass(QByteArray& answer, const AnswerFrame& frame)
        : m_answer(answer), m_data(answer.data()),
          m_text(m_data, static_cast<std::size_t>(answer.size())), m_frame(frame),
          m_read(static_cast<std::size_t>(frame.head.size())), m_end(m_text.size() - tailLength()),
          m_write(static_cast<std::size_t>(frame.prefix.size())) {}

    bool run() {
        if (m_read >= m_end || !copyText()) {
            giveBack();
            return false;
        }
        std::memcpy(m_data, m_frame.prefix.constData(), textStart());
        m_answer.truncate(static_cast<qsizetype>(m_write));
        return true;
    }

private:
    // A written piece kept as read.
    struct Kept {
        std::uint32_t end;
        std::uint8_t written;
        std::uint8_t read;
    };

    std::size_t textStart() const { return static_cast<std::size_t>(m_frame.prefix.size()); }

    // The length of the answer's end tags and the white space after them; the answer's length
    // when it does not end so.
    std::size_t tailLength() const {
        const std::string_view head(m_frame.head.constData(),
                                    static_cast<std::size_t>(m_frame.head.size()));
        const std::string_view tail(m_frame.tail.constData(),
                                    static_cast<std::size_t>(m_frame.tail.size()));
        std::size_t end = m_text.size();
        while (end > 0 && isBlank(m_text[end - 1])) {
            --end;
        }
        if (!m_text.starts_with(head) || end < head.size() + tail.size() ||
            m_text.substr(end - tail.size(), tail.size()) != tail) {
            return m_text.size();
        }
        return m_text.size() - end + tail.size();
    }

    // The hot loop keeps its positions in locals: stores through the answer's bytes could
    // otherwise alias the members and make every step load them again.
    bool copyText() {
        char* const data = m_data;
        const std::size_t end = m_end;
        std::size_t read = m_read;
        std::size_t write = m_write;
        bool blankOnly = true;
        bool taken = true;
        while (read < end) {
            const std::size_t runStart = write;
            copyPlainRun(data, read, write, end);
            if (blankOnly) {
                for (std::size_t at = runStart; blankOnly && at < write; ++at) {
                    blankOnly = isBlank(data[at]);
                }
            }
            if (read == end) {
                break;
            }
            if (const xml::CommonReference common = xml::commonReference(data + read, data + end);
                common.length != 0) {
                if (common.character == '<' && mayBeginCutText(m_text, read + 4, end)) {
                    m_suspects.push_back(write);
                }
                data[write++] = common.character;
                read += common.length;
                blankOnly = false;
                continue;
            }
            m_read = read;
            m_write = write;
            taken = takeBreak(blankOnly);
            read = m_read;
            write = m_write;
            if (!taken) {
                break;
            }
        }
        m_read = read;
        m_write = write;
        return taken && !blankOnly && noCutTexts();
    }

    // Plain bytes up to the next break, sixteen or eight at a time. Writing is far enough behind
    // reading (the head is longer than the prefix by more than that, and the gap only grows)
    // that a whole block is written even where the run ends inside it.
    static void copyPlainRun(char* data, std::size_t& read, std::size_t& write, std::size_t end) {
#if defined(__SSE2__)
        const __m128i amp = _mm_set1_epi8('&');
        const __m128i lt = _mm_set1_epi8('<');
        const __m128i cr = _mm_set1_epi8('\r');
        const __m128i gt = _mm_set1_epi8('>');
        const __m128i nul = _mm_setzero_si128();
        while (read + 16 <= end) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + read));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(data + write), block);
            const __m128i breaks = _mm_or_si128(
                _mm_or_si128(_mm_cmpeq_epi8(block, amp), _mm_cmpeq_epi8(block, lt)),
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, gt)),
                             _mm_cmpeq_epi8(block, nul)));
            const auto found = static_cast<unsigned>(_mm_movemask_epi8(breaks));
            if (found != 0) {
                const auto plain = static_cast<std::size_t>(std::countr_zero(found));
                read += plain;
                write += plain;
                return;
            }
            read += 16;
            write += 16;
        }
#else
        if constexpr (std::endian::native == std::endian::little) {
            while (read + 8 <= end) {
                std::uint64_t word = 0;
                std::memcpy(&word, data + read, 8);
                std::memcpy(data + write, &word, 8);
                if (const std::uint64_t found = TextBreaks.flags(word); found != 0) {
                    const std::size_t plain = xml::ByteSet<5>::firstFlagged(found);
                    read += plain;
                    write += plain;
                    return;
                }
                read += 8;
                write += 8;
            }
        }
#endif
        while (read < end && !TextBreaks.contains(data[read])) {
            data[write++] = data[read++];
        }
    }

    bool takeBreak(bool& blankOnly) {
        switch (m_data[m_read]) {
        case '&':
            return takeReference(blankOnly);
        case '\r': {
            // The parser reads CR LF and a lone CR as LF.
            const std::size_t read = m_read + 1 < m_end && m_data[m_read + 1] == '\n' ? 2 : 1;
            return keep("\n", 1, read);
        }
        case '>':
            blankOnly = false;
            return keep(">", 1, 1);
        default: // "<" is markup, NUL ends the parser's reading: both for the other way
            return false;
        }
    }

    bool takeReference(bool& blankOnly) {
        const xml::XmlReference reference = xml::readReference(m_text, m_read);
        if (reference.length == 0) {
            return false;
        }
        blankOnly = blankOnly && (reference.character == U' ' || reference.character == U'\t' ||
                                  reference.character == U'\r' || reference.character == U'\n');
        // &lt;, &gt; and &amp; were taken before; any other "<" is a suspect.
        if (reference.character == U'<') {
            m_suspects.push_back(m_write);
        }
        char written[4];
        return keep(written, writeUtf8(reference.character, written), reference.length);
    }

    // Writes a piece that does not turn back by rule, keeping what it was read from.
    bool keep(const char* written, std::size_t writtenLength, std::size_t readLength) {
        if (m_kept.size() >= MostKeptReferences) {
            return false;
        }
        m_keptRead.append(m_data + m_read, readLength);
        std::memcpy(m_data + m_write, written, writtenLength);
        m_write += writtenLength;
        m_read += readLength;
        m_kept.push_back({static_cast<std::uint32_t>(m_write),
                          static_cast<std::uint8_t>(writtenLength),
                          static_cast<std::uint8_t>(readLength)});
        return true;
    }

    // Whether no "<" written begins a text a removal would cut.
    bool noCutTexts() const {
        const std::string_view written(m_data, m_write);
        for (const std::size_t at : m_suspects) {
            for (const QByteArray& cut : m_frame.cutTexts) {
                if (written.substr(at).starts_with(
                        std::string_view(cut.constData(), static_cast<std::size_t>(cut.size())))) {
                    return false;
                }
            }
        }
        return true;
    }

    // Turns what was written back into what was read, from the back (what was read lies at or
    // after where it was written), and writes the head again.
    void giveBack() {
        std::size_t write = m_write;
        std::size_t read = m_read;
        std::size_t keptRead = m_keptRead.size();
        auto kept = m_kept.rbegin();
        while (write > textStart()) {
            std::string_view original;
            if (kept != m_kept.rend() && kept->end == write) {
                keptRead -= kept->read;
                original = std::string_view(m_keptRead).substr(keptRead, kept->read);
                write -= kept->written;
                ++kept;
            } else {
                const char c = m_data[--write];
                original = c == '<'   ? std::string_view("&lt;")
                           : c == '>' ? std::string_view("&gt;")
                           : c == '&' ? std::string_view("&amp;")
                                      : std::string_view(&m_data[write], 1);
            }
            read -= original.size();
            std::memmove(m_data + read, original.data(), original.size());
        }
        std::memcpy(m_data, m_frame.head.constData(),
                    static_cast<std::size_t>(m_frame.head.size()));
    }

    QByteArray& m_answer;
    char* m_data;
    std::string_view m_text;
    const AnswerFrame& m_frame;
    std::size_t m_read;
    std::size_t m_end;
    std::size_t m_write;
    std::vector<Kept> m_kept;
    std::string m_keptRead;
    // Where a "<" was written that may begin a cut text.
    std::vector<std::size_t> m_suspects;
};

} // namespace

bool cutDataSetInPlace(QByteArray& answer, const QString& operation) {
    const AnswerFrame frame = frameOf(operation);
    if (answer.size() <= frame.head.size() + frame.tail.size() || !answer.startsWith(frame.head)) {
        return false;
    }
    return ResultTextPass(answer, frame).run();
}

} // namespace stowline::answer
