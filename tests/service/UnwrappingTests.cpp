// The answer clean-up by exact text replacement: which spellings are cut and which survive.
#include "service/Unwrapping.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace stowline::service {
namespace {

// Table texts name the operation as {Op}, the service namespace as {NS} and the long
// declaration as {DECL}, so one table serves all four functions.
QString expand(QString text, const QString& op) {
    return text.replace(QStringLiteral("{Op}"), op)
        .replace(QStringLiteral("{NS}"),
                 QStringLiteral("http://tempuri.org/TOVAStowlines/Service1"))
        .replace(QStringLiteral("{DECL}"),
                 QStringLiteral(R"(<?xml version="1.0" encoding="utf-8" ?>)"));
}

struct Unwrapper {
    QString op;
    QString (*function)(QString);
    QString otherOp; // an operation whose tags this function must leave alone
};

const std::vector<Unwrapper> unwrappers = {
    {QStringLiteral("GetDeliveryRoute"), &ReplaceGetDeliveryRouteSOAPTags,
     QStringLiteral("GetFacilities")},
    {QStringLiteral("GetFacilities"), &ReplaceGetFacilitiesSOAPTags,
     QStringLiteral("GetDeliveryRoute")},
    {QStringLiteral("GetRelativeData"), &ReplaceGetRelativeDataSOAPTags,
     QStringLiteral("GetStorageLocation")},
    {QStringLiteral("GetStorageLocation"), &ReplaceGetStorageLocationSOAPTags,
     QStringLiteral("GetRelativeData")},
};

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
    for (const Unwrapper& u : unwrappers) {
        const bool facilities = u.op == QLatin1String("GetFacilities");
        for (const Case& c : cases) {
            const char* expected =
                facilities && c.expectedByFacilities ? c.expectedByFacilities : c.expected;
            EXPECT_EQ(u.function(expand(QString::fromUtf8(c.input), u.op)),
                      expand(QString::fromUtf8(expected), u.op))
                << qPrintable(u.op) << ": " << c.what;
        }
        // Another operation's tags (without a declaration) come back unchanged.
        const QString foreign =
            expand(QStringLiteral("<{Op}Response xmlns=\"{NS}\"><{Op}Result>x</{Op}Result>"
                                  "</{Op}Response>"),
                   u.otherOp);
        EXPECT_EQ(u.function(foreign), foreign) << qPrintable(u.op);
    }
}

TEST(ReplaceEscapedXMLTags, TurnsEscapedMarkupBackAndRewritesTheBareDeclaration) {
    struct Case {
        const char* input;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"", ""},
        {"&lt;Root&gt;&lt;a/&gt;&lt;/Root&gt;", "<Root><a/></Root>"},
        {"&lt;&lt;&gt;&gt;", "<<>>"},
        // An escaped ampersand becomes one ampersand, and only once.
        {"&amp;lt;", "&lt;"},
        {"A&amp;amp;B", "A&amp;B"},
        {"&amp;", "&"},
        {"&quot;&apos;&#60;&LT;", "&quot;&apos;&#60;&LT;"},
        {"<?xml version=\"1.0\"?>\r\n<a/>", "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<a/>"},
        {"<?xml version=\"1.0\"?><?xml version=\"1.0\"?>",
         "<?xml version=\"1.0\" encoding=\"utf-8\" ?><?xml version=\"1.0\" encoding=\"utf-8\" ?>"},
        {"<?xml version=\"1.0\" encoding=\"utf-8\"?>",
         "<?xml version=\"1.0\" encoding=\"utf-8\"?>"},
        // Markup is restored before the declaration is looked for.
        {"&lt;?xml version=\"1.0\"?&gt;", "<?xml version=\"1.0\" encoding=\"utf-8\" ?>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReplaceEscapedXMLTags(QString::fromUtf8(c.input)), QString::fromUtf8(c.expected))
            << c.input;
    }
}

TEST(ReplaceSOAPEnvelopeTags, CutsTheAnswerFormOfTheEnvelopeOnly) {
    const QString answerStart =
        R"(<soap:Envelope xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:xsd="http://www.w3.org/2001/XMLSchema">)";
    const QString requestStart =
        R"(<soap:Envelope xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/">)";
    struct Case {
        QString input;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"", ""},
        {"<Root>no tags</Root>", "<Root>no tags</Root>"},
        {"D\r\n" + answerStart + "<soap:Body><R/></soap:Body></soap:Envelope>", "D\r\n<R/>"},
        {requestStart + "<soap:Body><R/></soap:Body></soap:Envelope>", requestStart + "<R/>"},
        {"<SOAP:Body><soap:Body/></SOAP:Body>", "<SOAP:Body><soap:Body/></SOAP:Body>"},
        {"<soap:Body>a</soap:Body><soap:Body>b</soap:Body>", "ab"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReplaceSOAPEnvelopeTags(c.input), c.expected);
    }
}

} // namespace
} // namespace stowline::service
