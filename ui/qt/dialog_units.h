// Dialog units: sizes in quarters of the average character width and eighths of the
// character height of a font, the measure dialog templates use.
#pragma once
#include <QFont>
#include <QRect>

struct DialogBaseUnits {
  int cx = 0;  // average character width, pixels
  int cy = 0;  // character height, pixels
};

DialogBaseUnits BaseUnitsOf(const QFont& font);
// The system font's base units (the application font).
DialogBaseUnits SystemBaseUnits();
QRect DialogUnitsToPixels(int x, int y, int width, int height, DialogBaseUnits base);
