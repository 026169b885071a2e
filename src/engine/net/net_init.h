// Process-wide set-up of the network layer: libcurl's global state (sockets, TLS).
// Call NetGlobalInit once at start-up before any other thread runs, and
// NetGlobalCleanup once at exit after the last transfer.
#pragma once

bool NetGlobalInit();
void NetGlobalCleanup();
