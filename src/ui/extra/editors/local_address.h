#pragma once
#include <windows.h>

#include <memory>

namespace SkinUI {

// The local host's first IPv4 address (first octet in the top byte), resolved once on a thread of
// its own: a slow or silent name service holds a caller no longer than the wait it asks for.
class CLocalAddressLookup {
 public:
  using Resolver = DWORD (*)();
  explicit CLocalAddressLookup(Resolver resolve);

  // The address once it is known within `waitMs`, else 0. The first call starts the look-up.
  DWORD Wait(DWORD waitMs);

 private:
  struct State;
  std::shared_ptr<State> m_state;
};

// Resolves the host's name through Windows sockets, on the calling thread: 0 on any failure. Its
// socket start-up is always cleaned up.
DWORD ResolveLocalAddress();

// The process's look-up of its local address.
CLocalAddressLookup& LocalAddressLookup();

}  // namespace SkinUI
