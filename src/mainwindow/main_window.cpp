#include "mainwindow/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSizeGrip>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include "catalogue/catalogue.h"
#include "editing/common_band_panel.h"
#include "editing/edit_pipeline.h"
#include "editing/edit_session.h"
#include "editing/page_switcher.h"
#include "editing/store_refresh.h"
#include "graph/eq_graph.h"
#include "graph/graph_image.h"
#include "link/device_link.h"
#include "mainwindow/page_builder.h"
#include "mainwindow/window_access.h"
#include "panels/click_picture.h"
#include "panels/control_names.h"
#include "panels/picture_button.h"
#include "panels/skin.h"
#include "panels/skin_slider.h"
#include "panels/spin_buttons.h"
#include "panels/ui_text.h"
#include "panels/widget_factory.h"
#include "panels/widget_props.h"
#include "report/settings_report.h"
#include "store/eq_defaults.h"
#include "store/param_store.h"

namespace dsp {

namespace {

constexpr int kTabLefts[kPageCount] = {-1, 38, 90, 129, 181, 249, 337, 406};
constexpr int kTabWidths[kPageCount] = {40, 53, 40, 53, 70, 90, 70, 40};
// The tabs say the page titles. A translation may say them shorter than the
// titles themselves, which name the parameters in messages, to fit these
// fixed tabs ("Main" on the tab, "Main output EQ3 Gain" in the undo text).
constexpr const char* kTabCaptions[kPageCount] = {
    QT_TRANSLATE_NOOP("PageTab", "音乐"),     QT_TRANSLATE_NOOP("PageTab", "麦克风"),
    QT_TRANSLATE_NOOP("PageTab", "效果"),     QT_TRANSLATE_NOOP("PageTab", "主输出"),
    QT_TRANSLATE_NOOP("PageTab", "中置输出"), QT_TRANSLATE_NOOP("PageTab", "超低音输出"),
    QT_TRANSLATE_NOOP("PageTab", "后置输出"), QT_TRANSLATE_NOOP("PageTab", "系统")};

// Changed parameters by page, "音乐 (2)" and then one indented line per
// change: the form of the A/B list and of the verify question.
QString DifferenceList(const std::vector<CellChange>& changes, const Translator& texts) {
  QStringList lines;
  for (const PageCount& page : CountByPage(changes)) {
    lines << QStringLiteral("%1 (%2)").arg(CatalogueText(PageTitle(page.page))).arg(page.count);
    for (const CellChange& change : changes) {
      if (ParamCells()[change.cell].page == page.page)
        lines << QStringLiteral("  ") + QString::fromStdString(ChangeLine(change, texts));
    }
  }
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

MainWindow::MainWindow(ParamStore& store, QWidget* parent)
    : QWidget(parent), store_(store), editor_(store, *this) {
  setObjectName(QStringLiteral("TForm1"));
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  setWindowTitle(tr("数字音效处理器控制中心"));
  setAttribute(Qt::WA_StyledBackground, false);
  resize(kDesignWidth, kDesignHeight);
  setMinimumSize(kDesignWidth, kDesignHeight);
  setFont(skin::UiFont(12));
  setStyleSheet(skin::StyleSheet());

  BuildTitle();
  BuildPages();
  BuildTabStrip();
  BuildGraphPanel();
  BuildCommonBandPanel();
  BuildUnlockGroup();
  BuildHiddenParts();

  PageWidgets widgets;
  widgets.pages = pageItem_;
  widgets.graphPanel = graphPanel_;
  widgets.commonBandPanel = commonPanel_;
  widgets.autoSingGroup = autoSingGroup_;
  widgets.bypassButton = findChild<PictureButton*>(QStringLiteral("MusEQAllpassBtn"));
  widgets.eqPassLabel = findChild<QLabel*>(QStringLiteral("EQPassLabel"));
  widgets.eqLabel = findChild<QLabel*>(QStringLiteral("EQlabel"));
  editor_.Build(widgets);
  hooks_.resetEqDefaults = [this] { editor_.Pipeline().ResetEq(kAllEqualisers); };
  // The EQ graph draws for the page switching, the refresh and the edits;
  // the graph timer applies drag steps and changes made elsewhere.
  editor_.Pages().DrawEq = [this](int band, int channel) { graph_->DrawEq(band, channel); };
  hooks_.graphTick = [this] { graph_->Timer1Timer(); };
  BindEditButtons();

  // The graph timer runs only while the graph has a change to draw or a
  // drag step to apply: a change starts it, and it stops once idle.
  graphTimer_ = new QTimer(this);
  graphTimer_->setObjectName(QStringLiteral("Timer1"));
  graphTimer_->setInterval(15);
  connect(graphTimer_, &QTimer::timeout, this, [this] {
    if (hooks_.graphTick) hooks_.graphTick();
    if (!graph_->HasWork()) graphTimer_->stop();
  });
  Editing().ChangeRecorded = [this] { WakeGraphTimer(); };
  DescribeForKeyboardAndScreenReaders();

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(kDesignWidth / 2, kDesignHeight / 2));
  }
}

MainWindow::~MainWindow() = default;

void MainWindow::DescribeForKeyboardAndScreenReaders() {
  // Names and descriptions in the language installed now, as every other
  // text of the window; the parameter controls are found through the
  // bindings the registry will make on the first show.
  Registry().FindControls(this);
  ControlNames::DescribeBoundControls(Registry(), store_.MicGroupB != 0 ? 2 : 1, editor_.Session().Texts());
  WindowAccess::DescribeCommands(*this);
  // Reading order: the tab strip, the page, the graph, the common band
  // panel beside it, the bottom bar; the lock prompt last.
  WindowAccess::ChainTabOrder({findChild<QWidget*>(QStringLiteral("TopTileGrop")), pageItem_, graphArea_,
                               commonPanel_, findChild<QWidget*>(QStringLiteral("EQBottomBar")),
                               findChild<QWidget*>(QStringLiteral("FirstCheckGrop"))});
}

void MainWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), skin::kWindow);
  // The 2-pixel inner border.
  p.setPen(QPen(QColor(80, 130, 220), 2));
  p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

