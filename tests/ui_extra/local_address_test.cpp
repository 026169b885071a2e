// The IP-address control's local address: looked up off the UI thread, waited for only briefly,
// with every socket start-up cleaned up.
#include <winsock2.h>

#include <gtest/gtest.h>

#include "list_support.h"
#include "ui/extra/editors/ip_address.h"
#include "ui/extra/editors/local_address.h"

using namespace SkinUI;
using skinui_test::ExtraWindow;

namespace {

HANDLE g_entered, g_release;
DWORD g_resolverThread;

// A name service that answers only when the test lets it.
DWORD SilentResolver() {
  g_resolverThread = GetCurrentThreadId();
  SetEvent(g_entered);
  WaitForSingleObject(g_release, INFINITE);
  return 0x0A000001;
}

}  // namespace

TEST(LocalAddress, ASilentNameServiceIsNotWaitedForAndAnswersLater) {
  g_entered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  g_release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  CLocalAddressLookup lookup(&SilentResolver);
  EXPECT_EQ(0u, lookup.Wait(30));
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(g_entered, 10000));
  EXPECT_NE(GetCurrentThreadId(), g_resolverThread) << "the look-up runs on a thread of its own";
  EXPECT_EQ(0u, lookup.Wait(30));
  SetEvent(g_release);
  EXPECT_EQ(0x0A000001u, lookup.Wait(10000));
  CloseHandle(g_entered);
  CloseHandle(g_release);
}

// A control never attached looks nothing up; one in a window shows the host's address, and no
// socket start-up is left open behind it.
TEST(LocalAddress, TheControlShowsTheHostsAddressAndLeavesNoSocketStartUp) {
  CIPAddressUI detached;
  EXPECT_STREQ(L"", detached.GetText().GetData());
  EXPECT_EQ(0u, detached.GetIP());

  const DWORD host = ResolveLocalAddress();
  ExtraWindow w(
      L"<Window size=\"200,60\"><VerticalLayout><IPAddress name=\"ip\" height=\"30\"/></VerticalLayout></Window>");
  auto* ip = w.Get<CIPAddressUI>(L"ip", L"IPAddress");
  ASSERT_NE(nullptr, ip);
  wchar_t dotted[32];
  swprintf(dotted, 32, L"%lu.%lu.%lu.%lu", host >> 24, (host >> 16) & 0xFF, (host >> 8) & 0xFF, host & 0xFF);
  EXPECT_STREQ(dotted, ip->GetText().GetData());
  EXPECT_EQ(host, ip->GetIP());
  EXPECT_EQ(SOCKET_ERROR, WSACleanup());
  EXPECT_EQ(WSANOTINITIALISED, WSAGetLastError());
}
