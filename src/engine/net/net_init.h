// Process-wide set-up of the network layer: libcurl's global state (sockets, TLS). Made at the
// first transfer, not at start-up: a run that never goes to the network never loads what it
// needs. NetGlobalCleanup once at exit after the last transfer.
#pragma once

// True when the set-up succeeded; it is made once, whoever asks first.
bool NetGlobalInit();
void NetGlobalCleanup();