void MainWindow::BuildTitle() {
  auto* title = new QLabel(this);
  title->setObjectName(QStringLiteral("TitleImage"));
  title->setPixmap(skin::TitlePicture(QSize(kDesignWidth, 28)));
  title->setScaledContents(true);
  title->setGeometry(0, 0, kDesignWidth, 28);
  title->setAttribute(Qt::WA_TransparentForMouseEvents);
  anchors_.Add(title, kLeft | kTop | kRight);

  QLabel* text = WidgetFactory::Label(this, QStringLiteral("TitleLabel"), windowTitle(),
                                      QRect(26, 4, 500, 20), Qt::AlignLeft | Qt::AlignVCenter, "title", 15);
  text->setFont(skin::CaptionFont(15, true));
  text->setStyleSheet(QStringLiteral("color: #ffffff; background: transparent;"));
  text->setAttribute(Qt::WA_TransparentForMouseEvents);

  struct TitleButton {
    const char* name;
    skin::ButtonStyle style;
    QRect rect;
  };
  const TitleButton buttons[] = {{"UndoBtn", skin::ButtonStyle::TitleUndo, QRect(898, 0, 34, 28)},
                                 {"RedoBtn", skin::ButtonStyle::TitleRedo, QRect(932, 0, 34, 28)},
                                 {"LogViewBtn", skin::ButtonStyle::TitleLog, QRect(966, 0, 37, 28)},
                                 {"MinimizeBtn", skin::ButtonStyle::TitleMinimise, QRect(1003, 0, 37, 28)},
                                 {"MaximizeBtn", skin::ButtonStyle::TitleMaximise, QRect(1038, 0, 36, 28)},
                                 {"CloseBtn", skin::ButtonStyle::TitleClose, QRect(1072, 0, 59, 28)}};
  for (const TitleButton& b : buttons) {
    PictureButton* button =
        WidgetFactory::Button(this, QString::fromLatin1(b.name), b.style, QString(), b.rect);
    button->setFocusPolicy(Qt::NoFocus);
    anchors_.Add(button, kTop | kRight);
  }
  findChild<PictureButton*>(QStringLiteral("LogViewBtn"))->setToolTip(tr("通信记录 (Ctrl+L)"));
  // Verify against the processor: reads its setting and lists what differs.
  PictureButton* verify = WidgetFactory::Button(this, QStringLiteral("VerifyBtn"), skin::ButtonStyle::Command,
                                                tr("核对设备"), QRect(826, 3, 68, 22));
  verify->setFocusPolicy(Qt::NoFocus);
  verify->setToolTip(tr("核对设备 (Ctrl+Shift+V)"));
  anchors_.Add(verify, kTop | kRight);
  // The link status, visible: what the scan or the reconnect is doing.
  QLabel* status =
      WidgetFactory::Label(this, QStringLiteral("LinkStatusLine"), CoreText("Link", kNotLinkedText),
                           QRect(560, 4, 262, 20), Qt::AlignRight | Qt::AlignVCenter, "title", 12);
  status->setStyleSheet(QStringLiteral("color: #ffffff; background: transparent;"));
  status->setAttribute(Qt::WA_TransparentForMouseEvents);
  anchors_.Add(status, kTop | kRight);
  connect(findChild<PictureButton*>(QStringLiteral("MinimizeBtn")), &QAbstractButton::clicked, this,
          &MainWindow::Minimise);
  connect(findChild<PictureButton*>(QStringLiteral("MaximizeBtn")), &QAbstractButton::clicked, this,
          &MainWindow::ToggleMaximise);
  connect(findChild<PictureButton*>(QStringLiteral("CloseBtn")), &QAbstractButton::clicked, this,
          &QWidget::close);
}

