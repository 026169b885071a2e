#include "acting.h"

#include <cstdio>
#include <cwchar>

#include "ui/core/paint/control/container.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/extra/list/list_interfaces.h"
#include "ui/extra/tree/tree_view.h"

namespace skin_fuzz {

namespace {

using SkinUI::CControlUI;
using SkinUI::CUIString;

SkinUI::CControlUI* CALLBACK Collect(CControlUI* control, LPVOID data) {
  static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
  return nullptr;
}

std::mt19937 Generator(std::initializer_list<unsigned> parts) {
  std::seed_seq seq(parts);
  return std::mt19937(seq);
}

// FNV-1a: the same number for a key in every build.
unsigned KeyNumber(const std::wstring& key) {
  unsigned h = 2166136261u;
  for (wchar_t c : key) h = (h ^ static_cast<unsigned>(c)) * 16777619u;
  return h;
}

const int kActPercents[] = {3, 10, 30};
const int kHookPercents[] = {0, 10, 30};
const int kMaxDepth = 3;
bool g_printActs = false;

const char* const kActNames[] = {"remove the sender", "remove the sender", "remove the sender", "remove the named item",
                                 "remove all items",  "hide the sender",   "hide the sender",   "disable the sender",
                                 "move the focus",    "move the focus"};

}  // namespace

std::vector<CControlUI*> AllControls(CControlUI* root) {
  std::vector<CControlUI*> controls;
  if (root != nullptr) root->FindControl(Collect, &controls, SkinUI::UIFIND_ALL);
  return controls;
}

ActingReceivers::ActingReceivers(unsigned seed, unsigned long long index)
    : m_seed(seed),
      m_index(index),
      m_rng(Generator({seed, static_cast<unsigned>(index), static_cast<unsigned>(index >> 32), 2})) {
  m_rng();  // the draw of Chosen
  m_percent = kActPercents[m_rng() % std::size(kActPercents)];
}

ActingReceivers::~ActingReceivers() { Detach(); }

bool ActingReceivers::Chosen(unsigned seed, unsigned long long index) {
  return Generator({seed, static_cast<unsigned>(index), static_cast<unsigned>(index >> 32), 2})() % 4 != 0;
}

void ActingReceivers::PrintActs(bool print) { g_printActs = print; }

void ActingReceivers::Attach(SkinUI::CPaintManagerUI& pm) {
  m_pm = &pm;
  m_acting = true;
  pm.AddNotifier(this);
  pm.AddNotifier(&m_reader);
  const int hookPercent = kHookPercents[m_rng() % std::size(kHookPercents)];
  // Size delegates are chosen apart, so that the other choices stay those of earlier rows.
  std::mt19937& sizes = Stream(L"size delegates");
  for (CControlUI* control : AllControls(pm.GetRoot())) {
    const bool notify = static_cast<int>(m_rng() % 100) < hookPercent;
    const bool event = static_cast<int>(m_rng() % 100) < hookPercent;
    const bool size = Below(sizes, 100) < hookPercent;
    if (!notify && !event && !size) continue;
    m_hooks.push_back(std::make_unique<Hook>(Hook{this, control}));
    Hook* hook = m_hooks.back().get();
    if (notify) control->OnNotify += SkinUI::MakeDelegate(hook, &Hook::OnNotify);
    if (event) control->OnEvent += SkinUI::MakeDelegate(hook, &Hook::OnEvent);
    if (size) control->OnSize += SkinUI::MakeDelegate(hook, &Hook::OnSize);
  }
}

void ActingReceivers::Detach() {
  m_acting = false;
  if (m_pm == nullptr) return;
  m_pm->RemoveNotifier(this);
  m_pm->RemoveNotifier(&m_reader);
  m_pm = nullptr;
}

void ActingReceivers::Notify(SkinUI::NotifyRecordUI& msg) {
  Act(L"notifier " + std::wstring(msg.sType.GetData()), msg.pSender, msg.sType, msg.wParam, msg.lParam);
}

bool ActingReceivers::Hook::OnNotify(void* param) {
  const SkinUI::NotifyRecordUI* msg = static_cast<SkinUI::NotifyRecordUI*>(param);
  return owner->Act(L"delegate " + std::wstring(msg->sType.GetData()), control, msg->sType, msg->wParam, msg->lParam);
}

bool ActingReceivers::Hook::OnSize(void*) { return owner->Act(L"size", control, CUIString(), 0, 0); }

bool ActingReceivers::Hook::OnEvent(void* param) {
  const SkinUI::EventRecordUI* event = static_cast<SkinUI::EventRecordUI*>(param);
  return owner->Act(L"event " + std::to_wstring(event->Type), control, CUIString(), event->wParam, event->lParam);
}

void ActingReceivers::Reader::Notify(SkinUI::NotifyRecordUI& msg) {
  if (msg.pSender == nullptr) return;
  const wchar_t* kind = msg.pSender->GetClass();
  read += msg.pSender->GetName().GetLength() + (kind != nullptr ? wcslen(kind) : 0);
}

std::mt19937& ActingReceivers::Stream(const std::wstring& key) {
  auto found = m_streams.find(key);
  if (found != m_streams.end()) return found->second;
  return m_streams
      .emplace(key, Generator({m_seed, static_cast<unsigned>(m_index), static_cast<unsigned>(m_index >> 32), 3,
                               KeyNumber(key)}))
      .first->second;
}

bool ActingReceivers::Act(const std::wstring& key, CControlUI* sender, const CUIString& type, WPARAM wParam,
                          LPARAM lParam) {
  if (!m_acting || sender == nullptr || m_depth >= kMaxDepth) return true;
  std::mt19937& rng = Stream(key);
  if (Below(rng, 100) >= m_percent) return true;
  // A delegate's answer: false ends its event source's round (and an event's own handling).
  const bool answer = Below(rng, 4) != 0;
  const int act = Below(rng, 10);
  if (g_printActs) {
    printf("skin_fuzz: act: %ls on %ls \"%ls\": %s\n", key.c_str(), sender->GetClass(), sender->GetName().GetData(),
           kActNames[act]);
  }
  ++m_depth;
  switch (act) {
    case 0:
    case 1:
    case 2:
      RemoveSender(rng, sender);
      break;
    case 3:
      if (!RemoveNamedItem(rng, sender, type, wParam, lParam)) RemoveSender(rng, sender);
      break;
    case 4:
      RemoveAllItems(rng, sender);
      break;
    case 5:
    case 6:
      sender->SetVisible(false);
      break;
    case 7:
      sender->SetEnabled(false);
      break;
    default:
      MoveFocus(rng, sender);
      break;
  }
  --m_depth;
  return answer;
}

SkinUI::IContainerUI* ActingReceivers::Prepare(std::mt19937& rng, CControlUI* container) {
  if (container == nullptr) return nullptr;
  auto* own = static_cast<SkinUI::CContainerUI*>(container->GetInterface(L"Container"));
  if (own != nullptr) own->SetDelayedDestroy(Below(rng, 2) == 0);
  return static_cast<SkinUI::IContainerUI*>(container->GetInterface(L"IContainer"));
}

CControlUI* ActingReceivers::ListOwnerOf(CControlUI* row) {
  auto* item = static_cast<SkinUI::IListItemUI*>(row->GetInterface(L"ListItem"));
  SkinUI::IListOwnerUI* owner = item != nullptr ? item->GetOwner() : nullptr;
  if (owner == nullptr) return nullptr;
  for (CControlUI* up = row->GetParent(); up != nullptr; up = up->GetParent()) {
    if (up->GetInterface(L"IListOwner") == owner) return up;
  }
  return nullptr;
}

void ActingReceivers::RemoveSender(std::mt19937& rng, CControlUI* sender) {
  auto* node = static_cast<SkinUI::CTreeNodeUI*>(sender->GetInterface(L"TreeNode"));
  if (node != nullptr) {
    SkinUI::CTreeNodeUI* parentNode = node->GetParentNode();
    SkinUI::CTreeViewUI* view = node->GetTreeView();
    if (parentNode != nullptr && (view == nullptr || Below(rng, 2) == 0)) {
      Prepare(rng, view != nullptr ? static_cast<CControlUI*>(view) : parentNode);
      parentNode->Remove(node);
      return;
    }
    if (view != nullptr) {
      Prepare(rng, view);
      view->Remove(node);
      return;
    }
  }
  CControlUI* owner = ListOwnerOf(sender);
  SkinUI::IContainerUI* holder = Prepare(rng, owner != nullptr ? owner : sender->GetParent());
  if (holder != nullptr) holder->Remove(sender);
}

bool ActingReceivers::RemoveNamedItem(std::mt19937& rng, CControlUI* sender, const CUIString& type, WPARAM wParam,
                                      LPARAM lParam) {
  // "itemselect" and "tabselect" name an item of their sender (and the one before in lParam);
  // a list row's or a header item's check names its own index among its owner's.
  const bool ofSender = type == L"itemselect" || type == L"tabselect";
  if (!ofSender && type != L"listitemchecked" && type != L"listheaditemchecked") return false;
  CControlUI* holder = ofSender ? sender : ListOwnerOf(sender);
  if (holder == nullptr) holder = sender->GetParent();
  const int index = static_cast<int>(ofSender && Below(rng, 4) == 0 ? lParam : static_cast<LPARAM>(wParam));
  SkinUI::IContainerUI* items = Prepare(rng, holder);
  if (items == nullptr) return false;
  items->RemoveAt(index);
  return true;
}

void ActingReceivers::RemoveAllItems(std::mt19937& rng, CControlUI* sender) {
  CControlUI* owner = ListOwnerOf(sender);
  CControlUI* target = owner != nullptr && Below(rng, 2) == 0 ? owner : sender;
  if (target->GetInterface(L"IContainer") == nullptr) target = owner != nullptr ? owner : sender->GetParent();
  SkinUI::IContainerUI* items = Prepare(rng, target);
  if (items != nullptr) items->RemoveAll();
}

void ActingReceivers::MoveFocus(std::mt19937& rng, CControlUI* sender) {
  std::vector<CControlUI*> controls = AllControls(m_pm->GetRoot());
  CControlUI* target = controls.empty() ? sender : controls[Below(rng, static_cast<int>(controls.size()))];
  switch (Below(rng, 4)) {
    case 0:
      m_pm->SetFocus(nullptr);
      break;
    case 1:
      target->SetFocus();
      break;
    case 2:
      m_pm->SetFocus(target);
      break;
    default:
      m_pm->SetFocusNeeded(target);
      break;
  }
}

}  // namespace skin_fuzz
