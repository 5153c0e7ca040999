#pragma once

#include <QByteArray>
#include <QString>
#include <initializer_list>
#include <utility>
#include <vector>

namespace stowline::test {

using Row = std::vector<std::pair<QString, QString>>;

// A data-set text as the readers receive it, with the given rows (values already escaped).
inline QByteArray dataSetText(const std::vector<Row>& rows) {
    QString text = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"utf-8\" ?><Root><DataSet>"
        "<xs:schema id=\"NewDataSet\" xmlns:xs=\"http://www.w3.org/2001/XMLSchema\"/>"
        "<diffgr:diffgram xmlns:msdata=\"urn:schemas-microsoft-com:xml-msdata\" "
        "xmlns:diffgr=\"urn:schemas-microsoft-com:xml-diffgram-v1\"><NewDataSet>");
    int number = 0;
    for (const Row& row : rows) {
        ++number;
        text += QStringLiteral("<Table diffgr:id=\"Table%1\" msdata:rowOrder=\"%2\">")
                    .arg(number)
                    .arg(number - 1);
        for (const auto& [name, value] : row) {
            text += QStringLiteral("<%1>%2</%1>").arg(name, value);
        }
        text += QStringLiteral("</Table>");
    }
    return (text + QStringLiteral("</NewDataSet></diffgr:diffgram></DataSet></Root>")).toUtf8();
}

} // namespace stowline::test
