#pragma once
// What the system page's flows share: the editing services and the window
// whose widgets they drive,
// the stores, the device link, the link's view of the screen (message
// boxes, diagnostic log), the question hook and the text command sender.

#include <QImage>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "editing/editor_context.h"
#include "system/prompts.h"

namespace dsp {

class DeviceLink;
class LinkView;
class ParamStore;

struct SystemServices {
  EditorContext& editor;
  ParamStore& store;
  DeviceLink& link;
  LinkView& view;
  // Questions with OK/Cancel or Yes/No; replaceable for tests. A question
  // with details goes to `askDetailed` when it is set, else to `ask`
  // without them.
  QuestionHook ask;
  DetailedQuestionHook askDetailed;
  // The small curve pictures of the load question: for each equaliser
  // page whose curve the file changes, the current and the file's curve.
  // Set by the window, which owns the graph's painting; none when unset.
  std::function<std::vector<QImage>(const ParamStore& now, const ParamStore& file)> curvePictures;
  // A text command (0x0904, 0x0905: one byte per digit) to the processor.
  std::function<void(int address, const std::string& digits)> sendText;

  // Linked and idle: a command can go out now.
  bool Linked() const;
  // Why a command cannot go out now: "设备未连接" with no processor on the
  // line, a busy notice while a transfer or an acknowledgement is awaited.
  QString NotReadyText() const;
  // A message box with a text in the user's language.
  void Message(const QString& text) const;
  Answer Ask(const QString& caption, const QString& text, QuestionButtons buttons,
             const QuestionDetails& details = {}) const;
  // A widget of the main window by its layout name.
  template <typename T = QWidget>
  T* Find(const char* name) const {
    return editor.Root().findChild<T*>(QString::fromLatin1(name));
  }
};

}  // namespace dsp
