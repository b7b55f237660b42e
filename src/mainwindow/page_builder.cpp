#include "mainwindow/page_builder.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableWidget>
#include <algorithm>
#include <map>

#include "catalogue/catalogue.h"
#include "panels/click_picture.h"
#include "panels/picture_button.h"
#include "panels/skin_slider.h"
#include "panels/spin_buttons.h"
#include "panels/ui_text.h"
#include "panels/value_pane.h"
#include "panels/widget_factory.h"
#include "panels/widget_props.h"
#include "store/param_store.h"

namespace dsp {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// Page-local top of the content (the tab strip covers the first pixels).
constexpr int kTop = 10;
constexpr int kStripHeight = 222;
constexpr int kCaptionWidth = 118;

std::vector<int> ChannelsOfPage(int page) {
  if (page == 2) return {3, 4};
  return {PageChannel(page)};
}

}  // namespace

QFrame* PageBuilder::BuildPage(QWidget* parent, int page) {
  return page == 7 ? BuildSystemPage(parent) : BuildEqPage(parent, page);
}

QFrame* PageBuilder::BuildEqPage(QWidget* parent, int page) {
  QFrame* frame = WidgetFactory::Panel(parent, QStringLiteral("FormPage%1").arg(page + 1), "page", QRect());
  const BandSet* set = BandSetOf(PageChannel(page));
  const int stripWidth = set != nullptr ? BuildBandStrip(frame, *set) : 0;
  const int left = 8 + stripWidth + 12;
  BuildParamArea(frame, ChannelsOfPage(page), QRect(left, kTop, 1124 - left, kStripHeight));
  return frame;
}

int PageBuilder::BuildBandStrip(QWidget* page, const BandSet& set) {
  const int contentWidth = set.bands * kBandPitch;
  if (set.channel != 1) {
    QFrame* box = WidgetFactory::Panel(page, Q(set.prefix + "ScrollBox"), "none",
                                       QRect(8, kTop, contentWidth, kStripHeight));
    for (int b = 1; b <= set.bands; ++b) BuildBandColumn(box, set, b, (b - 1) * kBandPitch);
    return contentWidth;
  }
  // The microphone's fifteen bands scroll under a ten-band window.
  const int viewWidth = kVisibleMicBands * kBandPitch;
  QFrame* view = WidgetFactory::Panel(page, QStringLiteral("MicScrollBox"), "none",
                                      QRect(8, kTop, viewWidth, kStripHeight));
  QFrame* strip = WidgetFactory::Panel(view, QStringLiteral("MicScrollStrip"), "none",
                                       QRect(0, 0, contentWidth, kStripHeight));
  for (int b = 1; b <= set.bands; ++b) BuildBandColumn(strip, set, b, (b - 1) * kBandPitch);
  auto* bar = new QScrollBar(Qt::Horizontal, page);
  bar->setObjectName(QStringLiteral("MicPanScrollBar"));
  bar->setRange(0, set.bands - kVisibleMicBands);
  bar->setPageStep(1);
  bar->setGeometry(8, kTop + kStripHeight + 2, viewWidth - 4, 12);
  QObject::connect(bar, &QScrollBar::valueChanged, strip,
                   [strip](int position) { strip->move(-position * kBandPitch, 0); });
  // A band field reached with the keyboard is scrolled into view, so the
  // focus is never on a hidden band.
  QObject::connect(qApp, &QApplication::focusChanged, bar, [strip, bar](QWidget*, QWidget* now) {
    if (now == nullptr || !strip->isAncestorOf(now)) return;
    const int band = now->mapTo(strip, QPoint(0, 0)).x() / kBandPitch;
    bar->setValue(std::clamp(bar->value(), band - kVisibleMicBands + 1, band));
  });
  return viewWidth;
}

