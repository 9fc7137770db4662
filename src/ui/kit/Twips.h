#pragma once

#include <QWidget>
#include <cmath>

// Window measures are kept in twips (1440 to the inch), as the settings file stores them; widgets
// are placed in pixels of the screen they are on.
inline double twipsPerPixelX(const QWidget* w) {
    return 1440.0 / (w ? w->logicalDpiX() : 96);
}
inline double twipsPerPixelY(const QWidget* w) {
    return 1440.0 / (w ? w->logicalDpiY() : 96);
}
inline int pixelsX(double twips, const QWidget* w) {
    return static_cast<int>(std::lround(twips / twipsPerPixelX(w)));
}
inline int pixelsY(double twips, const QWidget* w) {
    return static_cast<int>(std::lround(twips / twipsPerPixelY(w)));
}
inline double twipsX(int pixels, const QWidget* w) {
    return pixels * twipsPerPixelX(w);
}
inline double twipsY(int pixels, const QWidget* w) {
    return pixels * twipsPerPixelY(w);
}
