// Builds one skin case into a real framework window and drives it as a user would: mouse moves,
// clicks, the wheel, hover, Tab, arrows and other keys, characters, resizing and painting, and
// destroys it in one of the ways a window goes.
#pragma once
#include <random>
#include <string>

#include "acting.h"
#include "markup_maker.h"

namespace skin_fuzz {

class SkinDriver {
 public:
  // `folder`: the skin folder (Windows path), where a case of the file road is written.
  explicit SkinDriver(const std::wstring& folder);
  // False when the framework refused the skin (no window was made). `acting`, when given, joins the
  // window's receivers; it outlives the window.
  bool Run(const SkinCase& skin, std::mt19937& rng, ActingReceivers* acting);

 private:
  std::wstring m_caseFile;
};

// Forgets the resources a layout may put in the process-wide shared block, as a program that
// loads another skin would: the next case starts from the same state.
void ForgetSharedResources();

}  // namespace skin_fuzz
