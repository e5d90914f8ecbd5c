#include "duilib/dialog_builder.h"

#include <cwchar>

#include "duilib/attr_parse.h"
#include "duilib/button.h"
#include "duilib/container.h"
#include "duilib/control.h"
#include "duilib/edit.h"
#include "duilib/label.h"
#include "duilib/option.h"
#include "duilib/paint_manager.h"
#include "duilib/progress.h"
#include "duilib/richedit.h"
#include "duilib/tab_layout.h"
#include "ui/skin/skin.h"

namespace DuiLib {

namespace {

constexpr int kMaxIncludeDepth = 8;  // Include of an Include ... stops here

// Element names whose attributes go to the paint manager, not to a control.
bool IsResourceElement(const std::wstring& name) {
  return name == L"Font" || name == L"Include" || name == L"Image" || name == L"Default" ||
         name == L"ScrollbarConfig";
}

}  // namespace

CControlUI* CDialogBuilder::CreateBuiltinControl(const std::wstring& n) {
  if (n == L"VerticalLayout") return new CVerticalLayoutUI;
  if (n == L"HorizontalLayout") return new CHorizontalLayoutUI;
  if (n == L"TabLayout") return new CTabLayoutUI;
  if (n == L"Container") return new CContainerUI;
  if (n == L"Control") return new CControlUI;
  if (n == L"Label" || n == L"Text") return new CLabelUI;
  if (n == L"Button") return new CButtonUI;
  if (n == L"Option" || n == L"CheckBox") return new COptionUI;
  if (n == L"Edit") return new CEditUI;
  if (n == L"RichEdit") return new CRichEditUI;
  if (n == L"Progress") return new CProgressUI;
  return nullptr;
}

CControlUI* CDialogBuilder::Create(const std::wstring& skinFile, IDialogBuilderCallback* callback,
                                   CPaintManagerUI* manager, CControlUI* parent) {
  std::vector<unsigned char> bytes = readSkinFile(skinFile);
  if (bytes.empty()) {
    error_ = L"file not found";
    return nullptr;
  }
  return CreateFromMemory(reinterpret_cast<const char*>(bytes.data()), bytes.size(), callback, manager, parent);
}

CControlUI* CDialogBuilder::CreateFromMemory(const char* xml, size_t size, IDialogBuilderCallback* callback,
                                             CPaintManagerUI* manager, CControlUI* parent) {
  error_.clear();
  CXmlReader reader;
  CXmlNode root;
  if (!reader.Parse(xml, size, root)) {
    error_ = reader.GetLastErrorText();
    return nullptr;
  }
  CControlUI* control = BuildDocument(root, callback, manager, parent);
  if (!control && error_.empty()) error_ = L"no control";
  return control;
}

bool CDialogBuilder::ApplyInclude(const std::wstring& source, CPaintManagerUI* manager, int includeDepth) {
  if (includeDepth >= kMaxIncludeDepth) return false;
  std::vector<unsigned char> bytes = readSkinFile(source);
  if (bytes.empty()) return false;
  CXmlReader reader;
  CXmlNode root;
  if (!reader.Parse(reinterpret_cast<const char*>(bytes.data()), bytes.size(), root)) return false;
  // The included file's own root (Window, ScrollbarConfig, ...) holds the definitions.
  if (root.name != L"Window" && IsResourceElement(root.name) && root.name != L"ScrollbarConfig") {
    return ApplyResourceElement(root, manager, includeDepth + 1);
  }
  for (const CXmlNode& child : root.children) {
    if (IsResourceElement(child.name) && !ApplyResourceElement(child, manager, includeDepth + 1)) return false;
  }
  return true;
}

bool CDialogBuilder::ApplyResourceElement(const CXmlNode& node, CPaintManagerUI* manager, int includeDepth) {
  if (!manager) return true;
  const std::wstring empty;
  auto attr = [&](const wchar_t* n) -> const std::wstring& {
    const std::wstring* v = node.Attribute(n);
    return v ? *v : empty;
  };
  if (node.name == L"Font") {
    const std::wstring* id = node.Attribute(L"id");
    int size = attr(L"size").empty() ? 12 : ParseInt(attr(L"size"));
    manager->AddFont(id ? ParseInt(*id) : -1, attr(L"name"), size, ParseBool(attr(L"bold")),
                     ParseBool(attr(L"underline")), ParseBool(attr(L"italic")), ParseBool(attr(L"default")));
  } else if (node.name == L"Include") {
    if (!ApplyInclude(attr(L"source"), manager, includeDepth)) {
      error_ = L"include failed";
      return false;
    }
  } else if (node.name == L"Image") {
    bool hasMask = false;
    DWORD mask = attr(L"mask").empty() ? 0 : ParseColor(attr(L"mask"), &hasMask);
    manager->AddImageDefinition(attr(L"name"), mask, hasMask);
  } else if (node.name == L"Default") {
    manager->AddDefaultAttributeList(attr(L"name"), attr(L"value"));
  } else if (node.name == L"ScrollbarConfig") {
    for (const CXmlNode& child : node.children) {
      if (IsResourceElement(child.name) && !ApplyResourceElement(child, manager, includeDepth)) return false;
    }
  }
  return true;
}

CControlUI* CDialogBuilder::BuildDocument(const CXmlNode& root, IDialogBuilderCallback* callback,
                                          CPaintManagerUI* manager, CControlUI* parent) {
  if (root.name != L"Window") return BuildControls(root, callback, manager, parent);
  for (const auto& [k, v] : root.attributes) {
    if (manager) manager->SetWindowAttribute(k.c_str(), v.c_str());
  }
  for (const CXmlNode& child : root.children) {
    if (IsResourceElement(child.name) && !ApplyResourceElement(child, manager, 0)) return nullptr;
  }
  for (const CXmlNode& child : root.children) {
    if (IsResourceElement(child.name)) continue;
    if (CControlUI* control = BuildControls(child, callback, manager, parent)) return control;
  }
  return nullptr;
}

CControlUI* CDialogBuilder::BuildControls(const CXmlNode& node, IDialogBuilderCallback* callback,
                                          CPaintManagerUI* manager, CControlUI* parent) {
  CControlUI* control = CreateBuiltinControl(node.name);
  if (!control && callback) control = callback->CreateControl(node.name.c_str());
  if (!control) return nullptr;  // unknown element: skipped with its children
  if (manager) {
    // Class defaults first ("Button" for CButtonUI), then the element's own attributes.
    std::wstring cls = control->GetClass();
    if (cls.size() > 2 && cls.compare(cls.size() - 2, 2, L"UI") == 0) cls.resize(cls.size() - 2);
    if (const std::wstring* defaults = manager->GetDefaultAttributeList(cls)) control->ApplyAttributeList(*defaults);
  }
  for (const auto& [k, v] : node.attributes) control->SetAttribute(k.c_str(), v.c_str());
  if (!node.children.empty()) {
    auto* container = static_cast<IContainerUI*>(control->GetInterface(L"IContainer"));
    for (const CXmlNode& child : node.children) {
      if (IsResourceElement(child.name)) continue;
      CControlUI* sub = BuildControls(child, callback, manager, nullptr);
      if (!sub) continue;
      if (container) container->Add(sub);
      else delete sub;  // children of a non-container are dropped
    }
  }
  if (parent) {
    if (auto* container = static_cast<IContainerUI*>(parent->GetInterface(L"IContainer"))) {
      container->Add(control);
      return control;
    }
  }
  if (manager) manager->InitControls(control, nullptr);
  return control;
}

}  // namespace DuiLib