void MainWindow::BuildTabStrip() {
  QFrame* strip =
      WidgetFactory::Panel(this, QStringLiteral("TopTileGrop"), "strip", QRect(0, 28, kDesignWidth, 26));
  anchors_.Add(strip, kLeft | kTop | kRight);
  for (int page = 0; page < kPageCount; ++page) {
    PictureButton* tab = WidgetFactory::Button(strip, QStringLiteral("FormTabBtn%1").arg(page + 1),
                                               skin::ButtonStyle::Tab, CoreText("PageTab", kTabCaptions[page]),
                                               QRect(kTabLefts[page], 0, kTabWidths[page], 26));
    SetTag(tab, page);
    tab->setFocusPolicy(Qt::StrongFocus);
    connect(tab, &QAbstractButton::clicked, this, [this, tab] { editor_.Pages().FormTabBtn1Click(tab); });
  }
  PageBuilder().BuildVolumeGroup(strip, 457);

  // Pages from the keyboard: Ctrl+1..Ctrl+8, and Ctrl+Tab / Ctrl+Shift+Tab
  // to the next and previous page. Each presses the page's tab, so a locked
  // (disabled) tab stays shut to the keyboard as it is to the mouse.
  for (int page = 0; page < kPageCount; ++page) {
    auto* key = new QShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + page)), this);
    connect(key, &QShortcut::activated, this, [this, page] { PressPageTab(page); });
  }
  auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
  connect(next, &QShortcut::activated, this, [this] { PressPageTab((CurrentPageIndex() + 1) % kPageCount); });
  auto* previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), this);
  connect(previous, &QShortcut::activated, this,
          [this] { PressPageTab((CurrentPageIndex() + kPageCount - 1) % kPageCount); });
}

int MainWindow::CurrentPageIndex() const {
  return pageItem_ != nullptr ? pageItem_->currentIndex() : 0;
}

void MainWindow::PressPageTab(int page) {
  auto* tab = findChild<PictureButton*>(QStringLiteral("FormTabBtn%1").arg(page + 1));
  if (tab == nullptr || !tab->isEnabled() || !tab->isVisible()) return;
  tab->click();
  tab->setFocus(Qt::ShortcutFocusReason);
}

void MainWindow::BuildPages() {
  pageItem_ = new QStackedWidget(this);
  pageItem_->setObjectName(QStringLiteral("FormPageItem"));
  pageItem_->setGeometry(-1, 48, 1146, 611);
  PageBuilder builder;
  for (int page = 0; page < kPageCount; ++page) pageItem_->addWidget(builder.BuildPage(pageItem_, page));
  anchors_.Add(pageItem_, kAll);
  // The microphone group selector lives hidden on the microphone page.
  if (QWidget* micPage = pageItem_->widget(1)) {
    PictureButton* a = WidgetFactory::Button(micPage, QStringLiteral("MicABtn"), skin::ButtonStyle::Command,
                                             tr("麦克风A组"), QRect(760, 190, 96, 22));
    PictureButton* b = WidgetFactory::Button(micPage, QStringLiteral("MicBBtn"), skin::ButtonStyle::Command,
                                             tr("麦克风B组"), QRect(864, 190, 96, 22));
    a->hide();
    b->hide();
  }
}

