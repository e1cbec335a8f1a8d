// The last ball on the left, the board on the right, the prize along the top, the last
// balls and the prizes given along the bottom, a prize just given across the middle, and
// while the phones' page is on its QR code and address at the right.
#include "bingo/qt/hall_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QInputDialog>
#include <QScreen>
#include <QFontMetrics>
#include <QPainter>
#include <QShortcut>
#include <algorithm>

#include "bingo/qt/board_paint.h"
#include "bingo/qt/qr_paint.h"

namespace {
QColor QColorOf(Colour colour) {
  return QColor(int(colour & 0xFF), int(colour >> 8 & 0xFF), int(colour >> 16 & 0xFF));
}

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

void PaintGrid(QPainter* painter, const HallPaint& paint, const HallScreen& hall, const QColor& ink) {
  painter->setFont(paint.cell_font);
  for (int number = 1; number <= hall.highest_ball; ++number) {
    const QRect cell = QRectOf(BoardCellOf(paint.layout.board, number));
    const bool called = hall.called[static_cast<size_t>(number)];
    painter->fillRect(cell, called ? ink : kPaper);
    painter->setPen(kGridLine);
    painter->drawRect(cell.adjusted(0, 0, -1, -1));
    painter->setPen(called ? kPaper : kUncalledText);
    painter->drawText(cell, Qt::AlignCenter, QString::number(number));
  }
}

// The whole commitment across the bottom, in two lines as large as the widest lets them be.
void PaintCommitment(QPainter* painter, const HallPaint& paint, const HallScreen& hall) {
  const QRect box = QRectOf(paint.layout.commitment).adjusted(20, 0, -20, 0);
  QString lines;
  for (const std::string& line : HallCommitmentLines(hall)) lines += (lines.isEmpty() ? "" : "\n") + Text(line);
  QFont font = paint.line_font;
  font.setPixelSize(qMax(1, qMin(font.pixelSize(), box.height() * 2 / 5)));
  const int needs = QFontMetrics(font).boundingRect(box, Qt::AlignLeft | Qt::AlignVCenter, lines).width();
  if (needs > box.width()) font.setPixelSize(qMax(1, font.pixelSize() * box.width() / needs));
  painter->setFont(font);
  painter->drawText(box, Qt::AlignLeft | Qt::AlignVCenter, lines);
}

void PaintBands(QPainter* painter, const HallPaint& paint, const HallScreen& hall) {
  const HallLayout& layout = paint.layout;
  painter->setFont(paint.line_font);
  painter->setPen(kUncalledText);
  const QRect top = QRectOf(layout.top).adjusted(20, 0, -20, 0);
  painter->drawText(top, Qt::AlignLeft | Qt::AlignVCenter, Text(hall.prize));
  if (hall.has_game)
    painter->drawText(top, Qt::AlignRight | Qt::AlignVCenter,
                      hall.balls == 1 ? QStringLiteral("1 bola") : QStringLiteral("%1 bolas").arg(hall.balls));
  QString recent;
  for (int ball : hall.recent) recent += (recent.isEmpty() ? "" : "  ") + QString::number(ball);
  // The commitment stands where the last balls will be, until the first one.
  if (hall.last == 0 && !hall.commitment.empty()) return PaintCommitment(painter, paint, hall);
  painter->drawText(QRectOf(layout.bottom).adjusted(20, 0, -20, 0), Qt::AlignLeft | Qt::AlignVCenter,
                    recent);
  if (hall.given.empty()) return;
  const QRect given = QRectOf(layout.given).adjusted(20, 0, -20, 0);
  QFont font = paint.line_font;
  font.setPixelSize(qMax(1, qMin(font.pixelSize(), given.height() / int(hall.given.size()) * 4 / 5)));
  painter->setFont(font);
  QString lines;
  for (const std::string& line : hall.given) lines += (lines.isEmpty() ? "" : "\n") + Text(line);
  painter->drawText(given, Qt::AlignLeft | Qt::AlignVCenter, lines);
}

// Before the first ball, where it will stand: the takings and what each prize pays, as
// large as the widest line lets them be.
void PaintMoney(QPainter* painter, const HallPaint& paint, const HallScreen& hall, const QColor& ink) {
  const QRect box = QRectOf(paint.layout.last).adjusted(20, 20, -20, -20);
  QString lines;
  for (const std::string& line : hall.money) lines += (lines.isEmpty() ? "" : "\n") + Text(line);
  QFont font = paint.line_font;
  font.setPixelSize(qMax(1, box.height() / int(hall.money.size() + 1)));
  const QRect needs = QFontMetrics(font).boundingRect(box, Qt::AlignLeft | Qt::AlignVCenter, lines);
  if (needs.width() > box.width())
    font.setPixelSize(qMax(1, font.pixelSize() * box.width() / needs.width()));
  painter->setFont(font);
  painter->setPen(ink);
  painter->drawText(box, Qt::AlignLeft | Qt::AlignVCenter, lines);
}

// Where phones find the page: its QR code, and its address in letters as large as fit,
// broken after "http://" so that the rest takes the column's whole width.
void PaintPage(QPainter* painter, const HallPaint& paint, const HallScreen& hall) {
  PaintQr(painter, QRectOf(paint.layout.page_qr), hall.page_qr);
  const QRect box = QRectOf(paint.layout.page_address).adjusted(8, 0, -8, 0);
  QString address = Text(hall.page_address);
  const QString scheme = "http://";
  if (address.startsWith(scheme)) address = address.mid(scheme.size());
  QFont font = paint.line_font;
  const int fits = QFontMetrics(font).horizontalAdvance(address);
  if (fits > box.width()) font.setPixelSize(qMax(1, font.pixelSize() * box.width() / fits));
  painter->setFont(font);
  painter->setPen(kUncalledText);
  painter->drawText(box, Qt::AlignHCenter | Qt::AlignTop, scheme + "\n" + address);
}

void PaintBanner(QPainter* painter, const HallPaint& paint, const HallScreen& hall, const QColor& ink) {
  const QRect banner = QRectOf(paint.layout.banner);
  painter->fillRect(banner, ink);
  const QString text = Text(hall.banner);
  QFont font = paint.banner_font;
  const int fits = QFontMetrics(font).horizontalAdvance(text);
  if (fits > banner.width() * 9 / 10)
    font.setPixelSize(qMax(1, font.pixelSize() * banner.width() * 9 / 10 / fits));
  painter->setFont(font);
  painter->setPen(kPaper);
  painter->drawText(banner, Qt::AlignCenter, text);
}
}  // namespace

