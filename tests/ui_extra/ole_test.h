// Tests of hosted OLE objects: OLE started for each test and the extras registered.
#pragma once
#include <gtest/gtest.h>
#include <ole2.h>

#include "demo_window.h"
#include "ui/extra/activex/activex.h"
#include "ui/extra/extra_controls.h"

class OleTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    SkinUI::RegisterExtraControls();
    SkinUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
  }
  void TearDown() override { OleUninitialize(); }

  // The hosted object's interface `T`, with a reference the caller releases; null without one.
  template <class T>
  static T* Object(SkinUI::CActiveXUI* control, REFIID iid) {
    T* object = nullptr;
    control->GetControl(iid, reinterpret_cast<void**>(&object));
    return object;
  }
};
