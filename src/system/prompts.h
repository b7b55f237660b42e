#pragma once
// Questions the system page asks (overwrite a preset, load it, recall or
// store a mode). They go through a replaceable hook so tests answer them
// without a modal box; the default asks with a modal message box.

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace dsp {

enum class QuestionButtons { OkCancel, YesNo };
// Closing the box or pressing Escape answers Cancel or No.
enum class Answer { Ok, Cancel, Yes, No };

using QuestionHook = std::function<Answer(const QString& caption, const QString& text, QuestionButtons)>;

// What a question may add below its text: a few lines that explain it, and
// a long text the box keeps behind its details button.
struct QuestionDetails {
  QString informative;
  QString details;
  // Small pictures shown under the text (the load question's curves).
  std::vector<QImage> pictures;
};
using DetailedQuestionHook = std::function<Answer(const QString& caption, const QString& text,
                                                  const QuestionDetails& details, QuestionButtons)>;

// A modal question box owned by `parent`.
Answer AskWithMessageBox(QWidget* parent, const QString& caption, const QString& text,
                         QuestionButtons buttons, const QuestionDetails& details = {});

}  // namespace dsp
