#include "filters/widgets/HXQualifiableBlacklistTextView.h"

#include "filters/HXBlacklistText.h"

HXQualifiableBlacklistTextView::HXQualifiableBlacklistTextView(QWidget* parent)
    : HXBlacklistTextView(parent) {}

bool HXQualifiableBlacklistTextView::colorizeRightTriangleArrow() const {
    return true;
}

void HXQualifiableBlacklistTextView::insertRightTriangleArrowStringAndForceDefaultFont() {
    if (isReadOnly())
        return;
    insertPlainText(spacedRightTriangleArrowString());
}
