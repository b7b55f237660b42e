#pragma once
// The whole application linked to the processor emulator through the
// in-process port. The test ticks the link's timers itself; the emulator's
// log tells what reached the processor.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <vector>

#include "editing/edit_pipeline.h"
#include "editing/page_switcher.h"
#include "editing/store_refresh.h"
#include "graph/band_point.h"
#include "link/device_link.h"
#include "emulator/emulated_port.h"
#include "emulator/emulator.h"
#include "link/qt_link_timers.h"
#include "mainwindow/application.h"
#include "mainwindow/main_window.h"
#include "mainwindow/window_link_view.h"
#include "panels/control_registry.h"
#include "panels/picture_button.h"
#include "ui_fixture.h"

namespace dsp {

// One EQ band as a block frame carries it: block address, band, five fields.
struct BandFrame {
  int block = 0;
  int band = 0;
  std::array<int, 5> fields{};
};

class LinkedApp : public testing::Test {
 protected:
  void TearDown() override { app.reset(); }

  // Starts the application and runs the connection and download to the end.
  void Connect() {
    auto port = std::make_unique<EmulatedPort>(emulator, "EMU");
    port_ = port.get();
    // Presets go to a folder of the test's own, never beside the test binary.
    app = std::make_unique<Application>(std::move(port),
                                        AppOptions{QStringList{QStringLiteral("EMU")}, presetDir.path()});
    app->LinkTimers().DriveByHand();
    app->View().SetMessageSink([this](const QString&, const QString& text) { messages << text; });
    app->Start();
    QApplication::processEvents();
    RunLink();
    ASSERT_EQ(app->Link().LinkState, 2);
    ASSERT_TRUE(messages.isEmpty());
  }

  // Ticks the scan and transfer timers while they run (a connection, a
  // reload or an upload) until the link is idle again.
  void RunLink() {
    DeviceLink& link = app->Link();
    auto idle = [&] {
      return link.LinkState == 2 && !app->ScanTimer().isActive() && !app->TransferTimer().isActive();
    };
    for (int i = 0; i < 2000 && !idle(); ++i) {
      if (app->ScanTimer().isActive()) link.Timer1Timer();
      port_->Pump();
      if (app->TransferTimer().isActive()) link.Timer2Timer();
      port_->Pump();
    }
  }

  // Lets the write pacing send everything queued, acknowledgement by
  // acknowledgement.
  void Flush() {
    DeviceLink& link = app->Link();
    for (int i = 0; i < 400; ++i) {
      port_->Pump();
      if (link.valueQueue().count == 0 && link.eqQueue().count == 0 && link.TxReady == 1) return;
      link.HoldTimerTimer();
    }
    FAIL() << "the write queues did not drain";
  }

  // The EQ band frames the emulator received since `from` (an index into its log).
  std::vector<BandFrame> BandFrames(std::size_t from = 0) const {
    std::vector<BandFrame> frames;
    for (std::size_t i = from; i < emulator.frameLog.size(); ++i) {
      const std::string& hex = emulator.frameLog[i];
      if (hex.rfind("FC B1 10 A7 ", 0) != 0) continue;
      std::vector<int> bytes;
      for (std::size_t p = 0; p + 1 < hex.size(); p += 3)
        bytes.push_back(std::stoi(hex.substr(p, 2), nullptr, 16));
      if (bytes.size() < 19) continue;
      BandFrame f;
      f.block = bytes[4] * 256 + bytes[5];
      f.band = bytes[6] + 256 * bytes[7];
      for (int k = 0; k < 5; ++k) f.fields[k] = bytes[8 + 2 * k] + 256 * bytes[9 + 2 * k];
      frames.push_back(f);
    }
    return frames;
  }

  // The emulator's value of a panel address in its current scene.
  int Emulated(int address) const {
    const int channel = ChannelOf(address);
    return emulator.image[channel][DeviceIndex(channel, SlotOf(address), emulator.Scene())];
  }
  void SetEmulated(int address, int value) {
    const int channel = ChannelOf(address);
    emulator.image[channel][DeviceIndex(channel, SlotOf(address), emulator.Scene())] = value;
  }

  template <typename T = QWidget>
  T* W(const char* name) const {
    return app->Window().findChild<T*>(QString::fromLatin1(name));
  }
  template <typename T = QWidget>
  T* W(const std::string& name) const {
    return W<T>(name.c_str());
  }

  // The page tab click of page 0..7.
  void ShowPage(int page) {
    app->Window().Pages().FormTabBtn1Click(app->Window().Registry().PageTabs()[page]);
    QApplication::processEvents();
  }
  // Manual (true) or automatic operation, as the buttons choose it.
  void SetMode(bool manual) {
    W<PictureButton>(manual ? "ManulModeBtn" : "AutoModeBtn")->click();
    Flush();
  }
  BandPoint* Point(const char* name) { return W<BandPoint>(name); }
  QPoint Centre(BandPoint* p) { return p->pos() + QPoint(p->width() / 2, p->height() / 2); }

  // Presses `button` on the point's centre and moves the mouse by `by`, in
  // `steps` moves; positions are those of the graph area, so they stay
  // right while the point follows the mouse.
  void Drag(BandPoint* p, QPoint by, int steps = 8, Qt::MouseButton button = Qt::LeftButton) {
    const QPoint start = Centre(p);
    QTest::mousePress(p, button, {}, start - p->pos());
    for (int i = 1; i <= steps; ++i) QTest::mouseMove(p, start + by * i / steps - p->pos());
    QTest::mouseRelease(p, button, {}, start + by - p->pos());
    Flush();
  }
  ParamStore& Store() { return app->Store(); }
  EditPipeline& Pipeline() { return app->Window().Pipeline(); }

  QTemporaryDir presetDir;
  ProcessorEmulator emulator;
  std::unique_ptr<Application> app;
  QStringList messages;
  EmulatedPort* port_ = nullptr;  // the application's port, for a fixture that makes its own
};

}  // namespace dsp
