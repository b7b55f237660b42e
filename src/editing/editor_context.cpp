#include "editing/editor_context.h"

#include "editing/edit_pipeline.h"
#include "editing/edit_session.h"
#include "editing/store_refresh.h"

namespace dsp {

EditorContext::EditorContext(ParamStore& store, QWidget& root) : store_(store), root_(root) {}

EditorContext::~EditorContext() = default;

void EditorContext::Build(const PageWidgets& widgets) {
  if (switcher_) return;
  switcher_ = std::make_unique<PageSwitcher>(registry_, store_, editing_, visual_, bandPanel_, widgets);
  refresh_ = std::make_unique<StoreRefresh>(*this);
  pipeline_ = std::make_unique<EditPipeline>(*this);
  session_ = std::make_unique<EditSession>(*this);
}

void EditorContext::SetWindowReady(bool ready) {
  const bool starting = ready && !windowReady_;
  windowReady_ = ready;
  if (starting && session_) session_->Start();
}

}  // namespace dsp
