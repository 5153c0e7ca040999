#include "SoapRequest.h"

#include "SoapFault.h"

#include <stowline/ServiceNamespace.h>

#include <pugixml.hpp>

namespace stowline::server {
namespace {

constexpr std::string_view Soap11Namespace = "http://schemas.xmlsoap.org/soap/envelope/";
constexpr std::string_view Soap12Namespace = "http://www.w3.org/2003/05/soap-envelope";

std::string_view localName(const pugi::xml_node& node) {
    const std::string_view name = node.name();
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// The namespace URI an element's prefix (or the default namespace) is bound to where the
// element stands; "" when it is unbound.
std::string_view namespaceOf(const pugi::xml_node& node) {
    const std::string_view name = node.name();
    const std::size_t colon = name.find(':');
    const std::string attribute = colon == std::string_view::npos
                                      ? std::string("xmlns")
                                      : "xmlns:" + std::string(name.substr(0, colon));
    for (pugi::xml_node scope = node; scope; scope = scope.parent()) {
        if (const pugi::xml_attribute declaration = scope.attribute(attribute.c_str())) {
            return declaration.value();
        }
    }
    return {};
}

pugi::xml_node firstElement(const pugi::xml_node& parent) {
    for (const pugi::xml_node& child : parent.children()) {
        if (child.type() == pugi::node_element) {
            return child;
        }
    }
    return {};
}

std::string elementText(const pugi::xml_node& element) {
    std::string text;
    for (const pugi::xml_node& child : element.children()) {
        switch (child.type()) {
        case pugi::node_pcdata:
        case pugi::node_cdata:
            text += child.value();
            break;
        case pugi::node_element:
            throw SoapFault("The element " + std::string(localName(element)) +
                            " must hold text, not the element " + std::string(child.name()));
        default:
            break;
        }
    }
    return text;
}

} // namespace

SoapRequest parseSoapRequest(std::string_view body) {
    pugi::xml_document document;
    // Whitespace-only text must survive: a value of blanks is a value. The document type is
    // kept only so that it can be refused.
    const unsigned options = pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_doctype;
    const pugi::xml_parse_result parsed =
        document.load_buffer(body.data(), body.size(), options, pugi::encoding_auto);
    if (!parsed) {
        throw NotXml(parsed.description());
    }
    for (const pugi::xml_node& node : document.children()) {
        if (node.type() == pugi::node_doctype) {
            throw SoapFault("A SOAP message must not contain a document type declaration");
        }
    }

    const pugi::xml_node envelope = document.document_element();
    if (localName(envelope) != "Envelope" || namespaceOf(envelope) != Soap11Namespace) {
        if (localName(envelope) == "Envelope" && namespaceOf(envelope) == Soap12Namespace) {
            throw SoapFault("This service speaks SOAP 1.1 only", SoapFault::Code::VersionMismatch);
        }
        throw SoapFault("The request is not a SOAP 1.1 envelope");
    }
    pugi::xml_node soapBody;
    for (const pugi::xml_node& child : envelope.children()) {
        if (child.type() == pugi::node_element && localName(child) == "Body" &&
            namespaceOf(child) == Soap11Namespace) {
            soapBody = child;
        }
    }
    if (!soapBody) {
        throw SoapFault("The SOAP envelope has no Body");
    }
    const pugi::xml_node operation = firstElement(soapBody);
    if (!operation) {
        throw SoapFault("The SOAP Body holds no operation element");
    }
    if (namespaceOf(operation) != ServiceNamespace) {
        throw SoapFault("The operation element " + std::string(localName(operation)) +
                        " is not in the namespace " + ServiceNamespace);
    }

    SoapRequest request;
    request.operation = localName(operation);
    for (const pugi::xml_node& child : operation.children()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        const auto [position, added] =
            request.values.emplace(std::string(localName(child)), elementText(child));
        if (!added) {
            throw SoapFault("The element " + position->first + " is given more than once");
        }
    }
    return request;
}

} // namespace stowline::server