void PageBuilder::BuildBandColumn(QWidget* strip, const BandSet& set, int band, int x) {
  const BandNames n = NamesOfBand(set, band);
  QFrame* col = WidgetFactory::Panel(strip, Q(set.prefix + "Band" + std::to_string(band)), "band",
                                     QRect(x, 0, kBandPitch - 4, kStripHeight));
  QLabel* number = WidgetFactory::Label(col, Q(n.numberLabel), QString::number(band), QRect(22, 4, 24, 15),
                                        Qt::AlignCenter, "bandNumber", 10);
  number->setCursor(Qt::PointingHandCursor);
  SetTag(number, set.channel);
  SetHint(number, QString::number(EqBase[set.channel] + 1));

  QComboBox* type = WidgetFactory::Choice(col, Q(n.modeBox), {"PEQ", "LSEQ", "HSEQ"}, QRect(2, 22, 64, 19));
  SetHint(type, QStringLiteral("1"));
  const std::string pictures[3] = {n.peqPicture, n.lsqPicture, n.hsqPicture};
  for (int t = 0; t < 3; ++t) {
    WidgetFactory::Picture(col, Q(pictures[t]), skin::TypePicture(t, t == 0), QRect(3 + 21 * t, 44, 20, 14));
  }
  const struct {
    const std::string& edit;
    const std::string& spin;
    int role;
    int y;
  } fields[] = {{n.freqEdit, n.freqSpin, 2, 61}, {n.gainEdit, n.gainSpin, 3, 81}, {n.qEdit, n.qSpin, 4, 101}};
  for (const auto& f : fields) {
    WidgetFactory::Edit(col, Q(f.edit), QString::number(f.role), QRect(2, f.y, 51, 18));
    WidgetFactory::Spin(col, Q(f.spin), Qt::Vertical, QRect(54, f.y, 13, 18));
  }
  SkinSlider* gain = WidgetFactory::Slider(col, Q(n.gainBar), Qt::Vertical, 180, QRect(23, 123, 22, 95));
  gain->setThumbPictures(skin::SliderThumb(Qt::Vertical, true), skin::SliderThumb(Qt::Vertical, false));
  SetHint(gain, QStringLiteral("0"));
}

void PageBuilder::BuildParamArea(QWidget* page, const std::vector<int>& channels, const QRect& area) {
  // Rows grouped by (column, row) in table order.
  std::map<int, std::map<int, std::vector<const ParamEntry*>>> columns;
  for (const ParamEntry& p : Catalogue()) {
    if (p.column < 0) continue;
    for (int c : channels) {
      if (p.channel == c) columns[p.column][p.row].push_back(&p);
    }
  }
  if (columns.empty()) return;
  const int count = static_cast<int>(columns.size());
  const int gap = 10;
  const int width = (area.width() - gap * (count - 1)) / count;
  int index = 0;
  for (const auto& [column, rows] : columns) {
    const QRect colRect(area.x() + index * (width + gap), area.y(), width, area.height());
    QFrame* group =
        WidgetFactory::Panel(page, QStringLiteral("ParamGroup%1").arg(index + 1), "group", colRect);
    for (const auto& [row, entries] : rows) {
      BuildRow(group, entries, QRect(6, 8 + row * kRowPitch, width - 12, kRowPitch));
    }
    ++index;
  }
}

void PageBuilder::BuildRow(QWidget* parent, const std::vector<const ParamEntry*>& rowEntries, const QRect& r) {
  // A sign button stands in front of its level slider: built first, Tab
  // reaches it first, as it is read.
  std::vector<const ParamEntry*> entries = rowEntries;
  std::stable_partition(entries.begin(), entries.end(),
                        [](const ParamEntry* p) { return p->kind == ParamKind::Sign; });
  std::string caption;
  for (const ParamEntry* p : entries) {
    if (!p->caption.empty()) caption = p->caption;
  }
  if (!caption.empty()) {
    WidgetFactory::Label(parent, QString(), CatalogueText(caption),
                         QRect(r.x(), r.y(), kCaptionWidth, r.height()), Qt::AlignRight | Qt::AlignVCenter);
  }
  const int x0 = r.x() + kCaptionWidth + 4;
  const int y = r.y();
  int buttonX = caption.empty() ? r.x() + 24 : x0;
  for (const ParamEntry* p : entries) {
    switch (p->kind) {
      case ParamKind::Sign: {
        PictureButton* sign = WidgetFactory::Button(parent, Q(p->primary), skin::ButtonStyle::Sign,
                                                    QStringLiteral("+"), QRect(x0, y + 3, 15, 15));
        SetHint(sign, QStringLiteral("0"));
        break;
      }
      case ParamKind::Slider: {
        const int stepperWidth = 30;
        const int unitWidth = 30;
        const int paneWidth = 60;
        const int sliderX = x0 + 20;
        // The release pane is preceded by "Atk x": the release is a multiple of the attack.
        const int prefixWidth = p->role == 16 ? 34 : 0;
        const int sliderWidth =
            r.right() - sliderX - (4 + paneWidth) - (2 + unitWidth) - stepperWidth - prefixWidth;
        WidgetFactory::Slider(parent, Q(p->primary), Qt::Horizontal, p->max,
                              QRect(sliderX, y + 2, sliderWidth, 18));
        const int paneX = sliderX + sliderWidth + 4 + prefixWidth;
        if (prefixWidth > 0) {
          WidgetFactory::Label(parent, QString(), QStringLiteral("Atk x"),
                               QRect(paneX - prefixWidth, y, prefixWidth - 2, r.height()),
                               Qt::AlignRight | Qt::AlignVCenter, "unit", 10);
        }
        WidgetFactory::Pane(parent, Q(p->companion), p->role, QRect(paneX, y + 2, paneWidth, 18));
        if (!p->unit.empty()) {
          WidgetFactory::Label(parent, QString(), Q(p->unit),
                               QRect(paneX + paneWidth + 3, y, unitWidth, r.height()),
                               Qt::AlignLeft | Qt::AlignVCenter, "unit", 11);
        }
        if (!p->stepper.empty()) {
          WidgetFactory::Spin(parent, Q(p->stepper), Qt::Horizontal,
                              QRect(r.right() - stepperWidth + 1, y + 3, stepperWidth, 16));
        }
        break;
      }
      case ParamKind::Choice: {
        QStringList items;
        for (const std::string& item : p->items) items << CatalogueText(item);
        WidgetFactory::Choice(parent, Q(p->primary), items, QRect(x0 + 20, y + 1, 170, 20));
        break;
      }
      case ParamKind::Radio:
        BuildRadioMembers(parent, *p, x0 + 20, y, 64);
        break;
      case ParamKind::TwoState: {
        PictureButton* button =
            WidgetFactory::Button(parent, Q(p->primary), skin::ButtonStyle::Toggle,
                                  CatalogueText(p->items.front()), QRect(buttonX, y + 1, 96, 20));
        SetHint(button, QStringLiteral("0"));
        button->setPicture(PictureButton::Normal, button->picture(PictureButton::Disabled));
        buttonX += 104;
        break;
      }
      case ParamKind::Pair:
        break;
    }
  }
}

