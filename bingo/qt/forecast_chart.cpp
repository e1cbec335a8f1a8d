#include "bingo/qt/forecast_chart.h"

#include <QPainter>

namespace {
constexpr int kMostBalls = 99;
constexpr int kLabelWidth = 90;
const QColor kRangeColour(0x9F, 0xBF, 0xEF);
const QColor kMedianColour(0x1F, 0x3F, 0x8F);
}  // namespace

ForecastChart::ForecastChart(QWidget* parent) : QWidget(parent) {
  setMinimumHeight(130);
}

void ForecastChart::ShowForecast(const Forecast& forecast) {
  forecast_ = forecast;
  has_forecast_ = forecast.error.empty();
  update();
}

void ForecastChart::PaintBar(QPainter* painter, int top, const QString& label,
                             const BallSpread& spread) {
  const int axis = width() - kLabelWidth - 8;
  auto x_of = [&](int ball) { return kLabelWidth + axis * ball / kMostBalls; };
  painter->setPen(palette().windowText().color());
  painter->drawText(QRect(0, top, kLabelWidth, 22), Qt::AlignVCenter, label);
  painter->fillRect(QRect(QPoint(x_of(spread.low), top + 3), QPoint(x_of(spread.high), top + 19)),
                    kRangeColour);
  painter->fillRect(QRect(x_of(spread.median) - 1, top, 3, 22), kMedianColour);
  painter->drawText(QRect(kLabelWidth, top + 22, axis, 18), Qt::AlignCenter,
                    tr("%1 bolas (de %2 a %3)").arg(spread.median).arg(spread.low).arg(spread.high));
}

void ForecastChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!has_forecast_) return;
  PaintBar(&painter, 0, tr("1.ª línea"), forecast_.line);
  PaintBar(&painter, 44, tr("Bingo"), forecast_.bingo);
  painter.drawText(QRect(0, 88, width(), 40), Qt::AlignLeft | Qt::TextWordWrap,
                   tr("Dos o más ganadores en una bola: línea %1 %, bingo %2 %")
                       .arg(qRound(forecast_.line_tie_share * 100))
                       .arg(qRound(forecast_.bingo_tie_share * 100)));
}
