#include "Wsdl.h"

#include "Operations.h"
#include "XmlText.h"

#include <stowline/ServiceNamespace.h>

namespace stowline::server {
namespace {

void appendTypes(std::string& out) {
    out += "  <wsdl:types>\n    <s:schema elementFormDefault=\"qualified\" targetNamespace=\"";
    out += ServiceNamespace;
    out += "\">\n";
    for (const Operation& operation : serviceOperations()) {
        const std::string name = operation.name;
        if (operation.parameters.empty()) {
            out += "      <s:element name=\"" + name +
                   "\">\n        <s:complexType />\n"
                   "      </s:element>\n";
        } else {
            out += "      <s:element name=\"" + name +
                   "\">\n        <s:complexType>\n"
                   "          <s:sequence>\n";
            for (const Parameter& parameter : operation.parameters) {
                out += "            <s:element minOccurs=\"1\" maxOccurs=\"1\" name=\"";
                out += parameter.name;
                out += parameter.type == ParameterType::Short ? "\" type=\"s:short\" />\n"
                                                              : "\" type=\"s:string\" />\n";
            }
            out += "          </s:sequence>\n        </s:complexType>\n      </s:element>\n";
        }
        if (operation.kind == OperationKind::Query) {
            out += "      <s:element name=\"" + name +
                   "Response\">\n        <s:complexType>\n"
                   "          <s:sequence>\n"
                   "            <s:element minOccurs=\"0\" maxOccurs=\"1\" name=\"" +
                   name +
                   "Result\" type=\"s:string\" />\n"
                   "          </s:sequence>\n        </s:complexType>\n      </s:element>\n";
        } else {
            out += "      <s:element name=\"" + name +
                   "Response\">\n"
                   "        <s:complexType />\n      </s:element>\n";
        }
    }
    out += "    </s:schema>\n  </wsdl:types>\n";
}

void appendMessages(std::string& out) {
    for (const Operation& operation : serviceOperations()) {
        const std::string name = operation.name;
        out += "  <wsdl:message name=\"" + name +
               "SoapIn\">\n"
               "    <wsdl:part name=\"parameters\" element=\"tns:" +
               name +
               "\" />\n"
               "  </wsdl:message>\n"
               "  <wsdl:message name=\"" +
               name +
               "SoapOut\">\n"
               "    <wsdl:part name=\"parameters\" element=\"tns:" +
               name +
               "Response\" />\n"
               "  </wsdl:message>\n";
    }
}

void appendPortType(std::string& out) {
    out += "  <wsdl:portType name=\"TOVAWebserviceSoap\">\n";
    for (const Operation& operation : serviceOperations()) {
        const std::string name = operation.name;
        out += "    <wsdl:operation name=\"" + name +
               "\">\n"
               "      <wsdl:input message=\"tns:" +
               name +
               "SoapIn\" />\n"
               "      <wsdl:output message=\"tns:" +
               name +
               "SoapOut\" />\n"
               "    </wsdl:operation>\n";
    }
    out += "  </wsdl:portType>\n";
}

void appendBinding(std::string& out) {
    out += "  <wsdl:binding name=\"TOVAWebserviceSoap\" type=\"tns:TOVAWebserviceSoap\">\n"
           "    <soap:binding transport=\"http://schemas.xmlsoap.org/soap/http\" />\n";
    for (const Operation& operation : serviceOperations()) {
        const std::string name = operation.name;
        out += "    <wsdl:operation name=\"" + name +
               "\">\n"
               "      <soap:operation soapAction=\"" +
               std::string(ServiceNamespace) + "/" + name +
               "\" style=\"document\" />\n"
               "      <wsdl:input>\n        <soap:body use=\"literal\" />\n      </wsdl:input>\n"
               "      <wsdl:output>\n        <soap:body use=\"literal\" />\n      </wsdl:output>\n"
               "    </wsdl:operation>\n";
    }
    out += "  </wsdl:binding>\n";
}

} // namespace

std::string wsdlDocument(std::string_view endpointUrl) {
    std::string out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                      "<wsdl:definitions xmlns:soap=\"http://schemas.xmlsoap.org/wsdl/soap/\""
                      " xmlns:s=\"http://www.w3.org/2001/XMLSchema\" xmlns:tns=\"";
    out += ServiceNamespace;
    out += "\" xmlns:wsdl=\"http://schemas.xmlsoap.org/wsdl/\" targetNamespace=\"";
    out += ServiceNamespace;
    out += "\">\n";
    appendTypes(out);
    appendMessages(out);
    appendPortType(out);
    appendBinding(out);
    out += "  <wsdl:service name=\"TOVAWebservice\">\n"
           "    <wsdl:port name=\"TOVAWebserviceSoap\" binding=\"tns:TOVAWebserviceSoap\">\n"
           "      <soap:address location=\"";
    appendAttributeEscaped(out, endpointUrl);
    out += "\" />\n    </wsdl:port>\n  </wsdl:service>\n</wsdl:definitions>\n";
    return out;
}

} // namespace stowline::server
