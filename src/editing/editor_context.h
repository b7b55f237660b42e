#pragma once
// Everything the editing services share, owned in one place: the control
// registry, the editing state, the button looks, the common band panel, page
// switching, the refresh from the stores and the value pipeline, bound to the store and to the
// window whose widgets they drive. The window shell builds the widgets and
// then calls Build(); the graph and the system page reach the editing
// services through this object, never through the window class.

#include <memory>

#include "editing/common_band_panel.h"
#include "editing/page_switcher.h"
#include "panels/button_visual.h"
#include "panels/control_registry.h"
#include "panels/edit_state.h"

class QWidget;

namespace dsp {

class EditPipeline;
class EditSession;
class ParamStore;
class StoreRefresh;

class EditorContext {
 public:
  // `root` is the window that holds every bound widget (found by name).
  EditorContext(ParamStore& store, QWidget& root);
  ~EditorContext();
  EditorContext(const EditorContext&) = delete;
  EditorContext& operator=(const EditorContext&) = delete;

  // Creates page switching, the refresh and the pipeline once the window's
  // widgets exist.
  void Build(const PageWidgets& widgets);

  ParamStore& Store() { return store_; }
  const ParamStore& Store() const { return store_; }
  QWidget& Root() { return root_; }
  const QWidget& Root() const { return root_; }
  ControlRegistry& Registry() { return registry_; }
  EditState& Editing() { return editing_; }
  const EditState& Editing() const { return editing_; }
  ButtonVisual& Visual() { return visual_; }
  CommonBandPanel& BandPanel() { return bandPanel_; }
  PageSwitcher& Pages() { return *switcher_; }
  const PageSwitcher& Pages() const { return *switcher_; }
  StoreRefresh& Refresher() { return *refresh_; }
  EditPipeline& Pipeline() { return *pipeline_; }
  // Undo and redo, the A/B pair and offline editing.
  EditSession& Session() { return *session_; }

  // Set once the start-up sequence has run; edits and drags made before
  // (while the window is being built) are not user input.
  bool WindowReady() const { return windowReady_; }
  // Becoming ready starts the undo history from what the stores hold then.
  void SetWindowReady(bool ready);

 private:
  ParamStore& store_;
  QWidget& root_;
  ControlRegistry registry_;
  EditState editing_;
  ButtonVisual visual_{registry_};
  CommonBandPanel bandPanel_{registry_, store_, editing_};
  std::unique_ptr<PageSwitcher> switcher_;
  std::unique_ptr<StoreRefresh> refresh_;
  std::unique_ptr<EditPipeline> pipeline_;
  std::unique_ptr<EditSession> session_;
  bool windowReady_ = false;
};

}  // namespace dsp
