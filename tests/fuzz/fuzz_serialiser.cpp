// Parsing arbitrary text and writing it out again: whatever parsed once must parse again from
// its own serialisation and write the same text, or the transport would post something else
// than it was given. One allowance: character data is written as it is (the answer clean-up
// parses it once more as markup), so a CR that came from a character reference comes back as
// the LF every parser turns line ends into. From then on the text must stay exactly the same.
// The form with references turned back must equal the escaped form turned back afterwards.
#include "xml/ReferenceTurnBack.h"
#include "xml/XmlDocument.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

using stowline::xml::XmlDocument;

namespace {

std::optional<QByteArray> reserialised(std::string_view text) {
    XmlDocument document;
    if (!document.loadXML(text)) {
        return std::nullopt;
    }
    const QByteArray escaped = document.serialisedText();
    QByteArray turnedBack = escaped;
    char* begin = turnedBack.data();
    turnedBack.truncate(stowline::xml::turnBackReferences(begin, begin + turnedBack.size()) -
                        begin);
    if (turnedBack !=
        document.serialisedText(stowline::xml::SerialisedForm::ReferencesTurnedBack)) {
        std::abort();
    }
    return escaped;
}

std::optional<QByteArray> reserialised(const QByteArray& text) {
    return reserialised(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
}

QByteArray withLineEndsNormalised(QByteArray text) {
    return text.replace("\r\n", "\n").replace('\r', '\n');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto once = reserialised(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!once) {
        return 0;
    }
    const auto twice = reserialised(*once);
    if (!twice || withLineEndsNormalised(*twice) != withLineEndsNormalised(*once) ||
        reserialised(*twice) != twice) {
        std::abort();
    }
    return 0;
}
