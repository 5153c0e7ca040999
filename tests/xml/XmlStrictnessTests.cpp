// Text that pugixml would take although it is not well-formed is refused, so that a repaired
// document never comes out.
#include "support/QtPrinters.h"
#include "xml/XmlDocument.h"

#include <gtest/gtest.h>
#include <string_view>

namespace stowline::xml {
namespace {

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

// The reason a text outside the document element gives, as the error's details show it.
TEST(XmlDocument, TextBesideTheDocumentElementIsNamedForWhatItIs) {
    for (const auto& [input, reason] :
         {std::pair{"text<a/>", "text outside the document element (at offset 0)"},
          {" &amp;<a/>", "text outside the document element (at offset 1)"},
          {"&bogus;<a/>",
           "\"&\" begins no predefined entity or character reference (at offset 0)"}}) {
        XmlDocument document;
        document.loadXML(std::string_view(input));
        EXPECT_EQ(document.result().description(), QString::fromLatin1(reason)) << input;
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

} // namespace
} // namespace stowline::xml
