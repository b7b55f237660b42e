#pragma once
// The device link on the in-memory processor, with the three link timers
// as plain ticks: the common ground of the link manager's tests.

#include <string>
#include <vector>

#include "link/device_link.h"
#include "emulator/emulated_port.h"
#include "emulator/emulator.h"
#include "recording_view.h"
#include "store/param_store.h"

namespace dsp::test {

struct LinkRig {
  ParamStore store;
  ProcessorEmulator emulator;
  EmulatedPort port;
  RecordingView view{&store};
  DeviceLink link{store, port, view};

  // `ports` is the scan's list; the emulator answers on `emulatorPort`, the
  // `silentPorts` open but never answer.
  explicit LinkRig(std::vector<std::string> ports, std::vector<std::string> silentPorts = {},
                   std::string emulatorPort = "EMU")
      : port(emulator, std::move(emulatorPort), std::move(silentPorts)) {
    link.SetPortList(std::move(ports));
  }
  // One tick of the scan (Timer1), the transfer (Timer2) or the pacing
  // (HoldTimer), with the emulator's answers delivered after it.
  void Scan() {
    link.Timer1Timer();
    port.Pump();
  }
  void Step() {
    link.Timer2Timer();
    port.Pump();
  }
  void Hold() {
    link.HoldTimerTimer();
    port.Pump();
  }
};

}  // namespace dsp::test
