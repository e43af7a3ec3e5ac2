#pragma once

#include "foundation/HXDictionary.h"

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QLineEdit;

// The sheet in which the user edits one filter record: a window-modal dialog over its parent window
// with a header and the four fields. However the sheet ends, the completion handler receives the record
// the fields describe; the editor then deletes itself.
class HXFilterEditor : public QDialog {
    Q_OBJECT

public:
    using CompletionHandler = std::function<void(const HXDictionaryRef& filter)>;

    // Shows the sheet over the parent window and returns at once; false (logged) without a parent.
    static bool runEditorWithFilter(const HXDictionaryRef& filter, const QString& title,
                                    QWidget* parentWindow, CompletionHandler completionHandler);

    QLabel* headerField() const { return m_headerField; }
    QLineEdit* prefixDelimiterField() const { return m_prefixDelimiterField; }
    QLineEdit* suffixDelimiterField() const { return m_suffixDelimiterField; }
    QLineEdit* regularExpressionQueryField() const { return m_regularExpressionQueryField; }
    QLineEdit* regularExpressionReplacementField() const { return m_regularExpressionReplacementField; }

    // Empty fields are left out, the replacement also without a query; text is kept as typed.
    HXDictionaryRef filterRecord() const;

public Q_SLOTS:
    // The editor's one action: ends the sheet and delivers the record.
    void done();
    // Every other way of ending the dialog (Escape, closing the window) delivers the record too.
    void done(int result) override;

private Q_SLOTS:
    void controlTextDidChange();

private:
    explicit HXFilterEditor(QWidget* parentWindow);

    void fillFields(const HXDictionaryRef& filter, const QString& title);

    QLabel* m_headerField;
    QLineEdit* m_prefixDelimiterField;
    QLineEdit* m_suffixDelimiterField;
    QLineEdit* m_regularExpressionQueryField;
    QLineEdit* m_regularExpressionReplacementField;
    CompletionHandler m_completionHandler;
};
