#include "pictures/HXFrontActivityColor.h"

#include "foundation/HXUserDefaults.h"

#include <QGuiApplication>

#include <algorithm>

QColor HXFrontActivityColorWithComponents(const HXValue& components) {
    const HXArrayRef& array = components.toArray();
    if (!array || array->count() != 3)
        return QColor::fromRgbF(0.6f, 0.4f, 0.6f);
    for (qsizetype i = 0; i < 3; ++i) {
        if (!array->at(i).isNumber())
            return QColor::fromRgbF(0.6f, 0.4f, 0.6f);
    }
    const auto component = [&](qsizetype i) {
        return static_cast<float>(std::clamp(array->numberAt(i), 0.0, 1.0));
    };
    return QColor::fromRgbF(component(0), component(1), component(2));
}

QColor HXAlternateSelectedControlColor(const QPalette& palette) {
    return palette.color(QPalette::Active, QPalette::Highlight);
}

QColor HXSelectedControlColor(const QPalette& palette) {
    const QColor strong = HXAlternateSelectedControlColor(palette);
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    const auto mix = [](float a, float b) {
        return a * 0.6f + b * 0.4f;
    };
    return QColor::fromRgbF(mix(strong.redF(), base.redF()), mix(strong.greenF(), base.greenF()),
                            mix(strong.blueF(), base.blueF()));
}

QColor frontActivityColorForReportViewContext(bool reportViewContext, long long colorScheme,
                                              const HXUserDefaults& defaults, const QPalette& palette) {
    switch (colorScheme) {
    case 1:
        return HXAlternateSelectedControlColor(palette);
    case 2:
        return reportViewContext ? HXSelectedControlColor(palette) : HXAlternateSelectedControlColor(palette);
    default: {
        // Read once: the colour stays what it was at the first report of the run.
        static const QColor kDefault =
            HXFrontActivityColorWithComponents(defaults.objectForKey(u"Pie Color Components"));
        return kDefault;
    }
    }
}

QColor frontActivityColorForReportViewContext(bool reportViewContext, long long colorScheme,
                                              const HXUserDefaults& defaults) {
    return frontActivityColorForReportViewContext(reportViewContext, colorScheme, defaults,
                                                  QGuiApplication::palette());
}
