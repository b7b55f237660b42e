#include "editing/param_writer.h"

#include "link/device_link.h"
#include "store/param_store.h"

namespace dsp {

void StoreOnlyWriter::WriteParam(int address, int value) {
  store_.StoreWrite(address, value);
}

void StoreOnlyWriter::WriteEqBand(int address, int value) {
  store_.StoreWrite(address, value);
}

void LinkWriter::WriteParam(int address, int value) {
  link_.WriteParam(address, value);
}

void LinkWriter::WriteEqBand(int address, int value) {
  link_.WriteEqBand(address, value);
}

int LinkWriter::SuppressSend() const {
  return link_.SuppressSend;
}

void LinkWriter::SetSuppressSend(int value) {
  link_.SuppressSend = value;
}

}  // namespace dsp
