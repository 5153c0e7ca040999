#pragma once

#include <QByteArray>
#include <QString>

namespace stowline::answer {

// The component's own way from a query's answer to its data-set text, in one pass and in place:
// what parsing the answer, serialising it, the clean-up, the envelope removal and the
// operation's tag removal make of it, for an answer in the form the service writes. That is:
// the declaration <?xml version="1.0" encoding="utf-8"?>, the envelope start tag the envelope
// removal cuts, <soap:Body>, the operation's response and result start tags, the result's text,
// the result, response, body and envelope end tags, and nothing else but white space at the end.
// The text must be character data only, every reference one the parser reads, not white space
// alone, and it must not turn into a tag that a removal would cut inside the data set. Then the
// answer becomes the text the other way gives, and true is returned.
//
// For any other answer false is returned and the answer is left byte for byte as it came: the
// other way then takes it, with all its checks and reports.
bool cutDataSetInPlace(QByteArray& answer, const QString& operation);

} // namespace stowline::answer
