#include "foundation/HXPropertyList.h"

#include "foundation/HXArray.h"
#include "foundation/HXDictionary.h"
#include "foundation/HXPropertyListText.h"

#include <QBuffer>
#include <QXmlStreamReader>

#include <vector>

// XML property lists in the format of Apple's DTD, parsed with QXmlStreamReader (which handles the
// character references, CDATA sections and comments). The reader is strict about structure: one value
// inside <plist>, a <key> before every value of a <dict>, no stray text or unknown elements. A dictionary
// that repeats a key keeps the later value. An array made only of <real> elements is read straight into
// packed doubles.

namespace {

class XMLReader {
public:
    // Through a device the stream reader decodes the text block by block instead of all at once.
    explicit XMLReader(QByteArrayView data) : m_data(QByteArray::fromRawData(data.data(), data.size())) {
        m_buffer.setBuffer(&m_data);
        m_buffer.open(QIODevice::ReadOnly);
        m_xml.setDevice(&m_buffer);
    }

    HXPropertyListResult read() {
        HXPropertyListResult result;
        result.format = HXPropertyListFormat::XML;
        HXValue root;
        if (readDocument(root))
            result.value = std::move(root);
        result.error = m_error;
        return result;
    }

private:
    bool fail(const QString& text) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("line %1: %2").arg(m_xml.lineNumber()).arg(text);
        return false;
    }

    bool failInvalid(QStringView element) {
        return fail(QStringLiteral("invalid <%1> \"%2\"").arg(element, m_text.trimmed().left(40)));
    }

