// The answer clean-up on arbitrary text; the first byte picks what is compared.
// - The clean-up functions: hosts call the QString ones, the component the byte ones; both
//   must give the same text.
// - The component's one-pass way from a query's answer to its data set, against the literal
//   path (support/AnswerPaths.h). Half of these inputs are the result's text inside the frame
//   the service writes, so that the one-pass way gets past the frame.
#include "answer/Unwrapping.h"
#include "support/AnswerPaths.h"
#include "support/DataSetText.h"

#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <utility>

using namespace stowline::answer;

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
    const char* operation = Operations[pick % 4];
    const QByteArray answer = pick < 12 ? raw : stowline::test::soapAnswer(operation, raw);
    if (!stowline::test::compareAnswerPaths(QString::fromLatin1(operation), answer).agree) {
        std::abort();
    }
    return 0;
}
