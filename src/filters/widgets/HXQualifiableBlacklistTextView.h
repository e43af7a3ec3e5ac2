#pragma once

#include "filters/widgets/HXBlacklistTextView.h"

// The window blacklist view: lines may carry an application qualifier before ▸, so every arrow is
// coloured light gray and a "!" right after an arrow starts a query too.
class HXQualifiableBlacklistTextView : public HXBlacklistTextView {
    Q_OBJECT

public:
    explicit HXQualifiableBlacklistTextView(QWidget* parent = nullptr);

    bool colorizeRightTriangleArrow() const override;

public Q_SLOTS:
    // Replaces the selection by " ▸ " when the view is editable; the edit reaches the view's text-change
    // handler like typing does, which stores the list and forces the default font.
    void insertRightTriangleArrowStringAndForceDefaultFont();
};
