#include "panels/skin.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace dsp::skin {

namespace {

const QStringList& CjkFamilies() {
  static const QStringList families{"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Source Han Sans SC",
                                    "Microsoft YaHei",     "SimHei",           "SimSun",
                                    "Droid Sans Fallback", "sans-serif"};
  return families;
}

QPixmap Blank(QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// A rounded face with a vertical gradient and a thin outline.
QPixmap Face(QSize size, QColor top, QColor bottom, QColor outline, qreal radius = 3,
             QColor glow = QColor()) {
  QPixmap pixmap = Blank(size);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = QRectF(0, 0, size.width(), size.height()).adjusted(0.5, 0.5, -0.5, -0.5);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  p.setPen(outline);
  p.setBrush(g);
  p.drawRoundedRect(r, radius, radius);
  // Upper sheen.
  QRectF sheen = r.adjusted(1.5, 1.5, -1.5, -r.height() / 2);
  QLinearGradient s(sheen.topLeft(), sheen.bottomLeft());
  s.setColorAt(0, QColor(255, 255, 255, 70));
  s.setColorAt(1, QColor(255, 255, 255, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(s);
  p.drawRoundedRect(sheen, radius - 1, radius - 1);
  if (glow.isValid()) {
    p.setPen(QPen(glow, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
  }
  return pixmap;
}

QPixmap RadioFace(bool selected, bool dim) {
  QPixmap pixmap = Blank({26, 26});
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient ring(13, 10, 14);
  ring.setColorAt(0, dim ? QColor(70, 78, 92) : QColor(58, 96, 160));
  ring.setColorAt(1, dim ? QColor(34, 38, 46) : QColor(14, 34, 72));
  p.setPen(QPen(dim ? QColor(90, 96, 108) : QColor(120, 170, 235), 2));
  p.setBrush(ring);
  p.drawEllipse(QRectF(2, 2, 22, 22));
  if (selected) {
    QRadialGradient dot(11, 11, 8);
    dot.setColorAt(0, dim ? QColor(160, 170, 180) : QColor(210, 255, 255));
    dot.setColorAt(1, dim ? QColor(90, 100, 110) : QColor(0, 190, 255));
    p.setPen(Qt::NoPen);
    p.setBrush(dot);
    p.drawEllipse(QRectF(7, 7, 12, 12));
  }
  return pixmap;
}

QPixmap TitleGlyph(QSize size, ButtonStyle style, bool hot, bool down, bool dim = false) {
  QPixmap pixmap = Blank(size);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  if (hot || down) {
    QColor fill = style == ButtonStyle::TitleClose ? QColor(210, 40, 40) : QColor(60, 120, 220);
    if (down) fill = fill.darker(130);
    p.fillRect(pixmap.rect(), fill);
  }
  p.setPen(QPen(dim ? QColor(140, 150, 165) : QColor(Qt::white), 1.6));
  const QPointF c(size.width() / 2.0, size.height() / 2.0);
  switch (style) {
    case ButtonStyle::TitleMinimise:
      p.drawLine(QPointF(c.x() - 6, c.y() + 4), QPointF(c.x() + 6, c.y() + 4));
      break;
    case ButtonStyle::TitleMaximise:
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRectF(c.x() - 6, c.y() - 5, 12, 10));
      p.drawLine(QPointF(c.x() - 6, c.y() - 3), QPointF(c.x() + 6, c.y() - 3));
      break;
    case ButtonStyle::TitleLog:
      p.setBrush(Qt::NoBrush);
      p.drawRoundedRect(QRectF(c.x() - 6, c.y() - 7, 12, 14), 1.5, 1.5);
      for (int i = -3; i <= 3; i += 3)
        p.drawLine(QPointF(c.x() - 3, c.y() + i), QPointF(c.x() + 3, c.y() + i));
      break;
    case ButtonStyle::TitleUndo:
    case ButtonStyle::TitleRedo: {
      // A hook: over the top from one side to the other, the head pointing back.
      const double s = style == ButtonStyle::TitleUndo ? 1.0 : -1.0;
      QPainterPath path(QPointF(c.x() + s * 5, c.y() + 5));
      path.cubicTo(QPointF(c.x() + s * 8, c.y() - 2), QPointF(c.x() + s * 2, c.y() - 6),
                   QPointF(c.x() - s * 5, c.y() - 3));
      p.setBrush(Qt::NoBrush);
      p.drawPath(path);
      p.drawLine(QPointF(c.x() - s * 5, c.y() - 3), QPointF(c.x() - s * 1, c.y() - 7));
      p.drawLine(QPointF(c.x() - s * 5, c.y() - 3), QPointF(c.x() - s * 1, c.y() + 0.5));
      break;
    }
    default:
      p.drawLine(QPointF(c.x() - 5, c.y() - 5), QPointF(c.x() + 5, c.y() + 5));
      p.drawLine(QPointF(c.x() + 5, c.y() - 5), QPointF(c.x() - 5, c.y() + 5));
      break;
  }
  return pixmap;
}

}  // namespace

QFont UiFont(int pixelSize, bool bold) {
  QFont font;
  font.setFamilies(CjkFamilies());
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

QFont CaptionFont(int pixelSize, bool bold) {
  QFont font;
  QStringList families{"Arial", "Liberation Sans", "DejaVu Sans"};
  families += CjkFamilies();
  font.setFamilies(families);
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

Pictures ButtonPictures(ButtonStyle style, QSize size) {
  Pictures pics;
  using P = PictureButton;
  const QColor outline(8, 22, 50);
  switch (style) {
    case ButtonStyle::Command:
    case ButtonStyle::Toggle:
    case ButtonStyle::Sign: {
      const qreal radius = style == ButtonStyle::Sign ? 2 : 4;
      // Idle: a neutral steel face, neither lit nor dark, so a command
      // button at rest never looks pressed or switched on.
      pics[P::Normal] = Face(size, QColor(104, 114, 134), QColor(62, 70, 88), outline, radius);
      pics[P::NormalFocused] =
          Face(size, QColor(104, 114, 134), QColor(62, 70, 88), outline, radius, kFocusRing);
      // Unlit: dark slate, clearly off.
      pics[P::Disabled] = Face(size, QColor(58, 64, 78), QColor(30, 34, 44), QColor(20, 22, 28), radius);
      // Lit / pressed: saturated blue with a bright glow line.
      pics[P::Pressed] = Face(size, QColor(24, 110, 224), QColor(0, 60, 170), QColor(0, 40, 110), radius,
                              QColor(150, 225, 255));
      // Stay-down: deep navy, the unlit look of a lit/unlit pair.
      pics[P::StayDown] = Face(size, QColor(30, 48, 88), QColor(14, 24, 52), QColor(6, 12, 30), radius);
      pics[P::Hot] = Face(size, QColor(84, 112, 170), QColor(40, 62, 112), outline, radius);
      break;
    }
    case ButtonStyle::Radio: {
      pics[P::Normal] = RadioFace(false, false);
      pics[P::NormalFocused] = RadioFace(false, false);
      pics[P::Disabled] = RadioFace(false, true);
      pics[P::Pressed] = RadioFace(true, false);
      pics[P::StayDown] = RadioFace(true, true);
      pics[P::Hot] = RadioFace(false, true);
      break;
    }
    case ButtonStyle::Tab:
    case ButtonStyle::Template: {
      pics[P::Normal] = Face(size, QColor(250, 250, 250), QColor(206, 210, 218), QColor(150, 156, 170), 3);
      pics[P::NormalFocused] = pics[P::Normal];
      pics[P::Pressed] = Face(size, QColor(48, 120, 220), QColor(0, 56, 150), QColor(0, 34, 100), 3);
      pics[P::Hot] = Face(size, QColor(255, 255, 255), QColor(222, 232, 246), QColor(130, 150, 190), 3);
      pics[P::Disabled] = Face(size, QColor(220, 220, 220), QColor(190, 190, 190), QColor(160, 160, 160), 3);
      pics[P::StayDown] = pics[P::Pressed];
      if (style == ButtonStyle::Template) {
        // The template also lends its disabled, stay-down and hot pictures
        // to the radio members: unselected, selected-disabled, unselected-disabled.
        pics[P::Disabled] = RadioFace(false, false);
        pics[P::StayDown] = RadioFace(true, true);
        pics[P::Hot] = RadioFace(false, true);
      }
      break;
    }
    case ButtonStyle::TitleMinimise:
    case ButtonStyle::TitleMaximise:
    case ButtonStyle::TitleClose:
    case ButtonStyle::TitleLog:
    case ButtonStyle::TitleUndo:
    case ButtonStyle::TitleRedo: {
      pics[P::Normal] = TitleGlyph(size, style, false, false);
      pics[P::NormalFocused] = pics[P::Normal];
      const bool dims = style == ButtonStyle::TitleUndo || style == ButtonStyle::TitleRedo;
      pics[P::Disabled] = dims ? TitleGlyph(size, style, false, false, true) : pics[P::Normal];
      pics[P::Hot] = TitleGlyph(size, style, true, false);
      pics[P::Pressed] = TitleGlyph(size, style, true, true);
      pics[P::StayDown] = pics[P::Pressed];
      break;
    }
  }
  return pics;
}

QPixmap SliderThumb(Qt::Orientation orientation, bool enabled) {
  const QSize size = orientation == Qt::Horizontal ? QSize(10, 16) : QSize(22, 10);
  QPixmap pixmap = Blank(size);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = QRectF(0, 0, size.width(), size.height()).adjusted(0.5, 0.5, -0.5, -0.5);
  QLinearGradient g(r.topLeft(), orientation == Qt::Horizontal ? r.topRight() : r.bottomLeft());
  if (enabled) {
    g.setColorAt(0, QColor(245, 250, 255));
    g.setColorAt(0.5, QColor(170, 200, 235));
    g.setColorAt(1, QColor(90, 130, 190));
  } else {
    g.setColorAt(0, QColor(150, 150, 155));
    g.setColorAt(1, QColor(90, 92, 100));
  }
  p.setPen(QColor(10, 24, 50));
  p.setBrush(g);
  p.drawRoundedRect(r, 2, 2);
  p.setPen(QPen(enabled ? QColor(0, 150, 255) : QColor(70, 70, 75), 1.5));
  if (orientation == Qt::Horizontal) {
    p.drawLine(QPointF(r.center().x(), r.top() + 3), QPointF(r.center().x(), r.bottom() - 3));
  } else {
    p.drawLine(QPointF(r.left() + 4, r.center().y()), QPointF(r.right() - 4, r.center().y()));
  }
  return pixmap;
}

QPixmap TypePicture(int type, bool lit) {
  const QSize size(20, 14);
  QPixmap pixmap = Blank(size);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(lit ? QColor(120, 220, 255) : QColor(60, 70, 90));
  p.setBrush(lit ? QColor(0, 70, 150) : QColor(22, 28, 40));
  p.drawRoundedRect(QRectF(0.5, 0.5, 19, 13), 2, 2);
  QPainterPath curve;
  if (type == 0) {  // peaking: a bump in the middle
    curve.moveTo(2, 10);
    curve.cubicTo(7, 10, 8, 3, 10, 3);
    curve.cubicTo(12, 3, 13, 10, 18, 10);
  } else if (type == 1) {  // low shelf: high on the left
    curve.moveTo(2, 4);
    curve.lineTo(7, 4);
    curve.cubicTo(10, 4, 10, 10, 13, 10);
    curve.lineTo(18, 10);
  } else {  // high shelf: high on the right
    curve.moveTo(2, 10);
    curve.lineTo(7, 10);
    curve.cubicTo(10, 10, 10, 4, 13, 4);
    curve.lineTo(18, 4);
  }
  p.setPen(QPen(lit ? QColor(230, 255, 255) : QColor(110, 120, 140), 1.4));
  p.setBrush(Qt::NoBrush);
  p.drawPath(curve);
  return pixmap;
}

QPixmap BandPoint(int index) {
  const bool filter = index >= 15;
  const QSize size = filter ? QSize(24, 24) : QSize(14, 14);
  QPixmap pixmap = Blank(size);
  QPainter p(&pixmap);
  PaintBandPoint(p, QRectF(QPointF(0, 0), QSizeF(size)), index);
  return pixmap;
}

void PaintBandPoint(QPainter& p, const QRectF& box, int index) {
  const bool filter = index >= 15;
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(255, 255, 255), 1.2));
  p.setBrush(filter ? QColor(220, 120, 0) : QColor(0, 150, 230));
  p.drawEllipse(box.adjusted(1, 1, -1, -1));
  p.setPen(Qt::white);
  QFont font = UiFont(filter ? 9 : 8, true);
  p.setFont(font);
  const QString text =
      index < 15 ? QString::number(index + 1) : (index == 15 ? QStringLiteral("H") : QStringLiteral("L"));
  p.drawText(box, Qt::AlignCenter, text);
  p.restore();
}

QPixmap TitlePicture(QSize size) {
  QPixmap pixmap(size);
  QPainter p(&pixmap);
  QLinearGradient g(0, 0, 0, size.height());
  g.setColorAt(0, QColor(40, 92, 190));
  g.setColorAt(0.5, QColor(10, 56, 150));
  g.setColorAt(1, QColor(0, 36, 110));
  p.fillRect(pixmap.rect(), g);
  QLinearGradient shine(0, 0, size.width(), 0);
  shine.setColorAt(0, QColor(120, 200, 255, 70));
  shine.setColorAt(0.4, QColor(120, 200, 255, 0));
  p.fillRect(pixmap.rect(), shine);
  p.setPen(QColor(100, 160, 240));
  p.drawLine(0, size.height() - 1, size.width(), size.height() - 1);
  return pixmap;
}

QString StyleSheet() {
  return QStringLiteral(R"(
QFrame[skin="page"] {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #0d2550, stop:1 #081830);
}
QFrame[skin="band"] {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #183a70, stop:1 #0e2448);
  border: 1px solid #2e5ca8; border-radius: 4px;
}
QFrame[skin="group"] {
  background: rgba(10, 28, 60, 200);
  border: 1px solid #2e5ca8; border-radius: 5px;
}
QFrame[skin="system"] {
  background: rgba(12, 32, 68, 230);
  border: 1px solid #3466b8; border-radius: 5px;
}
QFrame[skin="strip"] { background: rgb(230, 230, 230); border-bottom: 1px solid #a0a8b8; }
QFrame[skin="bar"] { background: #ffffff; border-top: 1px solid #b8c4d8; }
QFrame[skin="graph"] { background: rgb(21, 21, 21); border: 1px solid #ffffff; }
QFrame[skin="graphArea"] { background: rgb(12, 12, 12); border: none; }
QFrame[skin="common"] {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #1b3d74, stop:1 #0c1f40);
  border: 1px solid #4a7cc8; border-radius: 5px;
}
QFrame[skin="unlock"] { background: #10306a; border: 2px solid #ffcc33; border-radius: 5px; }
QLabel { color: #d6e6ff; background: transparent; }
QLabel[skin="caption"] { color: #cfe0ff; }
QLabel[skin="groupTitle"] { color: #ffffff; font-weight: bold; }
QLabel[skin="dark"] { color: #1a2a44; }
QLabel[skin="unit"] { color: #8fb4e8; }
QLabel[skin="bandNumber"] {
  color: #ffffff; background: #2a64c0; border: 1px solid #7fb0ff; border-radius: 7px; font-weight: bold;
}
dsp--ValuePane {
  color: #7fffd4; background: #050d1c; border: 1px solid #2d5fa8; border-radius: 2px;
}
dsp--ValuePane[skin="strip"] { color: #003399; background: #ffffff; border: 1px solid #8090b0; }
QLineEdit {
  color: #9fe4ff; background: #050d1c; border: 1px solid #2f6db5; border-radius: 2px;
  selection-background-color: #1f6fd0; padding: 0px 2px;
}
QLineEdit:focus { border: 1px solid %1; }
QLineEdit:disabled { color: #8fa0b8; border-color: #34405a; }
QComboBox {
  color: #e0ecff; background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #24508f, stop:1 #143366);
  border: 1px solid #4d80cc; border-radius: 3px; padding: 0px 4px;
}
QComboBox:focus { border: 1px solid %1; }
QComboBox:disabled { color: #a0aec2; background: #202a3c; border-color: #34405a; }
QComboBox::drop-down { width: 14px; border-left: 1px solid #4d80cc; }
QComboBox::down-arrow { image: none; width: 0px; height: 0px; }
QComboBox QAbstractItemView { color: #e0ecff; background: #0c1f40; selection-background-color: #2a64c0; }
QScrollBar:horizontal { background: #071226; height: 12px; border: 1px solid #2e5ca8; }
QScrollBar:horizontal:focus { border: 1px solid %1; }
QScrollBar::handle:horizontal { background: #3f7ad0; min-width: 40px; border-radius: 3px; margin: 1px; }
QScrollBar::add-line:horizontal, QScrollBar::sub-line:horizontal { width: 0px; }
QTableWidget {
  color: #d6e6ff; background: #050d1c; gridline-color: #1f3f70; border: 1px solid #2f6db5;
  selection-background-color: #1f5fb8;
}
QTableWidget:focus { border: 1px solid %1; }
QHeaderView::section { color: #ffffff; background: #1d4a8c; border: 1px solid #2f6db5; padding: 1px; }
QPlainTextEdit { color: #c0d0e0; background: #050d1c; }
QProgressBar { border: 1px solid #909090; background: #ffffff; text-align: center; color: #202020; }
QProgressBar::chunk { background: #a0a0a0; }
QMessageBox, QInputDialog { background: #f0f0f0; }
QMessageBox QLabel, QInputDialog QLabel { color: #1a1a1a; background: transparent; }
)")
      .arg(kFocusRing.name());
}

}  // namespace dsp::skin
