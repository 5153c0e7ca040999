// The answer clean-up by exact text replacement: which spellings are cut and which survive. Hosts
// call the QString functions, the component the UTF-8 ones: every case is asked of both.
#include "answer/Unwrapping.h"
#include "support/QtPrinters.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace stowline::answer {
namespace {

const char* const Operations[] = {"GetDeliveryRoute", "GetFacilities", "GetRelativeData",
                                  "GetStorageLocation"};

// Table texts name the operation as {Op}, the service namespace as {NS} and the long
// declaration as {DECL}, so one table serves all four operations.
QString expand(const char* text, const QString& op) {
    return QString::fromUtf8(text)
        .replace(QStringLiteral("{Op}"), op)
        .replace(QStringLiteral("{NS}"),
                 QStringLiteral("http://tempuri.org/TOVAStowlines/Service1"))
        .replace(QStringLiteral("{DECL}"),
                 QStringLiteral(R"(<?xml version="1.0" encoding="utf-8" ?>)"));
}

QString onBytes(QByteArray (*clean)(QByteArray), const QString& text) {
    return QString::fromUtf8(clean(text.toUtf8()));
}

TEST(ReplaceOperationSOAPTags, CutOnlyTheirOwnExactTags) {
    struct Case {
        const char* what;
        const char* input;
        const char* expected;
        const char* expectedByFacilities; // when the facilities function differs
    };
    const std::vector<Case> cases = {
        {"empty text", "", "", nullptr},
        {"a transport result",
         "{DECL}\r\n<{Op}Response xmlns=\"{NS}\"><{Op}Result><Root/></{Op}Result></{Op}Response>",
         "{DECL}\r\n<Root/>", "\r\n<Root/>"},
        {"every occurrence", "<{Op}Result>a</{Op}Result>x<{Op}Result>b</{Op}Result>", "axb",
         nullptr},
        {"result tag in lower case", "<{Op}result>a</{Op}result>", "<{Op}result>a</{Op}result>",
         nullptr},
        {"two blanks before xmlns", "<{Op}Response  xmlns=\"{NS}\">a</{Op}Response>",
         "<{Op}Response  xmlns=\"{NS}\">a", nullptr},
        {"namespace with a trailing slash", "<{Op}Response xmlns=\"{NS}/\">a",
         "<{Op}Response xmlns=\"{NS}/\">a", nullptr},
        {"prefixed result tag", "<s:{Op}Result>a</s:{Op}Result>", "<s:{Op}Result>a</s:{Op}Result>",
         nullptr},
        {"empty result element", "<{Op}Result/>", "<{Op}Result/>", nullptr},
        {"declaration alone", "{DECL}<Root/>", "{DECL}<Root/>", "<Root/>"},
        {"declaration in the middle, twice", "a{DECL}b{DECL}", "a{DECL}b{DECL}", "ab"},
        {"declaration without the blank before ?>",
         "<?xml version=\"1.0\" encoding=\"utf-8\"?><Root/>",
         "<?xml version=\"1.0\" encoding=\"utf-8\"?><Root/>", nullptr},
    };
    QString (*const byName[])(QString) = {
        &ReplaceGetDeliveryRouteSOAPTags, &ReplaceGetFacilitiesSOAPTags,
        &ReplaceGetRelativeDataSOAPTags, &ReplaceGetStorageLocationSOAPTags};
    for (int i = 0; i < 4; ++i) {
        const QString op = QString::fromLatin1(Operations[i]);
        for (const Case& c : cases) {
            const QString input = expand(c.input, op);
            const QString expected =
                expand(i == 1 && c.expectedByFacilities ? c.expectedByFacilities : c.expected, op);
            EXPECT_EQ(byName[i](input), expected) << Operations[i] << ": " << c.what;
            EXPECT_EQ(QString::fromUtf8(ReplaceOperationSOAPTags(op, input.toUtf8())), expected)
                << Operations[i] << " on bytes: " << c.what;
        }
        // Another operation's tags (without a declaration) come back unchanged.
        const QString foreign =
            expand("<{Op}Response xmlns=\"{NS}\"><{Op}Result>x</{Op}Result></{Op}Response>",
                   QString::fromLatin1(Operations[(i + 1) % 4]));
        EXPECT_EQ(byName[i](foreign), foreign) << Operations[i];
    }
}

TEST(ReplaceEscapedXMLTags, TurnsEscapedMarkupBackAndRewritesTheBareDeclaration) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"&lt;Root&gt;&lt;a/&gt;&lt;/Root&gt;", "<Root><a/></Root>"},
        {"&lt;&lt;&gt;&gt;", "<<>>"},
        // An escaped ampersand becomes one ampersand, and only once.
        {"&amp;lt;", "&lt;"},
        {"A&amp;amp;B", "A&amp;B"},
        {"&amp;", "&"},
        {"&&lt;gt;", "&<gt;"},
        {"&l&lt;t;&g&gt;t;", "&l<t;&g>t;"},
        {"Montr\xc3\xa9"
         "al &amp; caf\xc3\xa9 &lt;b&gt;",
         "Montr\xc3\xa9"
         "al & caf\xc3\xa9 <b>"},
        {"&quot;&apos;&#60;&LT;", "&quot;&apos;&#60;&LT;"},
        {"<?xml version=\"1.0\"?>\r\n<a/>", "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<a/>"},
        {"<?xml version=\"1.0\"?><?xml version=\"1.0\"?>",
         "<?xml version=\"1.0\" encoding=\"utf-8\" ?><?xml version=\"1.0\" encoding=\"utf-8\" ?>"},
        {"<?xml version=\"1.0\" encoding=\"utf-8\"?>",
         "<?xml version=\"1.0\" encoding=\"utf-8\"?>"},
        // Markup is restored before the declaration is looked for.
        {"&lt;?xml version=\"1.0\"?&gt;", "<?xml version=\"1.0\" encoding=\"utf-8\" ?>"},
    };
    for (const auto& [input, expected] : cases) {
        const QString text = QString::fromUtf8(input);
        EXPECT_EQ(ReplaceEscapedXMLTags(text), QString::fromUtf8(expected)) << input;
        EXPECT_EQ(onBytes(&ReplaceEscapedXMLTags, text), QString::fromUtf8(expected)) << input;
    }
}

TEST(ReplaceSOAPEnvelopeTags, CutsTheAnswerFormOfTheEnvelopeOnly) {
    const QString answerStart =
        R"(<soap:Envelope xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:xsd="http://www.w3.org/2001/XMLSchema">)";
    const QString requestStart =
        R"(<soap:Envelope xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/">)";
    const std::pair<QString, QString> cases[] = {
        {"", ""},
        {"<Root>no tags</Root>", "<Root>no tags</Root>"},
        {"D\r\n" + answerStart + "<soap:Body><R/></soap:Body></soap:Envelope>", "D\r\n<R/>"},
        {answerStart + "<soap:Body><soap:Body></soap:Body></soap:Envelope>", ""},
        {requestStart + "<soap:Body><R/></soap:Body></soap:Envelope>", requestStart + "<R/>"},
        {"<SOAP:Body><soap:Body/></SOAP:Body>", "<SOAP:Body><soap:Body/></SOAP:Body>"},
        {"<soap:Body>a</soap:Body><soap:Body>b</soap:Body>", "ab"},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(ReplaceSOAPEnvelopeTags(input), expected);
        EXPECT_EQ(onBytes(&ReplaceSOAPEnvelopeTags, input), expected);
    }
}

} // namespace
} // namespace stowline::answer
