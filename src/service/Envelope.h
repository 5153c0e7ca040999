#pragma once

#include <QString>
#include <initializer_list>
#include <utility>

namespace stowline::service {

// The placeholder of the envelope template, which a request's operation element replaces.
inline constexpr char EnvelopePlaceholder[] = "XMLData";

// The one envelope template, a single line with the placeholder where the operation goes.
QString GetSOAPEnvelope();

// The template with the operation element in the placeholder's place: every request's envelope.
QString envelopeWith(const QString& element);

// " <Op xmlns="ServiceNamespace" />": the element of a query, which carries no parameters.
QString queryElement(const QString& operation);

// One child of an update element: its name and its value as text.
using UpdateChild = std::pair<const char*, QString>;

// "<Op xmlns=...>" then six blanks and <Child>value</Child> for each child, then "</Op>".
// Values are escaped for XML (&, <, >) so that they reach the service as typed.
QString updateElement(const QString& operation, std::initializer_list<UpdateChild> children);

// Escapes &, < and > for character data.
QString escapeXmlText(const QString& value);

} // namespace stowline::service