void MainWindow::BuildGraphPanel() {
  QFrame* panel = WidgetFactory::Panel(this, QStringLiteral("AdvPanel1"), "graph", QRect(0, 295, 1133, 366));
  graphPanel_ = panel;
  anchors_.Add(panel, kAll);
  // The graph leaves room on its right for the common band panel.
  QFrame* area =
      WidgetFactory::Panel(panel, QStringLiteral("AdvPanel2"), "graphArea", QRect(40, 13, 893, 297));
  graphArea_ = area;
  anchors_.Add(area, kAll);
  // The canvas, band points, value and bypass labels, and the axis labels.
  graph_ = std::make_unique<EqGraph>(editor_);
  graph_->Build(panel, area);
  anchors_.Add(graph_->Image(), kAll);

  QFrame* bar = WidgetFactory::Panel(panel, QStringLiteral("EQBottomBar"), "bar", QRect(1, 336, 1131, 30));
  anchors_.Add(bar, kLeft | kRight | kBottom);
  auto command = [bar](const char* name, const QString& text, const QRect& rect) {
    return WidgetFactory::Button(bar, QString::fromLatin1(name), skin::ButtonStyle::Command, text, rect);
  };
  command("LinkBtn", tr("联机"), QRect(12, 4, 64, 22));
  command("UnLinkBtn", tr("断开"), QRect(82, 4, 64, 22));
  command("EQResetBtn", tr("EQ重置"), QRect(166, 4, 72, 22));
  PictureButton* bypass = command("MusEQAllpassBtn", QStringLiteral("EQ pass"), QRect(244, 4, 72, 22));
  // The A/B pair beside the EQ buttons: the lit letter is the current setting.
  command("AbABtn", QStringLiteral("A"), QRect(334, 4, 30, 22))->setToolTip(tr("设置 A"));
  command("AbBBtn", QStringLiteral("B"), QRect(368, 4, 30, 22))->setToolTip(tr("设置 B"));
  command("AbCopyBtn", QStringLiteral("A→B"), QRect(402, 4, 56, 22));
  command("AbDiffBtn", tr("差异"), QRect(462, 4, 48, 22))->setToolTip(tr("列出 A 与 B 不同的参数"));
  command("ReportBtn", tr("导出报告..."), QRect(518, 4, 90, 22))
      ->setToolTip(tr("把当前设置、均衡曲线和全部参数导出为 PDF 报告"));
  SetHint(bypass, QStringLiteral("0"));
  bypass->setPicture(PictureButton::Normal, bypass->picture(PictureButton::Disabled));

  QFrame* modes =
      WidgetFactory::Panel(bar, QStringLiteral("AutoSingGrop"), "none", QRect(1131 - 300, 0, 292, 30));
  autoSingGroup_ = modes;
  anchors_.Add(modes, kTop | kRight);
  const struct {
    const char* name;
    const char* caption;
    int x;
  } pairs[] = {{"AutoModeBtn", QT_TR_NOOP("自动"), 0},
               {"ManulModeBtn", QT_TR_NOOP("手动"), 66},
               {"SingModeBtn", QT_TR_NOOP("唱歌"), 152},
               {"DiscoModeBtn", QT_TR_NOOP("舞蹈"), 218}};
  for (const auto& p : pairs) {
    WidgetFactory::Button(modes, QString::fromLatin1(p.name), skin::ButtonStyle::Command,
                          tr(p.caption), QRect(p.x, 4, 62, 22));
  }
  auto* grip = new QSizeGrip(bar);
  grip->setObjectName(QStringLiteral("SizeGrip"));
  grip->setGeometry(1131 - 14, 16, 13, 13);
  anchors_.Add(grip, kRight | kBottom);
}

