#include "editing/editor_context.h"

#include "editing/edit_pipeline.h"
#include "editing/store_refresh.h"

namespace dsp {

EditorContext::EditorContext(ParamStore& store, QWidget& root) : store_(store), root_(root) {}

EditorContext::~EditorContext() = default;

void EditorContext::Build(const PageWidgets& widgets) {
  if (switcher_) return;
  switcher_ = std::make_unique<PageSwitcher>(registry_, store_, editing_, visual_, bandPanel_, widgets);
  refresh_ = std::make_unique<StoreRefresh>(*this);
  pipeline_ = std::make_unique<EditPipeline>(*this);
}

}  // namespace dsp
