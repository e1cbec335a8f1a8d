// Dialog units to pixels, measured the way the Win32 dialog manager measures a font.
#include "ui/qt/dialog_units.h"

#include <QApplication>
#include <QFontMetrics>
#include <cstdlib>

namespace {

// a * b / c rounded half away from zero, as MulDiv does.
int MulDiv(int a, int b, int c) {
  const long long product = static_cast<long long>(a) * b;
  const long long half = std::llabs(c) / 2;
  const long long rounded = (product >= 0) == (c >= 0) ? product + half : product - half;
  return static_cast<int>(rounded / c);
}

}  // namespace

DialogBaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const int alphabet =
      metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return {(alphabet / 26 + 1) / 2, metrics.height()};
}

DialogBaseUnits SystemBaseUnits() { return BaseUnitsOf(QApplication::font()); }

QRect DialogUnitsToPixels(int x, int y, int width, int height, DialogBaseUnits base) {
  const int left = MulDiv(x, base.cx, 4);
  const int top = MulDiv(y, base.cy, 8);
  const int right = MulDiv(x + width, base.cx, 4);
  const int bottom = MulDiv(y + height, base.cy, 8);
  return QRect(left, top, right - left, bottom - top);
}