void PageBuilder::BuildRadioMembers(QWidget* parent, const ParamEntry& entry, int x, int y, int memberWidth) {
  const int address = MakeAddress(entry.channel, entry.slot);
  for (size_t i = 0; i < entry.members.size(); ++i) {
    const int mx = x + static_cast<int>(i) * memberWidth;
    PictureButton* member = WidgetFactory::Button(parent, Q(entry.members[i]), skin::ButtonStyle::Radio,
                                                  QString(), QRect(mx, y + 4, 13, 13));
    SetTag(member, address);  // the layout's tag; the registry rewrites bound members
    SetHint(member, QString::number(i));
    if (i == 0) member->setPicture(PictureButton::Normal, member->picture(PictureButton::Pressed));
    WidgetFactory::Label(parent, QString(), CatalogueText(entry.items[i]),
                         QRect(mx + 16, y, memberWidth - 18, kRowPitch), Qt::AlignLeft | Qt::AlignVCenter,
                         "caption", 12)
        ->setBuddy(member);
  }
}

void PageBuilder::BuildPlainSliderRow(QWidget* parent, const ParamEntry& entry, const QRect& r,
                                      int captionWidth) {
  WidgetFactory::Label(parent, QString(), CatalogueText(entry.caption),
                       QRect(r.x(), r.y(), captionWidth, r.height()), Qt::AlignRight | Qt::AlignVCenter);
  const int paneWidth = 44;
  const int sliderX = r.x() + captionWidth + 6;
  const int sliderWidth = r.right() - sliderX - paneWidth - 6;
  SkinSlider* slider = WidgetFactory::Slider(parent, Q(entry.primary), Qt::Horizontal, entry.max,
                                             QRect(sliderX, r.y() + 2, sliderWidth, 18));
  slider->setThumbPictures(skin::SliderThumb(Qt::Horizontal, true), skin::SliderThumb(Qt::Horizontal, false));
  SetHint(slider, Q(entry.hint));
  WidgetFactory::Pane(parent, Q(entry.companion), 0, QRect(r.right() - paneWidth, r.y() + 2, paneWidth, 18));
}

