// The serialised text form the transport posts and the answer clean-up relies on.
#include "support/QtPrinters.h"
#include "xml/XmlDocument.h"

#include <gtest/gtest.h>

namespace stowline::xml {
namespace {

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

} // namespace
} // namespace stowline::xml
