#include "answer/Unwrapping.h"

#include "xml/ReferenceTurnBack.h"

#include <stowline/ServiceNamespace.h>

#include <cstring>
#include <string.h>
#include <string_view>
#include <vector>

namespace stowline::answer {
namespace {

// The clean-up works the same on UTF-16 text and on UTF-8 bytes: every pattern is ASCII, so
// matching bytes gives the same replacements as matching code units.
template <typename Text> Text literal(const char* text) {
    if constexpr (std::is_same_v<Text, QString>) {
        return QString::fromLatin1(text);
    } else {
        return QByteArray(text);
    }
}

template <typename Text> Text literal(const QString& text) {
    if constexpr (std::is_same_v<Text, QString>) {
        return text;
    } else {
        return text.toUtf8();
    }
}

// The replacement primitive: every occurrence, exact and case-sensitive, left to right,
// without overlaps and without rescanning inserted text.
void replaceEvery(QString& text, const QString& search, const QString& with) {
    if (!search.isEmpty()) {
        text.replace(search, with);
    }
}

// The same on bytes, in place. Answers run to many megabytes and each pattern occurs once or
// not at all; copying the whole text for every pattern that matched cost more than everything
// else the clean-up does, because each copy lands in freshly mapped memory.
const char* findIn(const char* from, const char* end, const QByteArray& search) {
    return static_cast<const char*>(memmem(from, static_cast<std::size_t>(end - from),
                                           search.constData(),
                                           static_cast<std::size_t>(search.size())));
}

// A replacement no longer than its pattern: the text is compacted front to back, which never
// overwrites what is still to be read.
void replaceShrinking(QByteArray& text, const QByteArray& search, const QByteArray& with,
                      qsizetype firstMatch) {
    char* data = text.data();
    const char* end = data + text.size();
    char* write = data + firstMatch;
    const char* read = write;
    const char* match = read;
    while (match != nullptr) {
        std::memmove(write, read, static_cast<std::size_t>(match - read));
        write += match - read;
        std::memcpy(write, with.constData(), static_cast<std::size_t>(with.size()));
        write += with.size();
        read = match + search.size();
        match = findIn(read, end, search);
    }
    std::memmove(write, read, static_cast<std::size_t>(end - read));
    write += end - read;
    text.truncate(write - data);
}

// A longer replacement: the text grows once and is filled back to front.
void replaceGrowing(QByteArray& text, const QByteArray& search, const QByteArray& with,
                    qsizetype firstMatch) {
    std::vector<qsizetype> matches;
    for (const char* match = text.constData() + firstMatch; match != nullptr;
         match = findIn(match + search.size(), text.constData() + text.size(), search)) {
        matches.push_back(match - text.constData());
    }
    const qsizetype oldSize = text.size();
    const qsizetype growth = with.size() - search.size();
    text.resize(oldSize + growth * static_cast<qsizetype>(matches.size()));
    char* data = text.data();
    qsizetype readEnd = oldSize;
    qsizetype writeEnd = text.size();
    for (auto match = matches.rbegin(); match != matches.rend(); ++match) {
        const qsizetype tail = readEnd - (*match + search.size());
        std::memmove(data + writeEnd - tail, data + readEnd - tail, static_cast<std::size_t>(tail));
        writeEnd -= tail + with.size();
        std::memcpy(data + writeEnd, with.constData(), static_cast<std::size_t>(with.size()));
        readEnd = *match;
    }
}

void replaceEvery(QByteArray& text, const QByteArray& search, const QByteArray& with) {
    if (search.isEmpty()) {
        return;
    }
    const char* match = findIn(text.constData(), text.constData() + text.size(), search);
    if (match == nullptr) {
        return;
    }
    const qsizetype firstMatch = match - text.constData();
    if (with.size() <= search.size()) {
        replaceShrinking(text, search, with, firstMatch);
    } else {
        replaceGrowing(text, search, with, firstMatch);
    }
}

// &lt;, &gt; and &amp; in one scan, in place; a text without "&" is not even detached.
void turnBackEscapes(QByteArray& text) {
    if (!text.contains('&')) {
        return;
    }
    char* begin = text.data();
    text.truncate(xml::turnBackReferences(begin, begin + text.size()) - begin);
}

void turnBackEscapes(QString& text) {
    if (!text.contains(u'&')) {
        return;
    }
    auto* begin = reinterpret_cast<char16_t*>(text.data());
    text.truncate(xml::turnBackReferences(begin, begin + text.size()) - begin);
}

template <typename Text> void lengthenDeclarations(Text& text) {
    replaceEvery(text, literal<Text>(BareDeclaration), literal<Text>(LongDeclaration));
}

template <typename Text> Text escapedTags(Text text) {
    turnBackEscapes(text);
    lengthenDeclarations(text);
    return text;
}

template <typename Text> Text envelopeTags(Text text) {
    if (text.isEmpty()) {
        return text;
    }
    for (const QString& tag : envelopeTagTexts()) {
        replaceEvery(text, literal<Text>(tag), Text());
    }
    return text;
}

template <typename Text> Text operationTags(const QString& operation, Text text) {
    if (text.isEmpty()) {
        return text;
    }
    for (const QString& tag : operationTagTexts(operation)) {
        replaceEvery(text, literal<Text>(tag), Text());
    }
    return text;
}

} // namespace

QStringList envelopeTagTexts() {
    return {QStringLiteral("<soap:Envelope"
                           " xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\""
                           " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
                           " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">"),
            QStringLiteral("<soap:Body>"), QStringLiteral("</soap:Body>"),
            QStringLiteral("</soap:Envelope>")};
}

QStringList operationTagTexts(const QString& operation) {
    QStringList tags{QStringLiteral("<%1Response xmlns=\"%2\">")
                         .arg(operation, QString::fromLatin1(ServiceNamespace)),
                     QStringLiteral("<%1Result>").arg(operation),
                     QStringLiteral("</%1Result>").arg(operation),
                     QStringLiteral("</%1Response>").arg(operation)};
    if (operation == QLatin1String(operation_name::GetFacilities)) {
        tags.append(QString::fromLatin1(LongDeclaration));
    }
    return tags;
}

QString ReplaceEscapedXMLTags(QString XMLData) {
    return escapedTags(std::move(XMLData));
}

QByteArray ReplaceEscapedXMLTags(QByteArray XMLData) {
    return escapedTags(std::move(XMLData));
}

QByteArray LengthenDeclarations(QByteArray XMLData) {
    lengthenDeclarations(XMLData);
    return XMLData;
}

QString ReplaceSOAPEnvelopeTags(QString XMLData) {
    return envelopeTags(std::move(XMLData));
}

QByteArray ReplaceSOAPEnvelopeTags(QByteArray XMLData) {
    return envelopeTags(std::move(XMLData));
}

QString ReplaceOperationSOAPTags(const QString& operation, QString XMLData) {
    return operationTags(operation, std::move(XMLData));
}

QByteArray ReplaceOperationSOAPTags(const QString& operation, QByteArray XMLData) {
    return operationTags(operation, std::move(XMLData));
}

QString ReplaceGetDeliveryRouteSOAPTags(QString XMLData) {
    return operationTags(QString::fromLatin1(operation_name::GetDeliveryRoute), std::move(XMLData));
}

QString ReplaceGetFacilitiesSOAPTags(QString XMLData) {
    return operationTags(QString::fromLatin1(operation_name::GetFacilities), std::move(XMLData));
}

QString ReplaceGetRelativeDataSOAPTags(QString XMLData) {
    return operationTags(QString::fromLatin1(operation_name::GetRelativeData), std::move(XMLData));
}

QString ReplaceGetStorageLocationSOAPTags(QString XMLData) {
    return operationTags(QString::fromLatin1(operation_name::GetStorageLocation),
                         std::move(XMLData));
}

} // namespace stowline::answer
