#include "engine/byte_transport.h"

#include <sys/socket.h>

void LPlainTransport::ShutdownSend(LThread* /*thread*/) { ::shutdown(fd_, SHUT_WR); }