void MainWindow::BuildCommonBandPanel() {
  QFrame* panel =
      WidgetFactory::Panel(this, QStringLiteral("EQCotrolGrop"), "common", QRect(953, 304, 165, 324));
  commonPanel_ = panel;
  anchors_.Add(panel, kTop | kRight);
  WidgetFactory::Label(panel, QStringLiteral("COMEQlabel"), CommonBandPanel::Title(1),
                       QRect(8, 6, 150, 22), Qt::AlignLeft | Qt::AlignVCenter, "groupTitle", 13);
  const struct {
    const char* caption;
    const char* bar;
    const char* edit;
    const char* spin;
    int max;
    int role;
  } rows[] = {{BandFieldCaption(1), "ComEQFreBar", "ComEQFreEdit", "ComEQFreUpDownBtn", 361, 2},
              {BandFieldCaption(2), "ComEQGainBar", "ComEQGainEdit", "ComEQGainUpDownBtn", 180, 3},
              {BandFieldCaption(3), "ComEQQvalueBar", "ComEQQvalueEdit", "ComEQQvalueUpDownBtn", 100, 4}};
  int y = 38;
  for (const auto& r : rows) {
    WidgetFactory::Label(panel, QString(), tr("%1：").arg(CatalogueText(r.caption)),
                         QRect(8, y, 44, 22), Qt::AlignRight | Qt::AlignVCenter);
    QLineEdit* edit = WidgetFactory::Edit(panel, QString::fromLatin1(r.edit), QString::number(r.role),
                                          QRect(56, y + 1, 72, 20));
    edit->setReadOnly(false);
    WidgetFactory::Spin(panel, QString::fromLatin1(r.spin), Qt::Horizontal, QRect(130, y + 3, 28, 16));
    SkinSlider* slider = WidgetFactory::Slider(panel, QString::fromLatin1(r.bar), Qt::Horizontal, r.max,
                                               QRect(10, y + 30, 146, 18));
    slider->setThumbPictures(skin::SliderThumb(Qt::Horizontal, true),
                             skin::SliderThumb(Qt::Horizontal, false));
    y += 92;
  }
  panel->raise();
}

void MainWindow::BindEditButtons() {
  EditSession& session = editor_.Session();
  auto button = [this](const char* name) { return findChild<PictureButton*>(QString::fromLatin1(name)); };
  connect(button("UndoBtn"), &QAbstractButton::clicked, this, [&session] { session.Undo(); });
  connect(button("RedoBtn"), &QAbstractButton::clicked, this, [&session] { session.Redo(); });
  connect(button("AbABtn"), &QAbstractButton::clicked, this,
          [&session] { session.SelectLetter(AbLetter::A); });
  connect(button("AbBBtn"), &QAbstractButton::clicked, this,
          [&session] { session.SelectLetter(AbLetter::B); });
  connect(button("AbCopyBtn"), &QAbstractButton::clicked, this, [&session] { session.CopyToOther(); });
  connect(button("AbDiffBtn"), &QAbstractButton::clicked, this, &MainWindow::ShowAbDifferences);
  connect(button("VerifyBtn"), &QAbstractButton::clicked, this, &MainWindow::Verify);
  auto* verifyKey = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+V")), this);
  verifyKey->setObjectName(QStringLiteral("VerifyShortcut"));
  connect(verifyKey, &QShortcut::activated, this, &MainWindow::Verify);
  session.VerifyFinished = [this](const std::vector<CellChange>& differences) { ShowVerifyResult(differences); };
  connect(button("ReportBtn"), &QAbstractButton::clicked, this, &MainWindow::ChooseReportFile);
  // Ctrl+Z undoes; Ctrl+Shift+Z and Ctrl+Y redo, wherever the focus is in
  // the window (the band fields leave these keys to it).
  const struct {
    const char* name;
    QKeySequence keys;
    bool undo;
  } shortcuts[] = {{"UndoShortcut", QKeySequence(QStringLiteral("Ctrl+Z")), true},
                   {"RedoShortcut", QKeySequence(QStringLiteral("Ctrl+Shift+Z")), false},
                   {"RedoShortcutY", QKeySequence(QStringLiteral("Ctrl+Y")), false}};
  for (const auto& s : shortcuts) {
    auto* shortcut = new QShortcut(s.keys, this);
    shortcut->setObjectName(QString::fromLatin1(s.name));
    const bool undo = s.undo;
    connect(shortcut, &QShortcut::activated, this,
            [&session, undo] { undo ? session.Undo() : session.Redo(); });
  }
  connect(&session, &EditSession::changed, this, &MainWindow::ShowEditState);
  ShowEditState();
}

