#include "DataSetWriter.h"

#include "XmlText.h"

namespace stowline::server {
namespace {

const char* schemaType(ColumnType type) {
    switch (type) {
    case ColumnType::Int:
        return "xs:int";
    case ColumnType::DateTime:
        return "xs:dateTime";
    case ColumnType::String:
        break;
    }
    return "xs:string";
}

} // namespace

DataSetWriter::DataSetWriter(std::span<const Column> columns) : m_columns(columns) {
    m_text += "<Root><DataSet>"
              "<xs:schema id=\"NewDataSet\" xmlns=\"\""
              " xmlns:xs=\"http://www.w3.org/2001/XMLSchema\""
              " xmlns:msdata=\"urn:schemas-microsoft-com:xml-msdata\">"
              "<xs:element name=\"NewDataSet\" msdata:IsDataSet=\"true\""
              " msdata:UseCurrentLocale=\"true\">"
              "<xs:complexType><xs:choice minOccurs=\"0\" maxOccurs=\"unbounded\">"
              "<xs:element name=\"Table\"><xs:complexType><xs:sequence>";
    for (const Column& column : m_columns) {
        m_text += "<xs:element name=\"";
        m_text += column.name;
        m_text += "\" type=\"";
        m_text += schemaType(column.type);
        m_text += "\" minOccurs=\"0\" />";
    }
    m_text += "</xs:sequence></xs:complexType></xs:element></xs:choice></xs:complexType>"
              "</xs:element></xs:schema>"
              "<diffgr:diffgram xmlns:msdata=\"urn:schemas-microsoft-com:xml-msdata\""
              " xmlns:diffgr=\"urn:schemas-microsoft-com:xml-diffgram-v1\">"
              "<NewDataSet>";
}

void DataSetWriter::beginRow() {
    ++m_rows;
    m_text += "<Table diffgr:id=\"Table";
    m_text += std::to_string(m_rows);
    m_text += "\" msdata:rowOrder=\"";
    m_text += std::to_string(m_rows - 1);
    m_text += "\">";
}

void DataSetWriter::value(std::size_t column, std::string_view text) {
    const char* name = m_columns[column].name;
    m_text += '<';
    m_text += name;
    m_text += '>';
    appendEscaped(m_text, text);
    m_text += "</";
    m_text += name;
    m_text += '>';
}

void DataSetWriter::endRow() {
    m_text += "</Table>";
}

std::string DataSetWriter::finish() {
    m_text += "</NewDataSet></diffgr:diffgram></DataSet></Root>";
    return std::move(m_text);
}

} // namespace stowline::server
