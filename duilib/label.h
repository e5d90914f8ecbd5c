// CLabelUI: a control that draws text: font by id, colours, text padding,
// alignment, single or multiple lines, and optional inline markup
// (showhtml; the grammar is described at ParseMarkup in render.h).
#pragma once

#include "duilib/control.h"

namespace DuiLib {

class CLabelUI : public CControlUI {
 public:
  CLabelUI();
  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;

  int GetFont() const { return font_; }
  void SetFont(int id);  // font id of the layout's Font table; -1: default font
  DWORD GetTextColor() const { return textColor_; }
  void SetTextColor(DWORD argb);  // alpha ignored when drawn
  DWORD GetDisabledTextColor() const { return disabledTextColor_; }
  void SetDisabledTextColor(DWORD argb);
  RECT GetTextPadding() const { return rcTextPadding_; }
  void SetTextPadding(RECT rc);  // inner margins l,t,r,b of the text
  bool IsShowHtml() const { return showHtml_; }
  void SetShowHtml(bool showHtml = true);  // inline markup on or off
  // DT_* alignment and line flags used to draw the text.
  UINT GetTextStyle() const { return textStyle_; }
  void SetTextStyle(UINT style);

  void PaintText(HDC hdc) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

 protected:
  // Colour the text is drawn in for the current state.
  virtual DWORD CurrentTextColor() const;
  void DrawLabelText(HDC hdc, DWORD color);

  int font_ = -1;
  DWORD textColor_ = 0;
  bool hasTextColor_ = false;
  DWORD disabledTextColor_ = 0;
  bool hasDisabledTextColor_ = false;
  RECT rcTextPadding_{};
  bool showHtml_ = false;
  UINT textStyle_;
};

}  // namespace DuiLib
