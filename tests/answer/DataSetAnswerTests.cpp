// The two ways from a query's answer to its data-set text, side by side: where the one-pass cut
// takes an answer it gives what the literal path gives, and an answer it declines it leaves as
// it came. Replays the fuzz targets' corpus and a table of answers; and the check that the text
// holds a data set.
#include "answer/DataSetAnswer.h"
#include "support/AnswerPaths.h"
#include "support/DataSetText.h"
#include "support/QtPrinters.h"
#include "xml/XmlDocument.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace stowline::answer {
namespace {

const char* const Operations[] = {"GetDeliveryRoute", "GetFacilities", "GetRelativeData",
                                  "GetStorageLocation"};

// Each input as a whole answer, and as a result's text inside the frame the service writes, as
// it is and escaped as the service escapes a data set. Returns how many the cut took.
int expectAgreement(const QByteArray& text, const std::string& what) {
    int taken = 0;
    for (const char* operation : Operations) {
        for (const QByteArray& answer : {text, test::soapAnswer(operation, text),
                                         test::soapAnswer(operation, test::escaped(text))}) {
            const test::PathsCompared compared =
                test::compareAnswerPaths(QString::fromLatin1(operation), answer);
            EXPECT_TRUE(compared.agree)
                << what << ", " << operation << ": " << answer.left(160).toStdString();
            taken += compared.taken ? 1 : 0;
        }
    }
    return taken;
}

TEST(AnswerPaths, AgreeOnTheFuzzCorpus) {
    int taken = 0;
    for (const char* folder : {"cleanup", "readers"}) {
        const QDir dir(QStringLiteral(STOWLINE_FUZZ_CORPUS "/") + QLatin1String(folder));
        const QStringList files = dir.entryList(QDir::Files);
        ASSERT_FALSE(files.isEmpty()) << dir.path().toStdString();
        for (const QString& name : files) {
            QFile file(dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
            // The fuzz targets' first byte picks what they compare.
            taken += expectAgreement(file.readAll().mid(1), name.toStdString());
        }
    }
    // Escaped, each data set of the readers' corpus is an answer as the service writes it.
    EXPECT_GE(taken, 16);
}

TEST(AnswerPaths, AgreeOnTheResultTextsTheCutTreatsApart) {
    const struct {
        const char* what;
        QByteArray resultText; // as it stands inside the result element
        bool taken;            // by the cut, for every operation
    } cases[] = {
        {"references of every kind",
         "&lt;Root&gt;&lt;a&gt;A&amp;amp;B &amp;lt; &#60;&#x3E; &quot;q&quot; &apos;&#9;"
         "&lt;/a&gt;&lt;/Root&gt;",
         true},
        {"characters at the bounds of UTF-8's lengths",
         "&lt;Root&gt;&#x7F;&#x80;&#x7FF;&#x800;&#xFFFD;&#x10000;&#x10FFFF;&lt;/Root&gt;", true},
        {"line ends, which the parser turns into LF", "&lt;Root&gt;a\r\nb\rc\n&lt;/Root&gt;", true},
        {"\">\" as it is", "&lt;Root&gt;a > b&lt;/Root&gt;", true},
        {"text beyond ASCII", "&lt;Root&gt;Z\xC3\xBCrich \xE2\x80\x93 \xE2\x98\xBA&lt;/Root&gt;",
         true},
        {"white space only", " \r\n\t", false},
        {"white space written as references", "&#32;&#9;\n&#xD;&#10;", false},
        {"nothing", "", false},
        {"markup in the result", "<Root/>", false},
        {"an envelope tag inside the data set", "&lt;Root&gt;&lt;soap:Body&gt;&lt;/Root&gt;",
         false},
        {"a reference to \"<\" that begins an end tag", "&lt;Root&gt;&#60;/soap:Body>&lt;/Root&gt;",
         false},
        {"the bare declaration inside", "&lt;?xml version=\"1.0\"?&gt;&lt;Root/&gt;", false},
        {"an \"&\" that begins no reference", "&lt;Root&gt;A & B&lt;/Root&gt;", false},
        {"NUL", QByteArray("&lt;Root&gt;a\0b&lt;/Root&gt;", 27), false},
        // Past the cap on what the cut keeps to give an answer back.
        {"many references other than the three",
         "&lt;Root&gt;" + QByteArray("&#65;").repeated(70'000) + "&lt;/Root&gt;", false},
    };
    for (const auto& c : cases) {
        for (const char* operation : Operations) {
            const test::PathsCompared compared = test::compareAnswerPaths(
                QString::fromLatin1(operation), test::soapAnswer(operation, c.resultText));
            EXPECT_TRUE(compared.agree) << c.what << ", " << operation;
            EXPECT_EQ(compared.taken, c.taken) << c.what << ", " << operation;
        }
    }
    // Tags of another operation are data; the operation's own are cut by the literal path.
    const QByteArray facilitiesTag = "&lt;Root&gt;&lt;GetFacilitiesResult&gt;&lt;/Root&gt;";
    for (const char* operation : Operations) {
        const test::PathsCompared compared = test::compareAnswerPaths(
            QString::fromLatin1(operation), test::soapAnswer(operation, facilitiesTag));
        EXPECT_TRUE(compared.agree) << operation;
        EXPECT_EQ(compared.taken, std::string_view(operation) != "GetFacilities") << operation;
    }
    // White space after the frame is the service's too; other text is not.
    const QByteArray answer = test::soapAnswer("GetDeliveryRoute", "&lt;Root/&gt;");
    EXPECT_TRUE(test::compareAnswerPaths("GetDeliveryRoute", answer + "\r\n ").taken);
    EXPECT_FALSE(test::compareAnswerPaths("GetDeliveryRoute", answer + "x").taken);
}

// The literal path writes the answer with its references turned back, in place of writing it
// escaped and turning them back afterwards: the same text, in every place the serialiser writes
// (character data, attribute values with the characters it always writes as references,
// comments, CDATA, instructions, DOCTYPEs).
TEST(AnswerPaths, TheTurnedBackSerialisationIsTheEscapedOneCleanedUp) {
    const char* documents[] = {
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><a>&lt;b&gt;x &amp;amp; y&amp;lt;&lt;/b&gt;</a>",
        "<a t=\"&amp;lt; &lt; &gt; &quot; &#9;&#10;&#13;'\" u='\"&amp;'>&#13;&quot;\"</a>",
        "<!DOCTYPE a [<!ENTITY e \"&amp;lt;\">]><a><!-- &lt; &amp;gt; --><![CDATA[&lt;&amp;]]></a>",
        "<a><?pi &lt;&amp;amp;&gt;?>&amp;<b/>&lt;?xml version=\"1.0\"?&gt;</a>",
        "<a>&amp;</a>",
    };
    for (const char* text : documents) {
        xml::XmlDocument document;
        ASSERT_TRUE(document.loadXML(std::string_view(text))) << text;
        EXPECT_EQ(LengthenDeclarations(
                      document.serialisedText(xml::SerialisedForm::ReferencesTurnedBack)),
                  ReplaceEscapedXMLTags(document.serialisedText()))
            << text;
    }
}

TEST(DataSetProblem, NoneForRootAndOtherwiseWhatStandsInItsPlace) {
    const std::pair<const char*, const char*> cases[] = {
        {"<Root/>", nullptr},
        {"\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<!-- > <a> --><!DOCTYPE Root>\n<Root>", nullptr},
        // Read as the parser reads a DOCTYPE: the element inside its comment is not the first.
        {"<!DOCTYPE x [<!-- > <Root> -->]><Other/>", "<Other>"},
        {"", "no element at all"},
        {"<?xml version=\"1.0\"?><!-- <Root/> -->", "no element at all"},
        {"Busy & down, try later", "no element at all"}, // the readers then get empty text
        {"</GetStorageLocationResult>", "no element at all"},
        {"<soap:Envelope xmlns:soap=\"urn:s\"><Root/>", "<soap:Envelope> where <Root>"},
        {"<GetStorageLocationResult/>", "<GetStorageLocationResult>"},
        {"<Root2>", "<Root2>"},
    };
    for (const auto& [text, problem] : cases) {
        const QString found = dataSetProblem(QByteArray(text));
        EXPECT_EQ(found.isEmpty(), problem == nullptr) << text << ": " << found.toStdString();
        EXPECT_TRUE(problem == nullptr || found.contains(QLatin1String(problem)))
            << text << ": " << found.toStdString();
    }
}

} // namespace
} // namespace stowline::answer
