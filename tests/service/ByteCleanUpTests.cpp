// The component cleans query answers up as UTF-8 bytes; hosts call the QString functions. Both
// must give the same text for every input, including ones built to trip a single-pass version.
#include "platform/XmlDocument.h"
#include "service/Unwrapping.h"

#include <QRandomGenerator>
#include <QStringList>
#include <gtest/gtest.h>

using namespace stowline::service;

namespace {

void expectSameCleanUp(const QString& input) {
    const QByteArray bytes = input.toUtf8();
    EXPECT_EQ(QString::fromUtf8(ReplaceEscapedXMLTags(bytes)), ReplaceEscapedXMLTags(input))
        << input.toStdString();
    EXPECT_EQ(QString::fromUtf8(ReplaceSOAPEnvelopeTags(bytes)), ReplaceSOAPEnvelopeTags(input))
        << input.toStdString();
    for (const char* operation :
         {"GetFacilities", "GetDeliveryRoute", "GetRelativeData", "GetStorageLocation"}) {
        const QString name = QString::fromLatin1(operation);
        EXPECT_EQ(QString::fromUtf8(ReplaceOperationSOAPTags(name, bytes)),
                  ReplaceOperationSOAPTags(name, input))
            << operation << ": " << input.toStdString();
    }
}

} // namespace

TEST(ByteCleanUp, GivesTheSameTextAsTheStringFunctions) {
    const char* cases[] = {
        "",
        "&",
        "&amp;lt;",
        "&&lt;gt;",
        "&amp;amp;",
        "&lt;&gt;&amp;&quot;&#60;",
        "&lt;?xml version=\"1.0\"?&gt;",
        "<?xml version=\"1.0\"?><?xml version=\"1.0\"?>",
        "<?xml version=\"1.0\" encoding=\"utf-8\" ?>x",
        "&l&lt;t;&g&gt;t;",
        "Montr\xc3\xa9"
        "al &amp; caf\xc3\xa9 &lt;b&gt;",
        "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
        "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\"><soap:Body><soap:Body></soap:Body>"
        "</soap:Envelope>",
        "<GetFacilitiesResponse xmlns=\"http://tempuri.org/TOVAStowlines/Service1\">"
        "<GetFacilitiesResult><?xml version=\"1.0\" encoding=\"utf-8\" ?></GetFacilitiesResult>"
        "</GetFacilitiesResponse><GetDeliveryRouteResult></GetDeliveryRouteResult>",
    };
    for (const char* text : cases) {
        expectSameCleanUp(QString::fromUtf8(text));
    }
}

TEST(ByteCleanUp, AgreesOnRandomTextMadeOfThePatternsPieces) {
    // Fragments of every pattern, so that matches start, end and nearly match everywhere.
    const QStringList pieces{QStringLiteral("&"),
                             QStringLiteral("lt;"),
                             QStringLiteral("gt;"),
                             QStringLiteral("amp;"),
                             QStringLiteral("&lt;"),
                             QStringLiteral("&amp;"),
                             QStringLiteral("<?xml version=\"1.0\"?>"),
                             QStringLiteral("<soap:Body>"),
                             QStringLiteral("</soap:Body>"),
                             QStringLiteral("<GetFacilitiesResult>"),
                             QStringLiteral("\u00e9"),
                             QStringLiteral("x")};
    QRandomGenerator random(20261206);
    for (int round = 0; round < 2000; ++round) {
        QString text;
        const int length = static_cast<int>(random.bounded(12));
        for (int i = 0; i < length; ++i) {
            text += pieces.at(static_cast<qsizetype>(random.bounded(pieces.size())));
        }
        expectSameCleanUp(text);
        if (::testing::Test::HasFailure()) {
            break;
        }
    }
}

TEST(ByteCleanUp, TheTurnedBackSerialisationEqualsTheEscapedOneCleanedUp) {
    // References in every place the serialiser writes: character data, attribute values (with
    // the characters it always writes as references), comments, CDATA, instructions, DOCTYPEs.
    const char* documents[] = {
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><a>&lt;b&gt;x &amp;amp; y&amp;lt;&lt;/b&gt;</a>",
        "<a t=\"&amp;lt; &lt; &gt; &quot; &#9;&#10;&#13;'\" u='\"&amp;'>&#13;&quot;\"</a>",
        "<!DOCTYPE a [<!ENTITY e \"&amp;lt;\">]><a><!-- &lt; &amp;gt; --><![CDATA[&lt;&amp;]]></a>",
        "<a><?pi &lt;&amp;amp;&gt;?>&amp;<b/>&lt;?xml version=\"1.0\"?&gt;</a>",
        "<a>&amp;</a>",
    };
    for (const char* text : documents) {
        stowline::platform::XmlDocument document;
        ASSERT_TRUE(document.loadXML(std::string_view(text))) << text;
        EXPECT_EQ(LengthenDeclarations(document.serialisedText(
                      stowline::platform::SerialisedForm::ReferencesTurnedBack)),
                  ReplaceEscapedXMLTags(document.serialisedText()))
            << text;
    }
}
