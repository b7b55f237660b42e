#pragma once
// The borderless main window TForm1: title strip with its buttons, the page
// tabs and current volumes, the eight pages, the EQ graph panel with its
// bottom bar, the common band panel and the hidden helper widgets. It owns
// the control registry, the editing state and the page switching.

#include <QWidget>
#include <functional>
#include <memory>

#include "editing/editor_context.h"
#include "editmodel/settings.h"
#include "mainwindow/anchors.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QStackedWidget;
class QTimer;

namespace dsp {

class EditPipeline;
class EqGraph;
class PageSwitcher;
class ParamStore;
class PictureButton;
class StoreRefresh;

// The jobs of the first show that other parts of the program provide.
struct StartupHooks {
  std::function<void()> resetEqDefaults;  // every band to its default, nothing sent
  std::function<void()> startLink;        // fill the port list and press connect
  std::function<void()> preparePresets;   // preset folders and the preset list
  std::function<void()> graphTick;        // the graph timer's job
};

class MainWindow : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 1131;
  static constexpr int kDesignHeight = 659;

  explicit MainWindow(ParamStore& store, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The editing services bound to this window's widgets.
  EditorContext& Editor() { return editor_; }
  ControlRegistry& Registry() { return editor_.Registry(); }
  EditState& Editing() { return editor_.Editing(); }
  ButtonVisual& Visual() { return editor_.Visual(); }
  PageSwitcher& Pages() { return editor_.Pages(); }
  StoreRefresh& Refresher() { return editor_.Refresher(); }
  EditPipeline& Pipeline() { return editor_.Pipeline(); }
  ParamStore& Store() { return store_; }
  EqGraph& Graph() { return *graph_; }

  StartupHooks& Hooks() { return hooks_; }
  // Runs before the window closes (the goodbye to a linked processor).
  std::function<void()> CloseHook;

  // The start-up sequence; runs once, on the first show.
  void Startup();
  bool WindowReady() const { return editor_.WindowReady(); }
  // Runs (every 15 ms) only while the graph has work, from the first show on.
  QTimer* GraphTimer() const { return graphTimer_; }

  // Presses the tab of page 0..7 as a click would (nothing while it is
  // disabled or hidden); the page keys use it.
  void PressPageTab(int page);
  int CurrentPageIndex() const;

  // Title buttons.
  void Minimise();
  void ToggleMaximise();
  bool IsMaximised() const { return maximised_; }
  // The geometry a maximised window takes on its screen: the screen less
  // its taskbars and docks.
  QRect MaximisedGeometry() const;

  // True when a left press at `pos` (window coordinates) lands on the
  // window's own surface and so starts moving the window.
  bool IsMoveSurface(const QPoint& pos) const;

  // The printed report of the current setting written to `file` (the
  // "导出报告..." button asks for the file); false when it could not be
  // written, which a message box says. `ReportDevice`, when set, adds the
  // linked processor's device code.
  bool ExportReport(const QString& file);
  std::function<std::string()> ReportDevice;

  // Hidden helpers reached by the link adapter.
  QLabel* LinkLabel() const { return linkLabel_; }
  QComboBox* PortList() const { return portList_; }
  QPlainTextEdit* Log() const { return log_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void BuildTitle();
  void BuildTabStrip();
  void BuildPages();
  void BuildGraphPanel();
  void BuildCommonBandPanel();
  void BuildUnlockGroup();
  void BuildHiddenParts();
  void ShowInitialLooks();
  // Accessible names and descriptions of every control, and the tab order.
  void DescribeForKeyboardAndScreenReaders();
  // Undo and redo (title strip, keys), the A/B buttons, and their looks and
  // tooltips following the editing session.
  void BindEditButtons();
  void ShowEditState();
  // The list of the parameters in which A and B differ, by page.
  void ShowAbDifferences();
  // "核对设备" (also Ctrl+Shift+V): starts the verify read, or says why not.
  void Verify();
  // The verify read's differences (before: the processor, after: this
  // window) as a question: send the window's settings, take the
  // processor's, or cancel; equal settings are said so.
  void ShowVerifyResult(const std::vector<CellChange>& differences);
  // Asks for a PDF file and exports the report to it.
  void ChooseReportFile();
  // Starts the graph timer when the graph has work for it.
  void WakeGraphTimer();

  ParamStore& store_;
  EditorContext editor_;
  std::unique_ptr<EqGraph> graph_;
  StartupHooks hooks_;
  Anchors anchors_;

  QStackedWidget* pageItem_ = nullptr;
  QWidget* graphPanel_ = nullptr;
  QWidget* graphArea_ = nullptr;
  QWidget* commonPanel_ = nullptr;
  QWidget* autoSingGroup_ = nullptr;
  QLabel* linkLabel_ = nullptr;
  QComboBox* portList_ = nullptr;
  QPlainTextEdit* log_ = nullptr;
  QTimer* graphTimer_ = nullptr;
  bool started_ = false;
  bool maximised_ = false;
  QRect normalGeometry_;
};

}  // namespace dsp