    // Moves to the next start or end tag, skipping comments, processing instructions and whitespace.
    bool nextTag() {
        while (!m_xml.atEnd()) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::StartElement:
            case QXmlStreamReader::EndElement:
                return true;
            case QXmlStreamReader::Characters:
                if (!m_xml.isWhitespace())
                    return fail(
                        QStringLiteral("unexpected text \"%1\"").arg(m_xml.text().trimmed().left(40)));
                break;
            case QXmlStreamReader::EntityReference:
                return fail(QStringLiteral("unknown entity &%1;").arg(m_xml.name()));
            case QXmlStreamReader::Invalid:
                return fail(m_xml.errorString());
            default:
                break;
            }
        }
        if (m_xml.hasError())
            return fail(m_xml.errorString());
        return false;
    }

    // The text of the current element up to its end tag, into text.
    bool readText(QString& text) {
        text.clear();
        const QString element = m_xml.name().toString();
        while (!m_xml.atEnd()) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::Characters:
                text.append(m_xml.text());
                break;
            case QXmlStreamReader::EndElement:
                return true;
            case QXmlStreamReader::StartElement:
                return fail(QStringLiteral("unexpected <%1> in <%2>").arg(m_xml.name(), element));
            case QXmlStreamReader::EntityReference:
                return fail(QStringLiteral("unknown entity &%1;").arg(m_xml.name()));
            case QXmlStreamReader::Invalid:
                return fail(m_xml.errorString());
            default:
                break;
            }
        }
        return fail(m_xml.hasError() ? m_xml.errorString() : QStringLiteral("unexpected end"));
    }

    bool readDocument(HXValue& root) {
        if (!nextTag())
            return fail(QStringLiteral("no <plist> element"));
        if (m_xml.name() != u"plist")
            return fail(QStringLiteral("root element <%1> is not <plist>").arg(m_xml.name()));
        if (!nextTag() || m_xml.isEndElement())
            return fail(QStringLiteral("<plist> holds no value"));
        if (!readValue(root, 0))
            return false;
        if (!nextTag() || m_xml.isStartElement())
            return fail(QStringLiteral("<plist> holds more than one value"));
        if (nextTag())
            return fail(QStringLiteral("content after </plist>"));
        return m_error.isEmpty();
    }

    bool readValue(HXValue& out, int depth) {
        const QStringView name = m_xml.name();
        if (name == u"dict")
            return readDictionary(out, depth + 1);
        if (name == u"array")
            return readArray(out, depth + 1);
        if (name == u"string") {
            QString text;
            if (!readText(text))
                return false;
            out = HXValue(std::move(text));
            return true;
        }
        if (name == u"real") {
            double number = 0;
            if (!readReal(number))
                return false;
            out = HXValue(number);
            return true;
        }
        if (name == u"integer")
            return readInteger(out);
        if (name == u"true" || name == u"false")
            return readBool(name == u"true", out);
        if (name == u"date")
            return readDate(out);
        if (name == u"data")
            return readData(out);
        return fail(QStringLiteral("unknown element <%1>").arg(name));
    }

    bool readReal(double& number) {
        if (!readText(m_text))
            return false;
        return HXPropertyListText::parseReal(m_text, number) || failInvalid(u"real");
    }

    bool readInteger(HXValue& out) {
        if (!readText(m_text))
            return false;
        return HXPropertyListText::parseInteger(m_text, out) || failInvalid(u"integer");
    }

    bool readBool(bool flag, HXValue& out) {
        const QString element = m_xml.name().toString();
        if (!readText(m_text))
            return false;
        if (!m_text.trimmed().isEmpty())
            return failInvalid(element);
        out = HXValue(flag);
        return true;
    }

    bool readDate(HXValue& out) {
        if (!readText(m_text))
            return false;
        HXDate date;
        if (!HXPropertyListText::parseDate(m_text, date))
            return failInvalid(u"date");
        out = HXValue(date);
        return true;
    }

    bool readData(HXValue& out) {
        if (!readText(m_text))
            return false;
        QByteArray base64;
        base64.reserve(m_text.size());
        for (QChar c : std::as_const(m_text)) {
            if (c.isSpace())
                continue;
            if (c.unicode() >= 0x80)
                return failInvalid(u"data");
            base64.append(static_cast<char>(c.unicode()));
        }
        QByteArray::FromBase64Result decoded =
            QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return failInvalid(u"data");
        out = HXValue(std::move(*decoded));
        return true;
    }

    bool checkDepth(int depth) {
        if (depth <= HXPropertyList::kMaximumDepth)
            return true;
        return fail(QStringLiteral("nesting deeper than %1 levels").arg(HXPropertyList::kMaximumDepth));
    }

    bool readArray(HXValue& out, int depth) {
        if (!checkDepth(depth))
            return false;
        std::vector<double> numbers;
        std::vector<HXValue> values;
        bool packed = true;
        while (nextTag()) {
            if (m_xml.isEndElement()) {
                out = packed ? HXValue(HXArray::createWithDoubles(std::move(numbers)))
                             : HXValue(HXArray::createWithValues(std::move(values)));
                return true;
            }
            if (packed && m_xml.name() == u"real") {
                double number = 0;
                if (!readReal(number))
                    return false;
                numbers.push_back(number);
                continue;
            }
            HXValue element;
            if (!readValue(element, depth))
                return false;
            if (packed) {
                packed = false;
                values.reserve(numbers.size() + 1);
                values.assign(numbers.begin(), numbers.end());
                numbers = {};
            }
            values.push_back(std::move(element));
        }
        return fail(QStringLiteral("unterminated <array>"));
    }

    bool readDictionary(HXValue& out, int depth) {
        if (!checkDepth(depth))
            return false;
        auto dictionary = HXDictionary::create();
        QString key;
        while (nextTag()) {
            if (m_xml.isEndElement()) {
                out = HXValue(std::move(dictionary));
                return true;
            }
            if (m_xml.name() != u"key")
                return fail(QStringLiteral("<%1> where a <key> belongs").arg(m_xml.name()));
            if (!readText(key))
                return false;
            if (!nextTag() || m_xml.isEndElement())
                return fail(QStringLiteral("key \"%1\" has no value").arg(key.left(40)));
            HXValue value;
            if (!readValue(value, depth))
                return false;
            dictionary->setValue(HXKey(key), std::move(value));
        }
        return fail(QStringLiteral("unterminated <dict>"));
    }

    QByteArray m_data;
    QBuffer m_buffer;
    QXmlStreamReader m_xml;
    QString m_text;
    QString m_error;
};

} // namespace

HXPropertyListResult HXPropertyList::readXML(QByteArrayView data) {
    return XMLReader(data).read();
}
