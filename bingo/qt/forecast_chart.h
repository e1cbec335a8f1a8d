// The forecast of the game before it starts, as a small chart: for the first línea and
// for bingo, a bar over the balls from the 10 % to the 90 % point with the median
// marked, and in words the chance that two or more cards win on one ball.
#pragma once
#include <QWidget>

#include "game/forecast.h"

class ForecastChart : public QWidget {
  Q_OBJECT
 public:
  explicit ForecastChart(QWidget* parent = nullptr);
  void ShowForecast(const Forecast& forecast);
  bool HasForecast() const { return has_forecast_; }
  QSize sizeHint() const override { return QSize(300, 150); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintBar(QPainter* painter, int top, const QString& label, const BallSpread& spread);

  bool has_forecast_ = false;
  Forecast forecast_;
};
