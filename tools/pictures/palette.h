#pragma once
#include <QColor>

// The colours of the picture set. They match the theme colours of Config.ini:
// dark backgrounds, one warm orange accent, near-white text, a secondary grey.
namespace Palette {

inline QColor Background() { return QColor(20, 21, 25); }
inline QColor Panel() { return QColor(30, 31, 36); }
inline QColor PanelRaised() { return QColor(40, 41, 48); }
inline QColor PanelHigh() { return QColor(52, 53, 61); }
inline QColor Line() { return QColor(58, 59, 68); }
inline QColor LineSoft() { return QColor(44, 45, 52); }
inline QColor Accent() { return QColor(255, 122, 26); }
inline QColor AccentLight() { return QColor(255, 158, 84); }
inline QColor AccentDeep() { return QColor(204, 88, 10); }
inline QColor Text() { return QColor(230, 230, 235); }
inline QColor Secondary() { return QColor(140, 140, 150); }
inline QColor Failure() { return QColor(222, 74, 62); }

// `color` with the given alpha (0-255).
inline QColor WithAlpha(QColor color, int alpha)
{
    color.setAlpha(alpha);
    return color;
}

}  // namespace Palette
