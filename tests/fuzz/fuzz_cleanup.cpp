// The answer clean-up on arbitrary text; the first byte picks the function. Hosts call the
// QString functions, the component the byte ones: both must give the same text.
#include "service/Unwrapping.h"

#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <utility>

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const CleanUp& cleanUp = cleanUps[data[0] % std::size(cleanUps)];
    const QByteArray raw(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    cleanUp.onBytes(raw); // also on bytes that are not UTF-8, which answers may hold
    // Compared on the UTF-8 form of the text, the only input on which both can be asked.
    const QString text = QString::fromUtf8(raw);
    if (cleanUp.onBytes(text.toUtf8()) != cleanUp.onText(text).toUtf8()) {
        std::abort();
    }
    return 0;
}
