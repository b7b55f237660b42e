// The mouse on a slider: a press beside the thumb is one change, a drag
// moves one change per new step under the pointer, and a mouse held still
// sends nothing more.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSlider>

#include "../support/run_until.h"
#include "linked_app.h"
#include "panels/skin_slider.h"

namespace dsp {
namespace {

// The point of a horizontal slider where its thumb centre shows `value`.
QPoint ThumbCentreAt(const QSlider* s, int value) {
  const int thumb = 10;
  const int span = s->width() - thumb;
  return {thumb / 2 + value * span / s->maximum(), s->height() / 2};
}

class SliderMouseTest : public LinkedApp {
 protected:
  // The processor's keyboard lock off, so that no unlock prompt holds the
  // title strip and the pages disabled after the download.
  void SetUp() override {
    LinkedApp::SetUp();
    SetEmulated(0x90D, 0);
  }
  void Send(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(at), QPointF(w->mapToGlobal(at)), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
  }
  void Press(QWidget* w, QPoint at) { Send(w, QEvent::MouseButtonPress, at, Qt::LeftButton); }
  void Move(QWidget* w, QPoint at) { Send(w, QEvent::MouseMove, at, Qt::LeftButton); }
  void Release(QWidget* w, QPoint at) { Send(w, QEvent::MouseButtonRelease, at, Qt::NoButton); }
  static QPoint At(const QSlider* s, int value) { return ThumbCentreAt(s, value); }
  // Writes of one address the processor received since `from`.
  std::vector<int> WritesOf(int address, std::size_t from = 0) const {
    std::vector<int> values;
    for (std::size_t i = from; i < emulator.valueWrites.size(); ++i)
      if (emulator.valueWrites[i].first == address) values.push_back(emulator.valueWrites[i].second);
    return values;
  }
  // Long enough for the toolkit's press-and-hold repeat (500 ms, then every
  // 50 ms) to have fired several times had it been left on. This waits on
  // the toolkit's own timer, which no test can tick.
  static void HoldStill() {
    test::RunUntil([] { return false; }, 800);
  }
};

TEST_F(SliderMouseTest, AClickBesideTheCurrentVolumeRaisesItByOneStep) {
  SetEmulated(0x907, 84);
  SetEmulated(0x920, 10);
  Connect();
  auto* current = W<QSlider>("SysMusNormalVolBar");
  ASSERT_EQ(current->value(), 10);
  Press(current, At(current, 60));
  HoldStill();
  Release(current, At(current, 60));
  Flush();
  EXPECT_EQ(current->value(), 11);
  EXPECT_EQ(Emulated(0x920), 11);
  for (int v : WritesOf(0x920)) EXPECT_EQ(v, 11) << "only the one step is sent";
}

TEST_F(SliderMouseTest, HoldingStillAtTheLimitSendsNothingMore) {
  SetEmulated(0x907, 20);
  SetEmulated(0x920, 20);
  Connect();
  auto* current = W<QSlider>("SysMusNormalVolBar");
  Press(current, At(current, 70));
  Flush();
  EXPECT_EQ(current->value(), 20);
  const std::size_t afterPress = emulator.valueWrites.size();
  HoldStill();
  // Pixels within the same step under the pointer ask for nothing new.
  Move(current, At(current, 70) + QPoint(1, 0));
  HoldStill();
  Flush();
  EXPECT_EQ(emulator.valueWrites.size(), afterPress) << "nothing is sent while the mouse is held";
  Release(current, At(current, 70));
  Flush();
  EXPECT_EQ(emulator.valueWrites.size(), afterPress);
  EXPECT_EQ(current->value(), 20);
}

TEST_F(SliderMouseTest, DraggingMovesOnceForEachNewStepUnderThePointer) {
  SetEmulated(0x907, 84);
  SetEmulated(0x920, 10);
  Connect();
  auto* current = W<QSlider>("SysMusNormalVolBar");
  const std::size_t before = emulator.valueWrites.size();
  // Grab the thumb itself: no change yet.
  Press(current, At(current, 10));
  EXPECT_EQ(current->value(), 10);
  // A far move is one change, held to one step up.
  Move(current, At(current, 50));
  EXPECT_EQ(current->value(), 11);
  // Each further new step under the pointer raises it by one more.
  Move(current, At(current, 52));
  Move(current, At(current, 55));
  EXPECT_EQ(current->value(), 13);
  // Down is not limited.
  Move(current, At(current, 3));
  EXPECT_NEAR(current->value(), 3, 1);
  Release(current, At(current, 3));
  Flush();
  EXPECT_EQ(Emulated(0x920), current->value());
  EXPECT_GT(emulator.valueWrites.size(), before);
}

TEST_F(SliderMouseTest, AParameterSliderJumpsToTheClickAndDoesNotCreep) {
  SetEmulated(0x907, 84);  // the maximum leaves the start volume its whole range
  Connect();
  // The start volume has no step limit: a press beside the thumb takes it
  // to the pointer at once, and holding the button changes nothing more.
  auto* start = W<QSlider>("SysMusStartVolBar");
  ASSERT_NE(start, nullptr);
  start->setValue(0);
  Flush();
  const int target = start->maximum() / 2;
  const std::size_t before = emulator.valueWrites.size();
  Press(start, At(start, target));
  const int jumped = start->value();
  EXPECT_NEAR(jumped, target, 1);
  HoldStill();
  EXPECT_EQ(start->value(), jumped);
  Release(start, At(start, target));
  Flush();
  const std::vector<int> writes = WritesOf(0x906, before);
  ASSERT_FALSE(writes.empty());
  EXPECT_EQ(writes.back(), jumped);
}

TEST(SkinSliderMouse, ADragCutOffByDisablingOrHidingLeavesTheSliderUsable) {
  SkinSlider slider(Qt::Horizontal);
  slider.setRange(0, 84);
  slider.resize(190, 18);
  auto send = [&slider](QEvent::Type type, int value, Qt::MouseButtons buttons) {
    const QPoint at = ThumbCentreAt(&slider, value);
    QMouseEvent event(type, QPointF(at), QPointF(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&slider, &event);
  };
  for (const char* how : {"disabled", "hidden"}) {
    SCOPED_TRACE(how);
    slider.setValue(0);
    send(QEvent::MouseButtonPress, 20, Qt::LeftButton);
    ASSERT_NEAR(slider.value(), 20, 1);
    // The release goes elsewhere: the slider was switched off meanwhile.
    if (std::string(how) == "disabled") {
      slider.setEnabled(false);
      slider.setEnabled(true);
    } else {
      slider.show();
      slider.hide();
    }
    EXPECT_FALSE(slider.isSliderDown());
    send(QEvent::MouseButtonPress, 60, Qt::LeftButton);
    EXPECT_NEAR(slider.value(), 60, 1) << "the next press is a new drag";
    send(QEvent::MouseButtonRelease, 60, Qt::NoButton);
  }
}

}  // namespace
}  // namespace dsp
