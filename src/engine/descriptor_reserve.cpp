#include "engine/descriptor_reserve.h"

#include <fcntl.h>

LDescriptorReserve::LDescriptorReserve() { (void)Restore(); }

bool LDescriptorReserve::Restore() {
  if (!fd_.IsValid()) fd_.Reset(::open("/dev/null", O_RDONLY | O_CLOEXEC));
  return fd_.IsValid();
}
