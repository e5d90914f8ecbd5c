// CProgressUI: a bar between min and max; the foreground image covers the
// part value-min of max-min (from the left, or from the bottom when not hor).
// With a corner in the foreground image it is stretched to that part (ends
// kept), otherwise it is drawn whole and clipped.
#pragma once

#include "duilib/label.h"

namespace DuiLib {

class CProgressUI : public CLabelUI {
 public:
  CProgressUI();
  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;

  int GetMinValue() const { return min_; }
  int GetMaxValue() const { return max_; }
  int GetValue() const { return value_; }
  void SetMinValue(int min);
  void SetMaxValue(int max);
  // Stores value clamped to min..max and repaints.
  void SetValue(int value);
  bool IsHorizontal() const { return horizontal_; }
  void SetHorizontal(bool horizontal = true);
  void SetForeImage(const std::wstring& image);

  void PaintStatusImage(HDC hdc) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

 private:
  int min_ = 0, max_ = 100, value_ = 0;
  bool horizontal_ = true;
  std::wstring foreImage_;
};

}  // namespace DuiLib