void PageBuilder::BuildVolumeGroup(QWidget* strip, int x) {
  int left = x;
  for (const ParamEntry& p : Catalogue()) {
    if (p.channel != 9 || p.slot < 32) continue;
    WidgetFactory::Label(strip, QString(), CatalogueText(p.caption), QRect(left - 4, 0, 34, 26),
                         Qt::AlignRight | Qt::AlignVCenter, "dark", 12);
    SkinSlider* slider =
        WidgetFactory::Slider(strip, Q(p.primary), Qt::Horizontal, p.max, QRect(left + 34, 4, 140, 18));
    slider->setThumbPictures(skin::SliderThumb(Qt::Horizontal, true),
                             skin::SliderThumb(Qt::Horizontal, false));
    SetHint(slider, Q(p.hint));
    ValuePane* pane = WidgetFactory::Pane(strip, Q(p.companion), 0, QRect(left + 178, 4, 32, 18));
    pane->setProperty("skin", QStringLiteral("strip"));
    left += 222;
  }
}

QFrame* PageBuilder::BuildSystemPage(QWidget* parent) {
  QFrame* page = WidgetFactory::Panel(parent, QStringLiteral("FormPage8"), "page", QRect());
  auto entryOf = [](int slot) -> const ParamEntry& {
    for (const ParamEntry& p : Catalogue()) {
      if (p.channel == 9 && p.slot == slot) return p;
    }
    return Catalogue().front();
  };
  auto group = [page](const char* name, const QString& title, const QRect& rect) {
    QFrame* g = WidgetFactory::Panel(page, QString::fromLatin1(name), "system", rect);
    if (!title.isEmpty()) {
      WidgetFactory::Label(g, QString(), title, QRect(10, 4, rect.width() - 20, 20),
                           Qt::AlignLeft | Qt::AlignVCenter, "groupTitle", 13);
    }
    return g;
  };
  auto caption = [](QWidget* parent, const QString& text, const QRect& rect) {
    return WidgetFactory::Label(parent, QString(), text, rect, Qt::AlignRight | Qt::AlignVCenter);
  };
  auto command = [](QWidget* parent, const char* name, const QString& text, const QRect& rect) {
    return WidgetFactory::Button(parent, QString::fromLatin1(name), skin::ButtonStyle::Command, text, rect);
  };

  // Column 1: volume limits, user rights and the system password change.
  QFrame* volumes = group("SysVolumeGrop", tr("音量管理"), QRect(12, 14, 360, 186));
  // The captions reach into the group's margin: room for longer translations.
  for (int i = 0; i < 6; ++i)
    BuildPlainSliderRow(volumes, entryOf(6 + i), QRect(2, 28 + i * 25, 350, 22), 110);

  QFrame* users = group("SysUserGrop", tr("系统用户设置"), QRect(12, 210, 360, 104));
  QLineEdit* password =
      WidgetFactory::PasswordEdit(users, QStringLiteral("SysPassEdit"), 6, true, QRect(110, 31, 120, 20));
  caption(users, tr("系统密码："), QRect(4, 30, 100, 22))->setBuddy(password);
  command(users, "SysPassOkBtn", tr("确定"), QRect(240, 30, 60, 22));
  QFrame* rights =
      WidgetFactory::Panel(users, QStringLiteral("SysUserMangerGrop"), "group", QRect(110, 60, 200, 32));
  BuildRadioMembers(rights, entryOf(12), 10, 5, 90);
  rights->setEnabled(false);

  QFrame* sysPass = group("SysPassChangeGrop", tr("系统密码修改"), QRect(12, 324, 360, 110));
  const char* sysPassNames[] = {"SysPanelLabel1", "NewSysPassLabel1", "NewSysPassLabel2"};
  const char* passCaptions[] = {QT_TR_NOOP("旧密码："), QT_TR_NOOP("新密码输入："),
                                QT_TR_NOOP("新密码确定：")};
  for (int i = 0; i < 3; ++i) {
    QLineEdit* edit = WidgetFactory::PasswordEdit(sysPass, QString::fromLatin1(sysPassNames[i]), 6, true,
                                                  QRect(110, 29 + i * 26, 120, 20));
    caption(sysPass, tr(passCaptions[i]), QRect(8, 28 + i * 26, 96, 22))->setBuddy(edit);
    edit->setEnabled(i == 0);
  }

  // Column 2: keyboard lock, its password, the music input and the device code.
  QFrame* lock = group("SysPanelLockGrop", tr("自动键盘锁"), QRect(384, 14, 360, 60));
  BuildRadioMembers(lock, entryOf(13), 110, 30, 90);

  QFrame* lockPass = group("SysLockPassGrop", tr("自动键盘锁密码修改"), QRect(384, 84, 360, 116));
  const char* lockNames[] = {"PassPanelLabel1", "NewPassLabel1", "NewPassLabel2"};
  for (int i = 0; i < 3; ++i) {
    QLineEdit* edit = WidgetFactory::PasswordEdit(lockPass, QString::fromLatin1(lockNames[i]), 4, i != 0,
                                                  QRect(110, 29 + i * 26, 120, 20));
    caption(lockPass, tr(passCaptions[i]), QRect(8, 28 + i * 26, 96, 22))->setBuddy(edit);
    edit->setEnabled(i == 0);
  }

  QFrame* input = group("SysInputGrop", QString(), QRect(384, 210, 360, 104));
  QFrame* gain = WidgetFactory::Panel(input, QStringLiteral("SignRzGroup"), "none", QRect(4, 12, 350, 30));
  QStringList gains;
  for (const std::string& item : entryOf(3).items) gains << CatalogueText(item);
  QComboBox* gainBox =
      WidgetFactory::Choice(gain, QStringLiteral("SysMusInputLevelBox"), gains, QRect(120, 5, 100, 20));
  caption(gain, CatalogueText(entryOf(3).caption), QRect(4, 4, 110, 22))->setBuddy(gainBox);
  gain->setEnabled(false);
  // The hidden radio that carries the music input gain's address.
  for (int i = 0; i < 3; ++i) {
    PictureButton* member =
        WidgetFactory::Button(gain, QString::fromStdString(entryOf(3).members[i]), skin::ButtonStyle::Radio,
                              QString(), QRect(240 + 16 * i, 8, 13, 13));
    SetTag(member, 0x903);
    SetHint(member, QString::number(i));
    member->hide();
  }
  caption(input, CatalogueText(entryOf(14).caption), QRect(8, 52, 110, 22));
  BuildRadioMembers(input, entryOf(14), 124, 52, 60);

  QFrame* device = group("SysDeviceGrop", QString(), QRect(384, 324, 360, 48));
  ValuePane* id = WidgetFactory::Pane(device, QStringLiteral("DeviceIDLabel"), 0, QRect(110, 13, 120, 20));
  id->setText(QString());
  caption(device, tr("设备管理码："), QRect(8, 12, 96, 22))->setBuddy(id);

  // Column 3: presets on the computer and the processor's modes.
  QFrame* backup = group("SysBackupGrop", tr("电脑数据备份管理"), QRect(756, 14, 368, 290));
  auto* grid = new QTableWidget(0, 2, backup);
  grid->setObjectName(QStringLiteral("PresetGrid"));
  grid->setFont(skin::UiFont(12));
  grid->setHorizontalHeaderLabels({tr("      序号"), tr("        （电脑）数据名称")});
  grid->horizontalHeader()->setFont(skin::UiFont(12, true));
  grid->verticalHeader()->hide();
  grid->setColumnWidth(0, 70);
  grid->horizontalHeader()->setStretchLastSection(true);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->setGeometry(10, 28, 348, 182);
  QLineEdit* file = WidgetFactory::Edit(backup, QStringLiteral("FileEdit"), QString(), QRect(116, 219, 242, 20));
  file->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  caption(backup, tr("备份文件名称："), QRect(8, 218, 104, 22))->setBuddy(file);
  command(backup, "SavePresetBtn", tr("保存数据到电脑"), QRect(40, 252, 130, 26));
  command(backup, "LoadPresetBtn", tr("上传数据到设备"), QRect(196, 252, 130, 26));

  QFrame* modes = group("SysModeGrop", tr("设备模式管理"), QRect(756, 314, 368, 150));
  QStringList placeholders;
  for (int n = 1; n <= 16; ++n) placeholders << QStringLiteral("%1-").arg(n);
  QComboBox* modeBox = WidgetFactory::Choice(modes, QStringLiteral("SysModeBox"), placeholders, QRect(92, 31, 150, 20));
  caption(modes, CatalogueText(entryOf(2).caption), QRect(8, 30, 80, 22))->setBuddy(modeBox);
  WidgetFactory::Label(modes, QStringLiteral("CurrentModeLabel"), tr("（当前模式：1 ）"),
                       QRect(248, 30, 112, 22));
  QLineEdit* name =
      WidgetFactory::Edit(modes, QStringLiteral("PresetModeEdit"), QString(), QRect(92, 61, 150, 20));
  caption(modes, tr("模式名称："), QRect(8, 60, 80, 22))->setBuddy(name);
  name->setMaxLength(20);
  name->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  command(modes, "RecallModeBtn", tr("调用设备模式"), QRect(40, 104, 130, 26));
  command(modes, "RzBmpButton138", tr("保存设备模式"), QRect(196, 104, 130, 26))->setEnabled(false);
  return page;
}

}  // namespace dsp
