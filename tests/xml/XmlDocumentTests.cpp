// The serialised text form the transport posts and the answer clean-up relies on, and parsing
// that stays safe on hostile input.
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

TEST(XmlSerialisedText, FollowsTheDocumentedForm) {
    struct Case {
        const char* what;
        const char* input;
        const char* expected; // none: the input unchanged
    };
    const std::vector<Case> cases = {
        {"declaration rewritten, CR LF after it",
         "<?xml version=\"1.0\" encoding=\"utf-8\"?><a>x</a>",
         "<?xml version=\"1.0\"?>\r\n<a>x</a>"},
        {"declaration with standalone and a blank",
         "<?xml version='1.0' standalone='yes' ?>\n\n<a/>", "<?xml version=\"1.0\"?>\r\n<a/>"},
        {"no declaration, none added", "<a>x</a>", nullptr},
        {"whitespace-only text dropped, other text kept whole",
         "<a>\n  <b> </b>\r\n\t<c> y </c>\n</a>", "<a><b/><c> y </c></a>"},
        {"attribute order and prefixes kept",
         "<p:a xmlns:p=\"u\" z=\"1\" b='2' m=\"3\"><p:b/></p:a>",
         "<p:a xmlns:p=\"u\" z=\"1\" b=\"2\" m=\"3\"><p:b/></p:a>"},
        {"markup characters in attributes and text",
         "<a v='&lt;&amp;\"&gt;&apos;'>1 &lt; 2 &amp;&amp; 3 &gt; 2 \"q\" 'a'</a>",
         "<a v=\"&lt;&amp;&quot;>'\">1 &lt; 2 &amp;&amp; 3 &gt; 2 \"q\" 'a'</a>"},
        {"empty element, references decoded, non-ASCII text",
         "<a b=\"Süd\"><b></b>&#65;&#x263A; Zürich – ☺</a>", "<a b=\"Süd\"><b/>A☺ Zürich – ☺</a>"},
        {"an instruction whose target begins with xml is not a declaration",
         "<?xml-stylesheet href=\"a/b\"?><a/>", nullptr},
        {"a DOCTYPE whose quotes, comments, instructions and sections hold \">\" and \"]\"",
         "<!DOCTYPE a [<!ENTITY e \"]>\"><!-- ] > --><?p > ?><![IGNORE[ <x> ]]>]><a/>", nullptr},
        {"comments, instructions and CDATA kept, markup characters in them too",
         "<!-- top -->\n<a><!--c & <--><?pi x&y?><![CDATA[<&>]]></a>\n<?end?>",
         "<!-- top --><a><!--c & <--><?pi x&y?><![CDATA[<&>]]></a><?end?>"},
        {"a comment whose text begins with \">\" and holds \"&\"", "<a><!-->&--></a>", nullptr},
        // Written literally, a parser would read each of them back as a blank.
        {"tab, LF and CR in attribute values stay references", "<a v=\"1&#9;2&#10;3&#13;4&#x9;\"/>",
         "<a v=\"1&#9;2&#10;3&#13;4&#9;\"/>"},
        // Written literally, a text of blanks alone would be dropped when read again.
        {"text of referenced blanks alone stays references",
         "<a><b>&#10;</b>&#9;&#13;&#32;<c/></a>", "<a><b>&#10;</b>&#9;&#13;&#32;<c/></a>"},
        {"DOCTYPE kept, not applied", "<!DOCTYPE a [<!ENTITY e \"x > y\">]><a v=\"&#x41;\">t</a>",
         "<!DOCTYPE a [<!ENTITY e \"x > y\">]><a v=\"A\">t</a>"},
    };
    for (const Case& c : cases) {
        XmlDocument document;
        EXPECT_TRUE(document.loadXML(QString::fromUtf8(c.input))) << c.what;
        EXPECT_EQ(QString::fromUtf8(document.serialisedText()),
                  QString::fromUtf8(c.expected ? c.expected : c.input))
            << c.what;
    }
}

TEST(XmlSerialisedText, IsEmptyWhenNothingParsed) {
    // Several of these pugixml accepts on its own; a repaired document must never come out.
    const std::vector<QByteArray> inputs = {
        "", "not xml", "<a>", "<a></b>", "<html><br></html>", "<a/><b/>", "text<a/>", "<a/>text",
        "<a>A & B</a>", "<a>&nbsp;</a>", "<a>&;</a>", "<a>&#;</a>", "<a>&#x;</a>", "<a>&#0;</a>",
        "<a>&#xD800;</a>", "<a>&#x110000;</a>", "<a v=\"<\"/>", "<a v='&b;'/>",
        "<!DOCTYPE a [<!ENTITY e \"X\">]><a>&e;</a>",
        // pugixml ends this DOCTYPE at "e/>" and drops the text after it; the "[" opens
        // nothing for it.
        "<!DOCTYPE d [e/>lost<a/>", "<!DOCTYPE d [<!-- x -->", "<!DOCTYPE d \"x>",
        "<a/><!DOCTYPE a>", "<!DOCTYPE a><!DOCTYPE a><a/>",
        // pugixml ends this declaration at "/>" and reads on as content up to the "?>".
        "<?xml /><a/><b/>?>", "<?XML version='1.0' /><a>x</a>?>"};
    for (const QByteArray& input : inputs) {
        XmlDocument document;
        document.loadXML(std::string_view("<old/>"));
        EXPECT_FALSE(document.loadXML(std::string_view(input.constData(), input.size())))
            << input.constData();
        EXPECT_FALSE(document.result());
        EXPECT_TRUE(document.result().description().contains(QLatin1String(" (at offset ")))
            << input.constData();
        EXPECT_EQ(document.serialisedText(), "") << input.constData();
    }
}

// The scan skips plain runs several bytes at a time; a fault must be found wherever it falls
// in a run, next to bytes of every kind, and a sound reference must never be taken for one.
TEST(XmlDocument, FaultsAreFoundWhereverTheyFallInALongRun) {
    for (int before = 0; before < 20; ++before) {
        for (const char* filler : {"x", "\xC3\xA9", "\x7F", "\"", "'", "/"}) {
            const QByteArray run = QByteArray(filler).repeated(before);
            const QByteArray tail = "plain text after it";
            struct Case {
                QByteArray text;
                bool sound;
            };
            const Case cases[] = {
                {"<a>" + run + "&amp;&#x10FFFF;" + tail + "</a>", true},
                {"<a>" + run + "&bad;" + tail + "</a>", false},
                {"<a>" + run + "&" + tail + "</a>", false},
                {"<a>" + run + "<b/>" + tail + "</a>", true},
                {"<a v='" + QByteArray(run).replace('\'', 'q') + "&lt;" + tail + "'/>", true},
                {"<a v='" + QByteArray(run).replace('\'', 'q') + "<" + tail + "'/>", false},
                {"<a v=\"" + QByteArray(run).replace('"', 'q') + "&bad;\"/>", false},
                {"<a " + QByteArray(before, ' ') + "v='>'/>", true},
            };
            for (const Case& c : cases) {
                XmlDocument document;
                EXPECT_EQ(static_cast<bool>(document.loadXML(
                              std::string_view(c.text.constData(), c.text.size()))),
                          c.sound)
                    << c.text.constData();
            }
        }
    }
}

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
