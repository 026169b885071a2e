#include <winsock2.h>
#include <ws2tcpip.h>

#include "ui/extra/editors/local_address.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace SkinUI {

namespace {

// One WSAStartup and, when it succeeded, its WSACleanup.
class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data;
    m_started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~WinsockSession() {
    if (m_started) ::WSACleanup();
  }
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;
  bool started() const { return m_started; }

 private:
  bool m_started;
};

}  // namespace

struct CLocalAddressLookup::State {
  Resolver resolve;
  std::mutex lock;
  std::condition_variable known;
  bool started = false;
  bool done = false;
  DWORD address = 0;
};

CLocalAddressLookup::CLocalAddressLookup(Resolver resolve) : m_state(std::make_shared<State>()) {
  m_state->resolve = resolve;
}

DWORD CLocalAddressLookup::Wait(DWORD waitMs) {
  std::unique_lock<std::mutex> hold(m_state->lock);
  if (!m_state->started) {
    m_state->started = true;
    // The thread keeps the state alive: it may outlast this object while the name service is silent.
    std::thread([state = m_state]() {
      const DWORD address = state->resolve();
      std::lock_guard<std::mutex> done(state->lock);
      state->address = address;
      state->done = true;
      state->known.notify_all();
    }).detach();
  }
  m_state->known.wait_for(hold, std::chrono::milliseconds(waitMs), [this]() { return m_state->done; });
  return m_state->done ? m_state->address : 0;
}

DWORD ResolveLocalAddress() {
  WinsockSession session;
  if (!session.started()) return 0;
  char host[256] = {};
  if (::gethostname(host, sizeof(host) - 1) != 0) return 0;
  addrinfo hints = {};
  hints.ai_family = AF_INET;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr) return 0;
  const DWORD address = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
  ::freeaddrinfo(found);
  return address;
}

CLocalAddressLookup& LocalAddressLookup() {
  static CLocalAddressLookup lookup(&ResolveLocalAddress);
  return lookup;
}

}  // namespace SkinUI
