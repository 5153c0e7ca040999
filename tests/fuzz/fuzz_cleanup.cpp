// The answer clean-up on arbitrary text; the first byte picks what is compared.
// - The clean-up functions: hosts call the QString ones, the component the byte ones; both
//   must give the same text.
// - The component's one-pass way from a query's answer to its data set, against the way a host's
//   ReturnWebserviceXML and the operation's unwrapping take: where it takes an answer both must
//   give the same text, and where it declines it must leave the answer exactly as it came. Half
//   of these inputs are the result's text inside the frame the service writes, so that the
//   one-pass way gets past the frame.
#include "answer/DataSetCut.h"
#include "answer/Unwrapping.h"
#include "failures/StowlineError.h"
#include "service/SoapExchange.h"

#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <utility>

using namespace stowline::answer;
using namespace stowline::service;

namespace {

struct CleanUp {
    QString (*onText)(QString);
    QByteArray (*onBytes)(QByteArray);
};

QByteArray operationTags(const char* operation, QByteArray bytes) {
    return ReplaceOperationSOAPTags(QString::fromLatin1(operation), std::move(bytes));
}

const CleanUp cleanUps[] = {
    {ReplaceEscapedXMLTags, ReplaceEscapedXMLTags},
    {ReplaceSOAPEnvelopeTags, ReplaceSOAPEnvelopeTags},
    {ReplaceGetDeliveryRouteSOAPTags,
     [](QByteArray b) { return operationTags("GetDeliveryRoute", b); }},
    {ReplaceGetFacilitiesSOAPTags, [](QByteArray b) { return operationTags("GetFacilities", b); }},
    {ReplaceGetRelativeDataSOAPTags,
     [](QByteArray b) { return operationTags("GetRelativeData", b); }},
    {ReplaceGetStorageLocationSOAPTags,
     [](QByteArray b) { return operationTags("GetStorageLocation", b); }},
};

const char* const Operations[] = {"GetFacilities", "GetRelativeData", "GetDeliveryRoute",
                                  "GetStorageLocation"};

void compareCleanUp(const CleanUp& cleanUp, const QByteArray& raw) {
    cleanUp.onBytes(raw); // also on bytes that are not UTF-8, which answers may hold
    // Compared on the UTF-8 form of the text, the only input on which both can be asked.
    const QString text = QString::fromUtf8(raw);
    if (cleanUp.onBytes(text.toUtf8()) != cleanUp.onText(text).toUtf8()) {
        std::abort();
    }
}

void compareOnePass(const QString& operation, const QByteArray& answer) {
    QByteArray cut = answer;
    if (!cutDataSetInPlace(cut, operation)) {
        if (cut != answer) {
            std::abort();
        }
        return;
    }
    QByteArray unwrapped;
    try {
        unwrapped = ReplaceOperationSOAPTags(
            operation, cleanedAnswer(QByteArray(answer), QStringLiteral("http://host")));
    } catch (const stowline::StowlineError&) {
        std::abort(); // the one-pass way took an answer the other refuses
    }
    if (cut != unwrapped) {
        std::abort();
    }
}

// The frame around a result's text, as the service writes it.
QByteArray framed(const QString& operation, const QByteArray& resultText) {
    const QStringList envelope = envelopeTagTexts();
    const QStringList tags = operationTagTexts(operation);
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>" +
           (envelope[0] + envelope[1] + tags[0] + tags[1]).toUtf8() + resultText +
           (tags[2] + tags[3] + envelope[2] + envelope[3]).toUtf8();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const QByteArray raw(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const unsigned pick = data[0] % 16;
    if (pick < std::size(cleanUps)) {
        compareCleanUp(cleanUps[pick], raw);
        return 0;
    }
    const QString operation = QString::fromLatin1(Operations[pick % 4]);
    compareOnePass(operation, pick < 12 ? raw : framed(operation, raw));
    return 0;
}
