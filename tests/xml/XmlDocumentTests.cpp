// Parsing that keeps its characters whatever the encoding, and stays safe on hostile input.
#include "support/QtPrinters.h"
#include "xml/XmlDocument.h"

#include <QStringEncoder>
#include <gtest/gtest.h>
#include <string_view>
#include <type_traits>

namespace stowline::xml {
namespace {

// Parsed in place: nodes point into the document's own buffer, so it must stay where it is.
static_assert(!std::is_move_constructible_v<XmlDocument> &&
              !std::is_copy_assignable_v<XmlDocument>);

TEST(XmlDocument, TextKeepsItsCharactersWhateverEncodingItsDeclarationNames) {
    // A QString is already decoded: its declaration must not re-decode it.
    XmlDocument fromText;
    ASSERT_TRUE(fromText.loadXML(
        QString::fromUtf8("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>Zürich</a>")));
    EXPECT_EQ(nodeText(fromText.dom().child("a")), QString::fromUtf8("Zürich"));

    // Bytes are decoded as their declaration says.
    XmlDocument fromBytes;
    ASSERT_TRUE(fromBytes.loadXML(
        std::string_view("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>Z\xfcrich</a>")));
    EXPECT_EQ(nodeText(fromBytes.dom().child("a")), QString::fromUtf8("Zürich"));
}

TEST(XmlDocument, WideTextIsHeldToTheSameRulesAsUtf8) {
    // Found by a byte-order mark or by how "<" is encoded; what UTF-8 text may not be, wide
    // text may not be either, or its serialisation would no longer parse.
    for (const auto encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE,
                                QStringConverter::Utf32LE, QStringConverter::Utf32BE}) {
        for (const auto flags :
             {QStringConverter::Flag::Default, QStringConverter::Flag::WriteBom}) {
            const auto load = [&](XmlDocument& document, const QString& text) {
                const QByteArray bytes = QStringEncoder(encoding, flags)(text);
                return document.loadXML(std::string_view(bytes.constData(), bytes.size()));
            };
            XmlDocument document;
            EXPECT_TRUE(load(document, QString::fromUtf8("<a>Zürich</a>"))) << encoding;
            EXPECT_EQ(document.serialisedText(), "<a>Z\xc3\xbcrich</a>") << encoding;
            EXPECT_FALSE(load(document, QStringLiteral("<a/><b/>"))) << encoding;
            EXPECT_FALSE(load(document, QStringLiteral("<a>A & B</a>"))) << encoding;
        }
    }
}

} // namespace
} // namespace stowline::xml
