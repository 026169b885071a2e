// The log line of a system DLL or function that cannot be loaded at its first use.
#include <gtest/gtest.h>

#include "app/delay_load_failure.h"

namespace {

DelayLoadInfo Failure(const char* dll, DWORD error) {
  DelayLoadInfo info{};
  info.cb = sizeof info;
  info.szDll = dll;
  info.dwLastError = error;
  return info;
}

TEST(DelayLoadFailure, NamesTheDllThatDidNotLoad) {
  EXPECT_EQ(DelayLoadFailureText(dliFailLoadLib, Failure("WS2_32.dll", ERROR_MOD_NOT_FOUND)),
            "LoadLibrary WS2_32.dll failed, err 126");
}

TEST(DelayLoadFailure, NamesTheMissingFunctionByNameOrOrdinal) {
  DelayLoadInfo info = Failure("CRYPT32.dll", ERROR_PROC_NOT_FOUND);
  info.dlp.fImportByName = TRUE;
  info.dlp.szProcName = "CertOpenStore";
  EXPECT_EQ(DelayLoadFailureText(dliFailGetProc, info), "GetProcAddress CRYPT32.dll CertOpenStore failed, err 127");
  info.dlp.fImportByName = FALSE;
  info.dlp.dwOrdinal = 12;
  EXPECT_EQ(DelayLoadFailureText(dliFailGetProc, info), "GetProcAddress CRYPT32.dll #12 failed, err 127");
}

TEST(DelayLoadFailure, HandsTheFailureBackToTheLoader) {
  DelayLoadInfo info = Failure("bcrypt.dll", ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(DelayLoadFailure(dliFailLoadLib, &info), nullptr);
}

}  // namespace
