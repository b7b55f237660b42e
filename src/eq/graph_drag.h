#pragma once
// The mouse on the EQ graph's band points, as a state machine without
// widgets: a left drag moves a point and turns its place into a frequency
// step and a gain step, with the page rules that keep filter points on
// their line and inside their ranges; a right press steps the band's Q. A
// keyboard step stands for a one-step move of a pressed point (Nudge). The
// graph widget forwards the mouse events and carries out what the results
// ask for (select a field, step it, apply the pending steps, redraw).

#include <vector>

#include "eq/band_slots.h"
#include "eq/graph_geometry.h"

namespace dsp {

enum class MouseButton { Left, Right, Middle };

// What the drag needs to know about the window at each event.
struct DragContext {
  int page = 0;              // page index shown (0 music .. 6 surround, 7 system)
  int channel = 0;           // channel of the page shown
  bool manual = false;       // the operating mode (parameter 0x0000) is manual
  bool windowReady = false;  // the main window's first show has finished
  GraphGeometry geometry;    // the graph picture
  int imageTop = 0;          // the picture's top in the points' parent
};

// Automatic mode locks the music page's equaliser.
inline bool EditingAllowed(const DragContext& c) {
  return c.page != 0 || c.manual;
}

// A band point's rectangle in its parent (the graph area).
struct PointRect {
  int left, top, width, height;
};

struct PressResult {
  bool selectQField = false;     // select the band's Q field for right-button stepping
  bool selectGainField = false;  // select the band's gain field
  int drawSlot = -1;             // redraw this slot of drawChannel (a filter's value label)
  int drawChannel = -1;
};

struct MoveResult {
  bool qStep = false;  // step the current field by `direction` (0 re-applies it)
  int direction = 0;
  bool movePoint = false;     // the point's rectangle changed
  bool applyPending = false;  // run ApplyPendingDrag
};

// One ApplyValue call of ApplyPendingDrag.
struct ApplyCall {
  bool gain = false;         // the gain control, else the frequency control
  bool displayOnly = false;  // stored and shown, not sent
  int value = 0;
};

// A frequency step and a gain step of a drag.
struct DragSteps {
  int freq = 0;
  int gain = 0;
};

class GraphDrag {
 public:
  // A press on band point `point` at (x, y) in the point's coordinates.
  // storedFreq and storedGain are the pressed point's stored values as drag
  // steps (StoredDragSteps): a new drag starts from them, so the first step
  // it reaches is always sent. The middle button is ignored.
  PressResult Press(MouseButton button, int x, int y, int point, const DragContext& context, int storedFreq,
                    int storedGain);
  // A move over the pressed point; p is the point's rectangle, moved in place.
  MoveResult Move(int x, int y, PointRect& p, const DragContext& context);
  // A keyboard step of the pressed point, in place of a left-button move:
  // `freqSteps` steps along the frequency scale and `gainSteps` along the
  // gain scale from `from` (KeyStartSteps), kept inside the limits and page
  // rules a drag keeps (the locks, the pins, filters only sideways). True
  // when a step is pending (TakePending hands it on as a drag step).
  bool Nudge(int freqSteps, int gainSteps, const DragContext& context, DragSteps from);
  // A release on a point; true when the band's gain field is to be selected.
  bool Release(MouseButton button, const DragContext& context);
  // A move over the graph picture with the right button held (x in the
  // picture's coordinates): steps the Q 3 pixels at a time.
  MoveResult ImageMove(bool rightHeld, int x, int y);
  // A release over the graph picture; true when the gain field is to be selected.
  bool ImageRelease(MouseButton button, const DragContext& context);
  // A release over the value label or the "EQ PASS" label ends any drag.
  void LabelRelease();
  // A right press whose Q field turned out not to be a text field steps nothing.
  void CancelRightDrag() { rightDrag_ = false; }

  // The ApplyValue calls that hand the pending steps on, in order, and the
  // sent steps updated. A point without a gain control sends its frequency
  // even when both steps changed at once.
  std::vector<ApplyCall> TakePending(const PointControls& controls);

  // True when the last changed address or value differs from the pair seen
  // at the previous pass; remembers the new pair.
  bool TakeChange(int address, int value);
  // Work for the graph's timer: dragged steps not yet handed on, or a
  // change (address and value) not yet seen.
  bool StepsPending() const { return pendingFreq_ != sentFreq_ || pendingGain_ != sentGain_; }
  bool ChangeWaiting(int address, int value) const { return address != seenAddress_ || value != seenValue_; }

  bool DragActive() const { return dragActive_; }
  bool RightDrag() const { return rightDrag_; }
  int DragPoint() const { return dragPoint_; }
  int DragBand() const { return dragBand_; }
  int PendingFreqStep() const { return pendingFreq_; }
  int PendingGainStep() const { return pendingGain_; }
  int SentFreqStep() const { return sentFreq_; }
  int SentGainStep() const { return sentGain_; }
  double DragFreqHz() const { return dragFreqHz_; }
  double DragGainDb() const { return dragGainDb_; }

 private:
  bool dragActive_ = false;
  int dragPoint_ = -1;
  int dragBand_ = 0;
  bool rightDrag_ = false;
  int pressX_ = 0;
  int pressY_ = 0;
  double dragFreqHz_ = 0;
  double dragGainDb_ = 0;
  int pendingFreq_ = 0;
  int pendingGain_ = 0;
  int sentFreq_ = 0;
  int sentGain_ = 0;
  int seenAddress_ = 0;
  int seenValue_ = 0;
};

// The stored frequency and gain of a point's controls as drag steps: the
// band's own steps; a filter's value (the echo low-pass value + 168, its
// off value as step 361) and the 0 dB gain step.
DragSteps StoredDragSteps(const ParamStore& store, const PointControls& controls);
// The same for a keyboard step, which starts from a high-pass value itself
// rather than from the step below, where its point is drawn.
DragSteps KeyStartSteps(const ParamStore& store, const PointControls& controls);

// The value the frequency control of `controls` gets for a frequency step.
int FreqControlValue(const PointControls& controls, int freqStep);

}  // namespace dsp