void MainWindow::ShowEditState() {
  const EditSession& session = editor_.Session();
  const EditHistory& history = session.History();
  auto button = [this](const char* name) { return findChild<PictureButton*>(QString::fromLatin1(name)); };
  PictureButton* undo = button("UndoBtn");
  PictureButton* redo = button("RedoBtn");
  undo->setEnabled(history.CanUndo());
  undo->setToolTip(QString::fromStdString(history.UndoText(session.Texts())) + QStringLiteral(" (Ctrl+Z)"));
  redo->setEnabled(history.CanRedo());
  redo->setToolTip(QString::fromStdString(history.RedoText(session.Texts())) + QStringLiteral(" (Ctrl+Shift+Z)"));
  // The current letter is lit, the other shows unlit.
  const bool a = session.Active() == AbLetter::A;
  PictureButton* letterA = button("AbABtn");
  PictureButton* letterB = button("AbBBtn");
  letterA->setPicture(PictureButton::Normal,
                      letterA->picture(a ? PictureButton::Pressed : PictureButton::Disabled));
  letterB->setPicture(PictureButton::Normal,
                      letterB->picture(a ? PictureButton::Disabled : PictureButton::Pressed));
  const QChar from = QLatin1Char(LetterChar(session.Active()));
  const QChar to = QLatin1Char(LetterChar(session.Pair().Inactive()));
  PictureButton* copy = button("AbCopyBtn");
  copy->setText(QStringLiteral("%1→%2").arg(from, to));
  copy->setToolTip(tr("把当前设置 %1 复制到 %2").arg(from, to));
}

void MainWindow::ShowAbDifferences() {
  const EditSession& session = editor_.Session();
  const std::vector<CellChange> changes = session.AbDifferences();
  const QChar from = QLatin1Char(LetterChar(session.Active()));
  const QChar to = QLatin1Char(LetterChar(session.Pair().Inactive()));
  // One list at a time: a second click shows the list of now.
  delete findChild<QDialog*>(QStringLiteral("AbDiffDialog"));
  auto* dialog = new QDialog(this);
  dialog->setObjectName(QStringLiteral("AbDiffDialog"));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(tr("A 与 B 的差异"));
  auto* layout = new QVBoxLayout(dialog);
  auto* summary = new QLabel(dialog);
  summary->setObjectName(QStringLiteral("AbDiffSummary"));
  summary->setText(changes.empty() ? tr("A 与 B 相同") : tr("%1 项参数不同 (%2 → %3)").arg(changes.size()).arg(from, to));
  layout->addWidget(summary);
  auto* list = new QPlainTextEdit(dialog);
  list->setObjectName(QStringLiteral("AbDiffList"));
  list->setReadOnly(true);
  list->setAccessibleName(tr("A 与 B 的差异"));
  list->setPlainText(DifferenceList(changes, session.Texts()));
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
  connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
  layout->addWidget(buttons);
  dialog->resize(520, 360);
  dialog->show();
}

void MainWindow::Verify() {
  EditSession& session = editor_.Session();
  const QString why = session.StartVerify();
  if (why.isEmpty()) return;
  if (session.ShowMessage) {
    session.ShowMessage(why);
  } else {
    QMessageBox::information(this, tr("核对设备"), why);
  }
}

