#pragma once
// The product skin: colours, fonts, the style sheet and every picture the
// pages use, all drawn in code.

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <array>

#include "panels/picture_button.h"

class QPainter;
class QRectF;

namespace dsp::skin {

using Pictures = std::array<QPixmap, PictureButton::kPictureCount>;

// Button families.
enum class ButtonStyle {
  Command,   // bottom bar and page buttons with a caption
  Toggle,    // mute buttons: lit when on
  Sign,      // 15 x 15 "+"/"-"
  Radio,     // 13 x 13 round selector
  Tab,       // page tab (the template button's pictures)
  Template,  // the hidden template: tab pictures plus radio looks
  TitleMinimise,
  TitleMaximise,
  TitleClose,
  TitleLog,   // opens the traffic view: a page of lines
  TitleUndo,  // a hooked arrow back; dimmed while there is nothing to undo
  TitleRedo,  // the same arrow forward
};

inline const QColor kWindow(0, 51, 153);
inline const QColor kTitleStrip(230, 230, 230);
inline const QColor kGraphPanel(21, 21, 21);
inline const QColor kGraphArea(12, 12, 12);
inline const QColor kText(214, 230, 255);
// The ring every focused control shows: picture buttons and sliders draw it,
// the style sheet gives text fields, choice boxes, lists and scroll bars
// their border in it, the EQ graph its frame and the ring of its point.
inline const QColor kFocusRing(255, 190, 40);

// A font of the given pixel size from the first installed family of a
// fallback list that covers Chinese text.
QFont UiFont(int pixelSize, bool bold = false);
// Arial-like Latin face for tab captions and the title (with CJK fallback).
QFont CaptionFont(int pixelSize, bool bold = false);

Pictures ButtonPictures(ButtonStyle style, QSize size);
QPixmap SliderThumb(Qt::Orientation orientation, bool enabled);
// Band type picture: type 0 peaking, 1 low shelf, 2 high shelf.
QPixmap TypePicture(int type, bool lit);
// Graph band point: index 0..14 bands, 15 high-pass, 16 low-pass.
QPixmap BandPoint(int index);
// The same band point drawn by any painter into `box` (the pixmap's size),
// e.g. a printed graph.
void PaintBandPoint(QPainter& p, const QRectF& box, int index);
// The colour of the EQ response curve of a channel's graph: the input
// pages, the output pages, and the microphone page while group B is shown.
inline QColor CurveColour(int channel, bool groupB = false) {
  if (groupB) return QColor(255, 102, 0, 255);
  return channel < 5 ? QColor(0, 204, 255, 255) : QColor(153, 255, 255, 255);
}
// The title strip bitmap.
QPixmap TitlePicture(QSize size);

QString StyleSheet();

}  // namespace dsp::skin
