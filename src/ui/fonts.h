#pragma once

#include <QFont>
#include <QStringList>

namespace dramolex::ui {

// A font of the given family where it is installed, else a close match of
// the platform (the families after it are tried in order).
inline QFont fontOf(const QString& family, double points, bool bold = false)
{
    QFont font;
    QStringList families{family};
    if (family == QLatin1String("Georgia")) {
        families << QStringLiteral("DejaVu Serif") << QStringLiteral("Liberation Serif") << QStringLiteral("serif");
    } else {
        families << QStringLiteral("DejaVu Sans") << QStringLiteral("Liberation Sans") << QStringLiteral("sans-serif");
    }
    font.setFamilies(families);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace dramolex::ui
