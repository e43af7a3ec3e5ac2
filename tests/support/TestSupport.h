#pragma once

#include "foundation/HXArray.h"
#include "foundation/HXDictionary.h"

#include <QString>
#include <QTemporaryDir>

#include <initializer_list>
#include <utility>
#include <vector>

// Small builders that keep test records readable.
HXDictionaryRef makeDictionary(std::initializer_list<std::pair<QString, HXValue>> entries);
HXArrayRef makeArray(std::initializer_list<HXValue> values);
HXArrayRef makeLog(std::initializer_list<double> numbers);
std::vector<double> logValues(const HXArrayRef& log);

// A private scratch folder removed at the end of the test.
class ScratchFolder {
public:
    ScratchFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};
