#include "filters/widgets/HXFilterEditor.h"

#include "filters/HXFilterKeys.h"
#include "filters/HXFilterString.h"
#include "foundation/HXLocalization.h"
#include "foundation/HXLog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

bool HXFilterEditor::runEditorWithFilter(const HXDictionaryRef& filter, const QString& title,
                                         QWidget* parentWindow, CompletionHandler completionHandler) {
    if (!parentWindow) {
        HXSystemLog(QStringLiteral("[HXFilterEditor] missing parent window"));
        return false;
    }
    auto* editor = new HXFilterEditor(parentWindow);
    editor->fillFields(filter, title);
    editor->m_completionHandler = std::move(completionHandler);
    editor->open();
    return true;
}

HXFilterEditor::HXFilterEditor(QWidget* parentWindow)
    : QDialog(parentWindow), m_headerField(new QLabel(this)), m_prefixDelimiterField(new QLineEdit(this)),
      m_suffixDelimiterField(new QLineEdit(this)), m_regularExpressionQueryField(new QLineEdit(this)),
      m_regularExpressionReplacementField(new QLineEdit(this)) {
    setWindowModality(Qt::WindowModal);
    setWindowTitle(HXLocalized("Window Title Filter"));

    QFont headerFont = m_headerField->font();
    headerFont.setBold(true);
    m_headerField->setFont(headerFont);

    auto* form = new QFormLayout;
    form->addRow(HXLocalized("Prefix Delimiter:"), m_prefixDelimiterField);
    form->addRow(HXLocalized("Suffix Delimiter:"), m_suffixDelimiterField);
    form->addRow(HXLocalized("Regular Expression:"), m_regularExpressionQueryField);
    form->addRow(HXLocalized("Replacement:"), m_regularExpressionReplacementField);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* doneButton = buttons->addButton(HXLocalized("Done"), QDialogButtonBox::AcceptRole);
    doneButton->setDefault(true);
    connect(doneButton, &QPushButton::clicked, this, qOverload<>(&HXFilterEditor::done));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_headerField);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(m_regularExpressionQueryField, &QLineEdit::textChanged, this,
            &HXFilterEditor::controlTextDidChange);
}

void HXFilterEditor::fillFields(const HXDictionaryRef& filter, const QString& title) {
    if (filter) {
        m_prefixDelimiterField->setText(filter->stringForKey(HXFilterKeys::PrefixDelimiter));
        m_suffixDelimiterField->setText(filter->stringForKey(HXFilterKeys::SuffixDelimiter));
        m_regularExpressionQueryField->setText(filter->stringForKey(HXFilterKeys::RegularExpressionQuery));
        m_regularExpressionReplacementField->setText(
            filter->stringForKey(HXFilterKeys::RegularExpressionReplacement));
    }
    controlTextDidChange();
    m_headerField->setText(title);
}

void HXFilterEditor::controlTextDidChange() {
    const QString query = m_regularExpressionQueryField->text();
    const bool compiles = query.isEmpty() || HXFilterQueryCompiles(query);
    QPalette palette = m_regularExpressionQueryField->palette();
    palette.setColor(QPalette::Text, compiles ? QColor(Qt::black) : QColor(Qt::red));
    m_regularExpressionQueryField->setPalette(palette);
}

HXDictionaryRef HXFilterEditor::filterRecord() const {
    auto record = HXDictionary::create();
    const auto store = [&record](const QLineEdit* field, HXKey key) {
        const QString text = field->text();
        if (!text.isEmpty())
            record->setValue(key, text);
    };
    store(m_prefixDelimiterField, HXFilterKeys::PrefixDelimiter);
    store(m_suffixDelimiterField, HXFilterKeys::SuffixDelimiter);
    if (!m_regularExpressionQueryField->text().isEmpty()) {
        store(m_regularExpressionQueryField, HXFilterKeys::RegularExpressionQuery);
        store(m_regularExpressionReplacementField, HXFilterKeys::RegularExpressionReplacement);
    }
    return record;
}

void HXFilterEditor::done() {
    done(QDialog::Accepted);
}

void HXFilterEditor::done(int result) {
    QDialog::done(result);
    // Taken out first: the record is delivered once, however often the dialog is ended.
    const CompletionHandler handler = std::exchange(m_completionHandler, nullptr);
    if (handler)
        handler(filterRecord());
    deleteLater();
}
