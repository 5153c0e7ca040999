// The request texts, character for character: the template, the four query envelopes and the
// update elements the senders insert into it.
#include "service/Envelope.h"
#include "service/ServiceClient.h"
#include "support/QtPrinters.h"
#include "support/Recorders.h"

#include <gtest/gtest.h>

#include <functional>

namespace stowline::service {
namespace {

const QString Template =
    R"(<?xml version="1.0" encoding="utf-8"?><soap:Envelope xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/">  <soap:Body>    XMLData   </soap:Body> </soap:Envelope>)";

TEST(EnvelopeTemplate, IsOneLineWithThePlaceholderOnce) {
    EXPECT_EQ(GetSOAPEnvelope(), Template);
}

TEST(QueryEnvelopes, AreTheTemplateWithAnEmptyOperationElement) {
    test::MessageBoxRecorder boxes;
    struct Case {
        QString (ServiceClient::*builder)();
        QString expected;
    };
    const QString head =
        R"(<?xml version="1.0" encoding="utf-8"?><soap:Envelope xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/">  <soap:Body>     )";
    const QString tail = R"(   </soap:Body> </soap:Envelope>)";
    const std::vector<Case> cases = {
        {&ServiceClient::GetFacilitiesSOAPEnvelope,
         head + R"(<GetFacilities xmlns="http://tempuri.org/TOVAStowlines/Service1" />)" + tail},
        {&ServiceClient::GetDeliveryRouteSOAPEnvelope,
         head + R"(<GetDeliveryRoute xmlns="http://tempuri.org/TOVAStowlines/Service1" />)" + tail},
        {&ServiceClient::GetRelativeDataSOAPEnvelope,
         head + R"(<GetRelativeData xmlns="http://tempuri.org/TOVAStowlines/Service1" />)" + tail},
        {&ServiceClient::GetStorageLocationSOAPEnvelope,
         head + R"(<GetStorageLocation xmlns="http://tempuri.org/TOVAStowlines/Service1" />)" +
             tail},
    };
    ServiceClient client;
    for (const Case& c : cases) {
        EXPECT_EQ((client.*c.builder)(), c.expected);
        // Building twice gives the same text: nothing is left over from the first call.
        EXPECT_EQ((client.*c.builder)(), c.expected);
    }
    EXPECT_TRUE(boxes.shown().empty());
}

TEST(UpdateElements, CarryTheValuesUntrimmedWithSixBlanksBeforeEachChild) {
    struct Case {
        const char* what;
        std::function<QString()> build;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"three children",
         [] {
             return updateElement(QStringLiteral("AddDeliveryRoute"),
                                  {{"FacilityID", QStringLiteral("3")},
                                   {"Route", QStringLiteral("07")},
                                   {"Description", QStringLiteral("North")}});
         },
         R"(<AddDeliveryRoute xmlns="http://tempuri.org/TOVAStowlines/Service1">      <FacilityID>3</FacilityID>      <Route>07</Route>      <Description>North</Description></AddDeliveryRoute>)"},
        {"one key only",
         [] {
             return updateElement(QStringLiteral("DeleteStorageLocation"),
                                  {{"StorageLocationID", QStringLiteral("-1")}});
         },
         R"(<DeleteStorageLocation xmlns="http://tempuri.org/TOVAStowlines/Service1">      <StorageLocationID>-1</StorageLocationID></DeleteStorageLocation>)"},
        {"blanks kept, empty value",
         [] {
             return updateElement(QStringLiteral("AddStorageLocation"),
                                  {{"TOVAFacilityID", QString()},
                                   {"RouteName", QStringLiteral("  B1 ")},
                                   {"Description", QStringLiteral(" ")}});
         },
         R"(<AddStorageLocation xmlns="http://tempuri.org/TOVAStowlines/Service1">      <TOVAFacilityID></TOVAFacilityID>      <RouteName>  B1 </RouteName>      <Description> </Description></AddStorageLocation>)"},
        {"markup characters escaped, quotes and entity-like text kept",
         [] {
             return updateElement(QStringLiteral("UpdateDeliveryRoute"),
                                  {{"Route", QStringLiteral("R&D")},
                                   {"Description", QStringLiteral("A&B <x> \"q\" 'a' &amp;")}});
         },
         R"(<UpdateDeliveryRoute xmlns="http://tempuri.org/TOVAStowlines/Service1">      <Route>R&amp;D</Route>      <Description>A&amp;B &lt;x&gt; "q" 'a' &amp;amp;</Description></UpdateDeliveryRoute>)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.build(), c.expected) << c.what;
    }
}

} // namespace
} // namespace stowline::service
