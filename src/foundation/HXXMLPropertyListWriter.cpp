#include "foundation/HXPropertyList.h"

#include "foundation/HXArray.h"
#include "foundation/HXDictionary.h"
#include "foundation/HXPropertyListText.h"

#include <QXmlStreamWriter>

#include <algorithm>

// Writes what Python's plistlib writes and reads: the Apple DTD, tab indentation, reals in repr() form,
// dates in whole seconds, data as base64 lines. XML cannot hold null values or control characters, so
// those are refused; a carriage return is written as a character reference so that it survives the
// line-end normalisation of XML readers; an unpaired surrogate is written as U+FFFD.

namespace {

constexpr int kBase64LineLength = 76;

class XMLWriter {
public:
    XMLWriter() : m_xml(&m_out) {}

    std::optional<QByteArray> write(const HXValue& root, QString* error) {
        m_xml.setAutoFormatting(true);
        m_xml.setAutoFormattingIndent(-1);
        m_xml.writeStartDocument();
        m_xml.writeDTD(QStringLiteral("<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                      "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">"));
        m_xml.writeStartElement(QStringLiteral("plist"));
        m_xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
        const bool ok = writeValue(root, 0);
        m_xml.writeEndElement();
        m_xml.writeEndDocument();
        if (ok && m_xml.hasError())
            m_error = QStringLiteral("cannot write XML");
        if (!m_error.isEmpty()) {
            if (error)
                *error = m_error;
            return std::nullopt;
        }
        return std::move(m_out);
    }

private:
    bool fail(const QString& text) {
        if (m_error.isEmpty())
            m_error = text;
        return false;
    }

    bool writeValue(const HXValue& value, int depth) {
        switch (value.type()) {
        case HXValueType::Null:
            return fail(QStringLiteral("null values cannot be written as XML"));
        case HXValueType::Bool:
            m_xml.writeEmptyElement(value.boolValue() ? QStringLiteral("true") : QStringLiteral("false"));
            return true;
        case HXValueType::Integer:
            m_xml.writeTextElement(QStringLiteral("integer"), QString::number(value.integerValue()));
            return true;
        case HXValueType::UnsignedInteger:
            m_xml.writeTextElement(QStringLiteral("integer"), QString::number(value.unsignedValue()));
            return true;
        case HXValueType::Real:
            m_xml.writeTextElement(QStringLiteral("real"), HXPropertyListText::formatReal(value.realValue()));
            return true;
        case HXValueType::String:
            return writeString(QStringLiteral("string"), value.toString());
        case HXValueType::Date: {
            QString text;
            if (!HXPropertyListText::formatDate(value.toDate(), text))
                return fail(QStringLiteral("date outside the years 1 to 9999 cannot be written as XML"));
            m_xml.writeTextElement(QStringLiteral("date"), text);
            return true;
        }
        case HXValueType::Data:
            writeData(value.toData(), depth);
            return true;
        case HXValueType::Array:
            return writeArray(*value.toArray(), depth + 1);
        case HXValueType::Dictionary:
            return writeDictionary(*value.toDictionary(), depth + 1);
        }
        return fail(QStringLiteral("unknown value type"));
    }

    bool checkDepth(int depth) {
        if (depth <= HXPropertyList::kMaximumDepth)
            return true;
        return fail(QStringLiteral("nesting deeper than %1 levels").arg(HXPropertyList::kMaximumDepth));
    }

    bool writeArray(const HXArray& array, int depth) {
        if (!checkDepth(depth))
            return false;
        if (array.isEmpty()) {
            m_xml.writeEmptyElement(QStringLiteral("array"));
            return true;
        }
        m_xml.writeStartElement(QStringLiteral("array"));
        if (array.isPacked()) {
            const QString real = QStringLiteral("real");
            for (double number : array.doubles())
                m_xml.writeTextElement(real, HXPropertyListText::formatReal(number));
        } else {
            for (const HXValue& element : array.values()) {
                if (!writeValue(element, depth))
                    return false;
            }
        }
        m_xml.writeEndElement();
        return true;
    }

    bool writeDictionary(const HXDictionary& dictionary, int depth) {
        if (!checkDepth(depth))
            return false;
        if (dictionary.isEmpty()) {
            m_xml.writeEmptyElement(QStringLiteral("dict"));
            return true;
        }
        m_xml.writeStartElement(QStringLiteral("dict"));
        const QString key = QStringLiteral("key");
        for (const HXDictionary::Entry& entry : dictionary.entries()) {
            if (!writeString(key, entry.key) || !writeValue(entry.value, depth))
                return false;
        }
        m_xml.writeEndElement();
        return true;
    }

    bool writeString(const QString& element, const QString& text) {
        QString clean;
        const QString* source = &text;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t unit = text[i].unicode();
            const bool pair =
                QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate();
            if (pair) {
                ++i;
                continue;
            }
            if ((unit < 0x20 && unit != u'\t' && unit != u'\n' && unit != u'\r') || unit == 0xFFFE ||
                unit == 0xFFFF)
                return fail(QStringLiteral("character U+%1 cannot be written as XML")
                                .arg(static_cast<uint>(unit), 4, 16, QLatin1Char('0')));
            if (QChar::isSurrogate(unit)) {
                if (source == &text) {
                    clean = text;
                    source = &clean;
                }
                clean[i] = QChar::ReplacementCharacter;
            }
        }
        m_xml.writeStartElement(element);
        const QStringView rest(*source);
        qsizetype start = 0;
        for (qsizetype end = rest.indexOf(u'\r'); end >= 0; end = rest.indexOf(u'\r', start)) {
            m_xml.writeCharacters(rest.sliced(start, end - start).toString());
            m_xml.writeEntityReference(QStringLiteral("#13"));
            start = end + 1;
        }
        m_xml.writeCharacters(rest.sliced(start).toString());
        m_xml.writeEndElement();
        return true;
    }

    // Base64 in lines at the element's own indentation, the lines shorter as the indentation grows.
    void writeData(const QByteArray& data, int depth) {
        const int indentation = depth + 1;
        const QString indent(indentation, u'\t');
        const int lineLength = std::max(16, kBase64LineLength - 8 * indentation) / 4 * 4;
        const QString base64 = QString::fromLatin1(data.toBase64());
        QString text;
        for (qsizetype start = 0; start < base64.size(); start += lineLength)
            text.append(u'\n').append(indent).append(QStringView(base64).mid(start, lineLength));
        text.append(u'\n').append(indent);
        m_xml.writeTextElement(QStringLiteral("data"), text);
    }

    QByteArray m_out;
    QXmlStreamWriter m_xml;
    QString m_error;
};

} // namespace

std::optional<QByteArray> HXPropertyList::writeXML(const HXValue& root, QString* error) {
    return XMLWriter().write(root, error);
}
