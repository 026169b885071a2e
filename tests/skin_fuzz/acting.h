// Receivers that change the window's tree from inside a notification, as a program's own handlers
// do: a notifier of the window and delegates on some controls' OnNotify, OnEvent and OnSize (called
// as a layout places the control) remove the sender (through its list, tree, tab layout or parent),
// the item the notification names or all of the sender's items, hide or disable the sender or
// move the focus, with the container's delayed destroy on or off. A notifier after them reads the
// sender the record still names. Every choice comes from the case's seed, one generator per
// notification or event type, so that the timers' notifications, which come as time allows, leave
// the other types' choices as they were.
#pragma once
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ui/core/paint/control/control.h"

namespace SkinUI {
class CPaintManagerUI;
class IContainerUI;
}  // namespace SkinUI

namespace skin_fuzz {

// Every control of the tree under `root`, scroll bars and the parts of composite controls too.
std::vector<SkinUI::CControlUI*> AllControls(SkinUI::CControlUI* root);

class ActingReceivers : public SkinUI::INotifyUI {
 public:
  ActingReceivers(unsigned seed, unsigned long long index);
  ~ActingReceivers() override;
  ActingReceivers(const ActingReceivers&) = delete;
  ActingReceivers& operator=(const ActingReceivers&) = delete;

  // Whether case `index` of `seed` acts at all: most random cases do.
  static bool Chosen(unsigned seed, unsigned long long index);
  // Each act is printed before it runs (with the option --log), to tell where a case failed.
  static void PrintActs(bool print);

  // Joins the window's manager once its tree is built, before its first paint.
  void Attach(SkinUI::CPaintManagerUI& pm);
  // The window is going: its manager lets the receivers go, its controls' delegates stop acting.
  void Detach();

  void Notify(SkinUI::NotifyRecordUI& msg) override;

 private:
  // A control's own delegates.
  struct Hook {
    ActingReceivers* owner;
    SkinUI::CControlUI* control;
    bool OnNotify(void* param);
    bool OnEvent(void* param);
    bool OnSize(void* param);
  };
  // The later receiver: names the sender the record still holds.
  struct Reader : SkinUI::INotifyUI {
    void Notify(SkinUI::NotifyRecordUI& msg) override;
    size_t read = 0;
  };

  std::mt19937& Stream(const std::wstring& key);
  int Below(std::mt19937& rng, int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }
  // Acts on `sender` (alive) at the chance of this case; false when the sender was removed.
  bool Act(const std::wstring& key, SkinUI::CControlUI* sender, const SkinUI::CUIString& type, WPARAM wParam,
           LPARAM lParam);
  void RemoveSender(std::mt19937& rng, SkinUI::CControlUI* sender);
  bool RemoveNamedItem(std::mt19937& rng, SkinUI::CControlUI* sender, const SkinUI::CUIString& type, WPARAM wParam,
                       LPARAM lParam);
  void RemoveAllItems(std::mt19937& rng, SkinUI::CControlUI* sender);
  void MoveFocus(std::mt19937& rng, SkinUI::CControlUI* sender);
  // Sets the container's delayed destroy on or off (chosen) and answers its list interface.
  SkinUI::IContainerUI* Prepare(std::mt19937& rng, SkinUI::CControlUI* container);
  // The control whose rows include `row` (a list, combo, tree view, menu), or null.
  static SkinUI::CControlUI* ListOwnerOf(SkinUI::CControlUI* row);

  unsigned m_seed;
  unsigned long long m_index;
  std::mt19937 m_rng;  // the case's own choices: the chance to act, which controls get delegates
  int m_percent = 0;   // chance that a notification or event is acted on
  int m_depth = 0;     // acts running inside one another
  bool m_acting = false;
  SkinUI::CPaintManagerUI* m_pm = nullptr;
  std::map<std::wstring, std::mt19937> m_streams;
  std::vector<std::unique_ptr<Hook>> m_hooks;
  Reader m_reader;
};

}  // namespace skin_fuzz
