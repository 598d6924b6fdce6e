#include "ui/qt/pictures.h"

#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "common/cp1252.h"

namespace kvor::ui {

namespace {

QPixmap Canvas(QSize size, qreal dpr) {
  QPixmap pm(size * dpr);
  pm.setDevicePixelRatio(dpr);
  pm.fill(Qt::transparent);
  return pm;
}

// A solid triangle pointing up or down, centred in the square.
QPixmap Arrow(QSize size, qreal dpr, bool up) {
  QPixmap pm = Canvas(size, dpr);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal w = size.width(), h = size.height();
  const qreal half = std::min(w, h) * 0.36;
  const QPointF c(w / 2, h / 2);
  const qreal tip = up ? -1 : 1;
  QPolygonF shape;
  shape << QPointF(c.x(), c.y() + tip * half) << QPointF(c.x() - half, c.y() - tip * half * 0.6)
        << QPointF(c.x() + half, c.y() - tip * half * 0.6);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x20, 0x20, 0x20));
  p.drawPolygon(shape);
  return pm;
}

// A small printer: paper going in at the top, the body, and a printed sheet coming out.
QPixmap Printer(QSize size, qreal dpr) {
  QPixmap pm = Canvas(size, dpr);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = std::min(size.width(), size.height());
  p.translate((size.width() - s) / 2, (size.height() - s) / 2);
  p.scale(s / 32.0, s / 32.0);
  const QColor outline(0x30, 0x30, 0x30);
  p.setPen(QPen(outline, 1.2));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(9, 3, 14, 10));  // paper in
  p.setBrush(QColor(0x9A, 0xA4, 0xB0));
  p.drawRoundedRect(QRectF(3, 11, 26, 12), 2.5, 2.5);  // body
  p.setBrush(QColor(0x30, 0x30, 0x30));
  p.drawRect(QRectF(8, 19, 16, 2));  // slot
  p.setBrush(QColor(0x40, 0xC0, 0x40));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(25, 15), 1.3, 1.3);  // power light
  p.setPen(QPen(outline, 1.2));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(9, 20, 14, 9));  // paper out
  p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
  for (qreal y : {23.0, 25.5}) p.drawLine(QPointF(11, y), QPointF(21, y));
  return pm;
}

}  // namespace

QPixmap PictureOf(const std::string& name, QSize size, qreal device_pixel_ratio) {
  if (size.isEmpty()) return {};
  if (name == "arrow-up") return Arrow(size, device_pixel_ratio, true);
  if (name == "arrow-down") return Arrow(size, device_pixel_ratio, false);
  if (name == "printer") return Printer(size, device_pixel_ratio);
  const QString path = QString::fromStdString(ToUtf8(name));
  if (path.isEmpty() || !QFileInfo(path).isFile()) return {};
  return QPixmap(path);
}

}  // namespace kvor::ui
