// CDialogBuilder: builds a control tree from a layout (parse step). The
// layout is read with readSkinFile and parsed with CXmlReader; the Window
// element's attributes, Font, Include, Image and Default elements go to the
// paint manager, control elements become controls (attributes applied in
// document order after the class defaults). Element names: VerticalLayout,
// HorizontalLayout, TabLayout, Container, Control, Label, Text, Button,
// Option, CheckBox, Edit, RichEdit, Progress; any other name is offered to the
// callback, and skipped (with its children) when it gives nothing.
#pragma once

#include <string>

#include "duilib/ui_defs.h"
#include "duilib/xml_reader.h"

namespace DuiLib {

class IDialogBuilderCallback {
 public:
  // A control for a custom element name, or nullptr.
  virtual CControlUI* CreateControl(const wchar_t* className) = 0;

 protected:
  ~IDialogBuilderCallback() = default;
};

class CDialogBuilder {
 public:
  // Builds the layout file skinFile (read with readSkinFile). Returns the
  // root control (owned by the caller until attached), or nullptr when the
  // file cannot be read, does not parse, or holds no control.
  CControlUI* Create(const std::wstring& skinFile, IDialogBuilderCallback* callback,
                     CPaintManagerUI* manager, CControlUI* parent = nullptr);
  // Same from UTF-8 text in memory.
  CControlUI* CreateFromMemory(const char* xml, size_t size, IDialogBuilderCallback* callback,
                               CPaintManagerUI* manager, CControlUI* parent = nullptr);
  // Why the last Create failed: the XML reader's error text, "file not
  // found", "no control" or "include failed"; empty after success.
  const std::wstring& GetLastErrorText() const { return error_; }

  // A new control of a built-in element name, or nullptr.
  static CControlUI* CreateBuiltinControl(const std::wstring& elementName);

 private:
  bool ApplyResourceElement(const CXmlNode& node, CPaintManagerUI* manager, int includeDepth);
  bool ApplyInclude(const std::wstring& source, CPaintManagerUI* manager, int includeDepth);
  CControlUI* BuildControls(const CXmlNode& node, IDialogBuilderCallback* callback,
                            CPaintManagerUI* manager, CControlUI* parent);
  CControlUI* BuildDocument(const CXmlNode& root, IDialogBuilderCallback* callback,
                            CPaintManagerUI* manager, CControlUI* parent);

  std::wstring error_;
};

}  // namespace DuiLib
