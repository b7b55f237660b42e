#pragma once
// The write side of the processor link as the panels see it: every change a
// widget makes goes through WriteParam (one value) or WriteEqBand (one EQ
// band), and SuppressSend turns both into store-only writes while the panels
// are refreshed.

namespace dsp {

class DeviceLink;
class ParamStore;

class ParamWriter {
 public:
  virtual ~ParamWriter() = default;
  virtual void WriteParam(int address, int value) = 0;
  virtual void WriteEqBand(int address, int value) = 0;
  virtual int SuppressSend() const = 0;
  virtual void SetSuppressSend(int value) = 0;
};

// No processor at all: writes only store (the window before a link exists,
// and window tests without a link).
class StoreOnlyWriter : public ParamWriter {
 public:
  explicit StoreOnlyWriter(ParamStore& store) : store_(store) {}
  void WriteParam(int address, int value) override;
  void WriteEqBand(int address, int value) override;
  int SuppressSend() const override { return suppress_; }
  void SetSuppressSend(int value) override { suppress_ = value; }

 private:
  ParamStore& store_;
  int suppress_ = 0;
};

// The device link's pacing: sends at once or queues while linked, stores only
// otherwise.
class LinkWriter : public ParamWriter {
 public:
  explicit LinkWriter(DeviceLink& link) : link_(link) {}
  void WriteParam(int address, int value) override;
  void WriteEqBand(int address, int value) override;
  int SuppressSend() const override;
  void SetSuppressSend(int value) override;

 private:
  DeviceLink& link_;
};

}  // namespace dsp
