#pragma once

#include <QTranslator>

// The English the program speaks here: texts whose keys name things of another desktop (the Dock, the
// menu bar, Option-click, the Mac) read as this desktop calls them. Keys stay as they are, so stored
// settings and checks keep working; texts without an entry pass unchanged.
class HXLinuxEnglish : public QTranslator {
    Q_OBJECT

public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }
};