void MainWindow::ShowVerifyResult(const std::vector<CellChange>& differences) {
  EditSession& session = editor_.Session();
  delete findChild<QDialog*>(QStringLiteral("VerifyDialog"));
  if (differences.empty()) {
    const QString same = tr("本机设置与设备中的设置相同");
    if (session.ShowMessage) {
      session.ShowMessage(same);
    } else {
      QMessageBox::information(this, tr("核对设备"), same);
    }
    return;
  }
  // The window stays as it is until an answer; the question keeps the
  // window's controls from changing what it lists.
  auto* dialog = new QDialog(this);
  dialog->setObjectName(QStringLiteral("VerifyDialog"));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowModality(Qt::WindowModal);
  dialog->setWindowTitle(tr("核对设备"));
  auto* layout = new QVBoxLayout(dialog);
  auto* summary = new QLabel(dialog);
  summary->setObjectName(QStringLiteral("VerifySummary"));
  summary->setText(tr("%1 项参数与设备中的不同 (设备 → 本机)").arg(differences.size()));
  layout->addWidget(summary);
  auto* list = new QPlainTextEdit(dialog);
  list->setObjectName(QStringLiteral("VerifyList"));
  list->setReadOnly(true);
  list->setAccessibleName(tr("与设备不同的参数"));
  list->setPlainText(DifferenceList(differences, session.Texts()));
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(dialog);
  QPushButton* send = buttons->addButton(tr("发送本机设置"), QDialogButtonBox::AcceptRole);
  send->setObjectName(QStringLiteral("VerifySendBtn"));
  QPushButton* take = buttons->addButton(tr("采用设备设置"), QDialogButtonBox::ActionRole);
  take->setObjectName(QStringLiteral("VerifyTakeBtn"));
  QPushButton* cancel = buttons->addButton(tr("取消"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("VerifyCancelBtn"));
  cancel->setDefault(true);
  connect(send, &QPushButton::clicked, dialog, [dialog, &session] {
    dialog->close();
    session.SendToProcessor();
  });
  connect(take, &QPushButton::clicked, dialog, [dialog, &session] {
    dialog->close();
    session.TakeFromProcessor();
  });
  connect(cancel, &QPushButton::clicked, dialog, &QDialog::close);
  layout->addWidget(buttons);
  dialog->resize(520, 360);
  dialog->open();
}

void MainWindow::ChooseReportFile() {
  const QString file = QFileDialog::getSaveFileName(this, tr("导出报告"), tr("设置报告.pdf"), tr("PDF 文件 (*.pdf)"));
  if (!file.isEmpty()) ExportReport(file);
}

bool MainWindow::ExportReport(const QString& file) {
  ReportData data;
  data.title = QFileInfo(file).completeBaseName().toStdString();
  data.created = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
  if (ReportDevice) data.deviceCode = ReportDevice();
  if (!data.deviceCode.empty()) {
    data.modeNames.assign(store_.ModeNames.begin(), store_.ModeNames.end());
    const int current = store_.Device(9, 2);
    data.currentMode = current >= 0 && current < kModeCount ? current + 1 : 0;
    data.systemValues = true;
  }
  data.settings = Capture(store_);
  QString error;
  if (WriteSettingsReport(data, file, error)) return true;
  const QString text = tr("报告无法写入: %1").arg(file);
  if (editor_.Session().ShowMessage) {
    editor_.Session().ShowMessage(text);
  } else {
    QMessageBox::warning(this, tr("导出报告"), text);
  }
  return false;
}

void MainWindow::BuildUnlockGroup() {
  QFrame* group =
      WidgetFactory::Panel(this, QStringLiteral("FirstCheckGrop"), "unlock", QRect(31, 409, 186, 54));
  QLineEdit* password =
      WidgetFactory::PasswordEdit(group, QStringLiteral("PanelPassWordEdit"), 6, true, QRect(8, 27, 110, 20));
  WidgetFactory::Label(group, QString(), tr("输入解锁密码："), QRect(8, 3, 170, 20))->setBuddy(password);
  WidgetFactory::Button(group, QStringLiteral("UnlockOkBtn"), skin::ButtonStyle::Command,
                        tr("确定"), QRect(124, 26, 54, 22));
  group->hide();
}

void MainWindow::BuildHiddenParts() {
  linkLabel_ = WidgetFactory::Label(this, QStringLiteral("LinkLabel"), CoreText("Link", kNotLinkedText),
                                    QRect(600, 4, 100, 20));
  linkLabel_->hide();
  portList_ = new QComboBox(this);
  portList_->setObjectName(QStringLiteral("ComComboBox1"));
  portList_->hide();
  PictureButton* example = WidgetFactory::Button(this, QStringLiteral("ExampleBtn"),
                                                 skin::ButtonStyle::Template, QString(), QRect(0, 0, 90, 26));
  example->hide();
  QLineEdit* filler =
      WidgetFactory::Edit(this, QStringLiteral("Example"), QStringLiteral("0"), QRect(0, 0, 40, 18));
  filler->hide();
  log_ = new QPlainTextEdit(this);
  log_->setObjectName(QStringLiteral("Memo2"));
  log_->setReadOnly(true);
  log_->setMaximumBlockCount(2000);
  log_->hide();
  // The band type picture templates: lit and unlit.
  const char* names[] = {"PEQ_ONImage",  "LSQ_ONImage",  "HSQ_ONImage",
                         "PEQ_OFFImage", "LSQ_OFFImage", "HSQ_OFFImage"};
  for (int i = 0; i < 6; ++i) {
    ClickPicture* picture = WidgetFactory::Picture(this, QString::fromLatin1(names[i]),
                                                   skin::TypePicture(i % 3, i < 3), QRect(0, 0, 20, 14));
    picture->hide();
  }
  // The template slider lends its thumb to every parameter slider.
  if (auto* templ = findChild<SkinSlider*>(QStringLiteral("MicHPFreBar"))) {
    templ->setThumbPictures(skin::SliderThumb(Qt::Horizontal, true),
                            skin::SliderThumb(Qt::Horizontal, false));
  }
}

void MainWindow::ShowInitialLooks() {
  Visual().Apply(Registry().Named(QStringLiteral("UnLinkBtn")), ButtonVisual::kLinkPair);
  Visual().Apply(Registry().Named(QStringLiteral("AutoModeBtn")), ButtonVisual::kAutoManual);
  Visual().Apply(Registry().Named(QStringLiteral("SingModeBtn")), ButtonVisual::kSingDance);
  Visual().Apply(Registry().Named(QStringLiteral("MicABtn")), ButtonVisual::kMicGroup);
}

void MainWindow::Startup() {
  if (started_) return;
  started_ = true;
  Registry().BuildControlRegistry(this, store_, Editing());
  editor_.Pipeline().Bind();
  ShowInitialLooks();
  if (hooks_.resetEqDefaults) hooks_.resetEqDefaults();
  // Errors while listing ports or starting the scan must not stop start-up.
  try {
    if (hooks_.startLink) hooks_.startLink();
  } catch (...) {
  }
  if (hooks_.preparePresets) hooks_.preparePresets();
  PictureButton* first = Registry().PageTabs()[0];
  const bool lockPrompt = findChild<QWidget*>(QStringLiteral("FirstCheckGrop"))->isVisible();
  if (!lockPrompt && first != nullptr) {
    editor_.Pages().FormTabBtn1Click(first);
    first->setFocus();
  }
  editor_.SetWindowReady(true);
  WakeGraphTimer();
}

void MainWindow::WakeGraphTimer() {
  if (WindowReady() && !graphTimer_->isActive() && graph_->HasWork()) graphTimer_->start();
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Startup();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  anchors_.Apply();
  PageSwitcher& pages = editor_.Pages();
  if (pages.DrawEq && pages.CurrentPageIndex() <= 6) {
    pages.DrawEq(kAllBands, pages.CurrentChannel());
    pages.DrawEq(Editing().CurrentBand[pages.CurrentPageIndex()], pages.CurrentChannel());
  }
}

bool MainWindow::IsMoveSurface(const QPoint& pos) const {
  return rect().contains(pos) && childAt(pos) == nullptr;
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && IsMoveSurface(event->position().toPoint()) && !maximised_) {
    if (QWindow* handle = windowHandle()) {
      handle->startSystemMove();
      event->accept();
      return;
    }
  }
  QWidget::mousePressEvent(event);
}

void MainWindow::Minimise() {
  showMinimized();
}

QRect MainWindow::MaximisedGeometry() const {
  QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  return s != nullptr ? s->availableGeometry() : geometry();
}

void MainWindow::ToggleMaximise() {
  if (maximised_) {
    maximised_ = false;
    setGeometry(normalGeometry_);
    return;
  }
  normalGeometry_ = geometry();
  maximised_ = true;
  // A frameless window maximised by the window system would cover the
  // taskbar, so it takes the screen's available area itself.
  const QRect target = MaximisedGeometry();
  // On a screen smaller than the design size the window still fits it.
  setMinimumSize(minimumSize().boundedTo(target.size()));
  setGeometry(target);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (CloseHook) CloseHook();
  graphTimer_->stop();
  event->accept();
}

}  // namespace dsp
