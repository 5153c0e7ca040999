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

void markupInto(std::string& out, DataSetForm form, std::string_view text) {
    if (form == DataSetForm::AsIs) {
        out += text;
    } else {
        appendEscaped(out, text);
    }
}

// Rows written before the whole text is sized from them.
constexpr std::size_t SampleRows = 32;

} // namespace

DataSetWriter::DataSetWriter(std::span<const Column> columns, DataSetForm form) : m_form(form) {
    std::string text = "<Root><DataSet>"
                       "<xs:schema id=\"NewDataSet\" xmlns=\"\""
                       " xmlns:xs=\"http://www.w3.org/2001/XMLSchema\""
                       " xmlns:msdata=\"urn:schemas-microsoft-com:xml-msdata\">"
                       "<xs:element name=\"NewDataSet\" msdata:IsDataSet=\"true\""
                       " msdata:UseCurrentLocale=\"true\">"
                       "<xs:complexType><xs:choice minOccurs=\"0\" maxOccurs=\"unbounded\">"
                       "<xs:element name=\"Table\"><xs:complexType><xs:sequence>";
    for (const Column& column : columns) {
        text += "<xs:element name=\"";
        text += column.name;
        text += "\" type=\"";
        text += schemaType(column.type);
        text += "\" minOccurs=\"0\" />";
        m_tags.emplace_back();
        markupInto(m_tags.back().first, form, "<" + std::string(column.name) + ">");
        markupInto(m_tags.back().second, form, "</" + std::string(column.name) + ">");
    }
    text += "</xs:sequence></xs:complexType></xs:element></xs:choice></xs:complexType>"
            "</xs:element></xs:schema>"
            "<diffgr:diffgram xmlns:msdata=\"urn:schemas-microsoft-com:xml-msdata\""
            " xmlns:diffgr=\"urn:schemas-microsoft-com:xml-diffgram-v1\">"
            "<NewDataSet>";
    markup(text);
}

void DataSetWriter::markup(std::string_view text) {
    markupInto(m_text, m_form, text);
}

void DataSetWriter::beginRow() {
    ++m_rows;
    markup("<");
    m_text += "Table diffgr:id=\"Table";
    m_text += std::to_string(m_rows);
    m_text += "\" msdata:rowOrder=\"";
    m_text += std::to_string(m_rows - 1);
    m_text += '"';
    markup(">");
}

void DataSetWriter::value(std::size_t column, std::string_view text) {
    m_text += m_tags[column].first;
    if (m_form == DataSetForm::AsIs) {
        appendEscaped(m_text, text);
    } else {
        appendEscapedTwice(m_text, text);
    }
    m_text += m_tags[column].second;
}

void DataSetWriter::endRow() {
    markup("</Table>");
    if (m_rows == SampleRows && m_expectedRows > SampleRows) {
        // The rows so far stand for the rest; a quarter more covers longer ones and the end.
        const std::size_t perRow = m_text.size() / SampleRows;
        m_text.reserve(m_text.size() + perRow * (m_expectedRows - SampleRows) * 5 / 4 + 4096);
    }
}

std::string DataSetWriter::finish() {
    markup("</NewDataSet></diffgr:diffgram></DataSet></Root>");
    return std::move(m_text);
}

} // namespace stowline::server