HallPaint HallPaintOf(int width, int height, int highest, bool with_page) {
  HallPaint paint;
  const double advance_per_pixel =
      QFontMetrics(BoldFont(kBoardMeasuredPixels)).horizontalAdvance("88") / double(kBoardMeasuredPixels);
  paint.with_page = with_page;
  paint.layout = LayOutHall(width, height, advance_per_pixel, highest, with_page);
  paint.last_font = BoldFont(paint.layout.last_pixels);
  paint.cell_font = BoldFont(paint.layout.board.cell_pixels);
  paint.line_font = BoldFont(paint.layout.line_pixels);
  paint.banner_font = BoldFont(paint.layout.banner_pixels);
  return paint;
}

void PaintHallScreen(QPainter* painter, const HallPaint& paint, const HallScreen& hall) {
  const QColor ink = QColorOf(hall.colour);
  const HallLayout& layout = paint.layout;
  painter->fillRect(painter->viewport(), kPaper);
  if (hall.last > 0) {
    painter->setFont(paint.last_font);
    painter->setPen(ink);
    painter->drawText(QRectOf(layout.last), Qt::AlignCenter, QString::number(hall.last));
  } else if (!hall.money.empty()) {
    PaintMoney(painter, paint, hall, ink);
  }
  PaintGrid(painter, paint, hall, ink);
  PaintBands(painter, paint, hall);
  if (paint.with_page && hall.page_qr.side > 0) PaintPage(painter, paint, hall);
  if (!hall.banner.empty()) PaintBanner(painter, paint, hall, ink);
}

HallWindow::HallWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("sala");
  setWindowTitle(tr("Pantalla de la sala"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(320, 180);
  auto* full_screen = new QShortcut(QKeySequence(Qt::Key_F11), this);
  connect(full_screen, &QShortcut::activated, this, [this] { isFullScreen() ? showNormal() : showFullScreen(); });
  paint_ = HallPaintOf(width(), height(), hall_.highest_ball);
}

void HallWindow::Show(const HallScreen& hall) {
  const bool with_page = hall.page_qr.side > 0;
  if (hall.highest_ball != hall_.highest_ball || with_page != paint_.with_page)
    paint_ = HallPaintOf(width(), height(), hall.highest_ball, with_page);
  hall_ = hall;
  // The title follows the game too, for whoever looks for the window from outside.
  setWindowTitle(hall.last > 0 ? tr("Pantalla de la sala: %1").arg(hall.last) : tr("Pantalla de la sala"));
  update();
}

void HallWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintHallScreen(&painter, paint_, hall_);
}

void HallWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  paint_ = HallPaintOf(width(), height(), hall_.highest_ball, hall_.page_qr.side > 0);
}

void HallWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  emit closed();
}

HallPlace AskHallPlace(QWidget* caller, const std::string& kept_choice) {
  const QList<QScreen*> screens = QGuiApplication::screens();
  std::vector<std::string> system_names;
  for (QScreen* one : screens) system_names.push_back(one->name().toStdString());
  const std::vector<std::string> names = DistinctScreenNames(system_names);
  const auto name_of = [&](QScreen* one) { return names[size_t(screens.indexOf(one))]; };
  if (screens.size() < 2) return {caller->screen(), QString::fromStdString(name_of(caller->screen())), false};
  QStringList items;
  for (const std::string& name : HallScreensToOffer(names, kept_choice, name_of(caller->screen())))
    items << QString::fromStdString(name);
  bool chosen = false;
  const QString name = QInputDialog::getItem(caller, caller->windowTitle(),
                                             QString::fromUtf8(kHallScreenQuestion), items, 0, false, &chosen);
  const auto place = std::find(names.begin(), names.end(), name.toStdString());
  if (!chosen || place == names.end()) return {};
  return {screens[int(place - names.begin())], name, true};
}

HallWindow* OpenHallWindow(QWidget* caller, const HallPlace& place) {
  auto* hall = new HallWindow(caller);
  hall->setAttribute(Qt::WA_DeleteOnClose);
  hall->setScreen(place.screen);
  const QRect area = place.screen->geometry();
  if (place.full_screen) {
    hall->setGeometry(area);
    hall->showFullScreen();
  } else {
    hall->resize(area.width() / 2, area.height() / 2);
    hall->move(area.topLeft() + QPoint(area.width() / 4, area.height() / 4));
    hall->show();
  }
  caller->activateWindow();  // the caller's keys stay with the caller's window
  return hall;
}
