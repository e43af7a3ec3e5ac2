#include "foundation/HXUserDefaults.h"

#include "foundation/HXAtomicFile.h"
#include "foundation/HXLog.h"
#include "foundation/HXPaths.h"
#include "foundation/HXPropertyList.h"
#include "foundation/HXRegularFile.h"
#include "foundation/HXScheduler.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr std::string_view kWriteAction = "synchronize";

double leadingNumber(const QString& text) {
    const QString t = text.trimmed();
    qsizetype end = 0;
    while (end < t.size() && (t[end].isDigit() || t[end] == u'.' || t[end] == u'-' || t[end] == u'+' ||
                              t[end] == u'e' || t[end] == u'E'))
        ++end;
    for (; end > 0; --end) {
        bool ok = false;
        const double d = t.first(end).toDouble(&ok);
        if (ok)
            return d;
    }
    return 0.0;
}

} // namespace

bool HXBoolFromText(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    const QChar c = t[0];
    if (c == u'Y' || c == u'y' || c == u'T' || c == u't')
        return true;
    return leadingNumber(t) != 0.0;
}

HXUserDefaults::HXUserDefaults(QString path, HXScheduler* scheduler, QObject* parent)
    : QObject(parent), m_path(std::move(path)), m_scheduler(scheduler), m_registered(HXDictionary::create()),
      m_values(HXDictionary::create()) {
    load();
}

HXUserDefaults::HXUserDefaults(QString path, ReadOnly, QObject* parent)
    : QObject(parent), m_path(std::move(path)), m_scheduler(nullptr), m_registered(HXDictionary::create()),
      m_values(HXDictionary::create()), m_readOnly(true) {
    load();
}

HXUserDefaults::~HXUserDefaults() {
    if (m_scheduler)
        m_scheduler->cancelPerforms(this, kWriteAction);
}

QString HXUserDefaults::standardPath() {
    return HXConfigHome() + QStringLiteral("/Qualdern/Defaults.plist");
}

void HXUserDefaults::load() {
    HXRegularFile file(m_path);
    if (file.status() == HXRegularFile::Status::Missing)
        return;
    QByteArray data;
    QString reason;
    if (!file.readAll(data)) {
        reason = file.errorString();
    } else if (!file.isUnchanged()) {
        reason = QStringLiteral("changed while being read");
    } else {
        const HXPropertyListResult result = HXPropertyList::read(data);
        if (const HXDictionaryRef& values = result.value.toDictionary()) {
            m_values = values;
            return;
        }
        reason = result.ok() ? QStringLiteral("not a dictionary") : result.error;
    }
    m_unreadable = Unreadable{reason, QString()};
    if (m_readOnly) {
        HXSystemLog(
            QStringLiteral("user defaults unreadable (%1); reading <%2> as empty").arg(reason, m_path));
        return;
    }
    // Never overwrite what could not be read: keep it aside under a dated name.
    const QString aside = m_path + QStringLiteral(".unreadable-") +
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (QFile::rename(m_path, aside)) {
        m_unreadable->keptAs = aside;
        HXSystemLog(QStringLiteral("user defaults unreadable (%1); moved aside to <%2>").arg(reason, aside));
    } else {
        HXSystemLog(
            QStringLiteral("user defaults unreadable (%1); cannot move <%2> aside").arg(reason, m_path));
    }
}

void HXUserDefaults::registerDefaults(const HXDictionary& defaults) {
    for (const HXDictionary::Entry& e : defaults.entries())
        m_registered->setValue(HXKey(e.key), e.value.deepCopy());
}

const HXValue* HXUserDefaults::lookup(QStringView key) const {
    if (const HXValue* v = m_values->find(key))
        return v;
    return m_registered->find(key);
}

HXValue HXUserDefaults::objectForKey(QStringView key) const {
    const HXValue* v = lookup(key);
    return v ? v->deepCopy() : HXValue();
}

bool HXUserDefaults::boolForKey(QStringView key) const {
    const HXValue* v = lookup(key);
    if (!v)
        return false;
    return v->isString() ? HXBoolFromText(v->toString()) : v->toBool();
}

std::int64_t HXUserDefaults::integerForKey(QStringView key) const {
    const HXValue* v = lookup(key);
    if (!v)
        return 0;
    return v->isString() ? HXValue(leadingNumber(v->toString())).toInteger() : v->toInteger();
}

double HXUserDefaults::doubleForKey(QStringView key) const {
    const HXValue* v = lookup(key);
    if (!v)
        return 0.0;
    return v->isString() ? leadingNumber(v->toString()) : v->toDouble();
}

QString HXUserDefaults::stringForKey(QStringView key) const {
    const HXValue* v = lookup(key);
    if (!v)
        return QString();
    if (v->isString())
        return v->toString();
    if (v->type() == HXValueType::Integer)
        return QString::number(v->integerValue());
    if (v->type() == HXValueType::Real)
        return QString::number(v->realValue());
    return QString();
}

HXArrayRef HXUserDefaults::arrayForKey(QStringView key) const {
    const HXValue* v = lookup(key);
    return v && v->isArray() ? v->toArray()->deepCopy() : nullptr;
}

HXDictionaryRef HXUserDefaults::dictionaryForKey(QStringView key) const {
    const HXValue* v = lookup(key);
    return v && v->isDictionary() ? v->toDictionary()->deepCopy() : nullptr;
}

void HXUserDefaults::setObject(QStringView key, const HXValue& value) {
    if (value.isNull()) {
        removeObject(key);
        return;
    }
    m_values->setValue(key, value.deepCopy());
    noteChange(key);
}

void HXUserDefaults::removeObject(QStringView key) {
    if (m_values->remove(key))
        noteChange(key);
}

void HXUserDefaults::noteChange(QStringView key) {
    m_dirty = true;
    if (m_scheduler && !m_scheduler->hasPendingPerform(this, kWriteAction))
        m_scheduler->performAfterDelay(this, kWriteAction, 0, [this] { synchronize(); });
    Q_EMIT changed(key.toString());
}

bool HXUserDefaults::synchronize() {
    if (m_scheduler)
        m_scheduler->cancelPerforms(this, kWriteAction);
    if (!m_dirty)
        return true;
    if (m_readOnly)
        return false;
    QString error;
    const std::optional<QByteArray> data = HXPropertyList::writeXML(HXValue(m_values), &error);
    if (!data) {
        HXSystemLog(QStringLiteral("cannot encode user defaults: %1").arg(error));
        return false;
    }
    if (!HXAtomicFile::createPrivateFolder(QFileInfo(m_path).absolutePath(), &error) ||
        !HXAtomicFile::write(m_path, *data, true, &error)) {
        HXSystemLog(QStringLiteral("cannot write user defaults <%1>: %2").arg(m_path, error));
        return false;
    }
    m_dirty = false;
    return true;
}
