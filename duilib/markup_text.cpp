// Inline markup text (showhtml): parse into styled runs, then lay them out
// in lines and draw them with GDI.
#include <windows.h>

#include <algorithm>

#include "duilib/render.h"

namespace DuiLib {

namespace {

using Style = TMarkupStyle;

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t'; }

// Reads a tag at text[pos] == '<'. Returns its length (0 when it is not a
// known tag), its name (with a leading '/' for a closing tag) and argument.
size_t ReadTag(const std::wstring& text, size_t pos, std::wstring& name, std::wstring& arg) {
  size_t close = text.find(L'>', pos + 1);
  if (close == std::wstring::npos) return 0;
  std::wstring body = text.substr(pos + 1, close - pos - 1);
  size_t i = 0;
  while (i < body.size() && !IsSpace(body[i])) ++i;
  name = body.substr(0, i);
  while (i < body.size() && IsSpace(body[i])) ++i;
  arg = body.substr(i);
  while (!arg.empty() && IsSpace(arg.back())) arg.pop_back();
  static const wchar_t* known[] = {L"c", L"/c", L"u", L"/u", L"b", L"/b", L"i", L"/i", L"n"};
  for (const wchar_t* k : known) {
    if (name == k) return close - pos + 1;
  }
  return 0;
}

struct Piece {  // one character (or line break) with its style
  wchar_t ch;
  Style style;
  bool lineBreak;
};

HFONT StyledFont(HFONT base, const Style& s, HFONT& owned) {
  owned = nullptr;
  if (!s.bold && !s.italic) return base;
  LOGFONTW lf{};
  GetObjectW(base, sizeof(lf), &lf);
  if (s.bold) lf.lfWeight = FW_BOLD;
  if (s.italic) lf.lfItalic = TRUE;
  owned = CreateFontIndirectW(&lf);
  return owned ? owned : base;
}

}  // namespace

std::vector<TMarkupRun> ParseMarkup(const std::wstring& text) {
  std::vector<TMarkupRun> runs;
  std::vector<std::pair<wchar_t, Style>> stack;  // open tag letter and the style before it
  Style cur;
  auto emit = [&](const std::wstring& s) {
    if (s.empty()) return;
    if (!runs.empty() && !runs.back().lineBreak) {
      const TMarkupRun& b = runs.back();
      if (b.style == cur) {
        runs.back().text += s;
        return;
      }
    }
    TMarkupRun r;
    r.text = s;
    r.style = cur;
    runs.push_back(r);
  };
  std::wstring pending;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == L'<') {
      std::wstring name, arg;
      size_t len = ReadTag(text, i, name, arg);
      if (len) {
        bool closing = name[0] == L'/';
        wchar_t letter = closing ? name[1] : name[0];
        bool applied = true;
        if (closing) {
          if (!stack.empty() && stack.back().first == letter) {
            emit(pending);
            pending.clear();
            cur = stack.back().second;
            stack.pop_back();
          } else {
            applied = false;
          }
        } else if (letter == L'n') {
          emit(pending);
          pending.clear();
          TMarkupRun br;
          br.lineBreak = true;
          runs.push_back(br);
        } else {
          emit(pending);
          pending.clear();
          stack.emplace_back(letter, cur);
          bool ok = false;
          DWORD color = arg.empty() ? 0 : ParseColor(arg, &ok);
          if (letter == L'c') {
            if (ok) {
              cur.color = color;
              cur.hasColor = true;
            }
          } else if (letter == L'u') {
            cur.underline = true;
            cur.hasUnderlineColor = ok;
            cur.underlineColor = color;
          } else if (letter == L'b') {
            cur.bold = true;
          } else if (letter == L'i') {
            cur.italic = true;
          }
        }
        if (applied) {
          i += len;
          continue;
        }
      }
    }
    pending += text[i++];
  }
  emit(pending);
  return runs;
}

std::wstring StripMarkup(const std::wstring& text) {
  std::wstring out;
  for (const TMarkupRun& r : ParseMarkup(text)) out += r.lineBreak ? L"\n" : r.text;
  return out;
}

void DrawMarkupText(HDC hdc, const RECT& rc, const std::wstring& text, HFONT font, DWORD argb, UINT format) {
  if (text.empty() || RectEmpty(rc)) return;
  std::vector<Piece> pieces;
  for (const TMarkupRun& r : ParseMarkup(text)) {
    const Style& s = r.style;
    if (r.lineBreak) {
      pieces.push_back(Piece{L'\n', s, true});
      continue;
    }
    for (wchar_t c : r.text) pieces.push_back(Piece{c, s, c == L'\n'});
  }
  HGDIOBJ oldFont = SelectObject(hdc, font);
  int oldMode = SetBkMode(hdc, TRANSPARENT);
  COLORREF oldColor = GetTextColor(hdc);
  TEXTMETRICW tm{};
  GetTextMetricsW(hdc, &tm);
  const int lineHeight = tm.tmHeight;
  const int maxWidth = RectWidth(rc);
  const bool wrap = (format & DT_WORDBREAK) != 0;

  // Measure each piece and break lines (character-level breaks, CJK-friendly).
  std::vector<int> widths(pieces.size());
  for (size_t k = 0; k < pieces.size(); ++k) {
    if (pieces[k].lineBreak) continue;
    HFONT owned = nullptr;
    HFONT f = StyledFont(font, pieces[k].style, owned);
    SelectObject(hdc, f);
    SIZE sz{};
    GetTextExtentPoint32W(hdc, &pieces[k].ch, 1, &sz);
    widths[k] = sz.cx;
    SelectObject(hdc, font);
    if (owned) DeleteObject(owned);
  }
  struct Line {
    size_t begin, end;
    int width;
  };
  std::vector<Line> lines;
  size_t start = 0;
  int width = 0;
  for (size_t k = 0; k < pieces.size(); ++k) {
    if (pieces[k].lineBreak) {
      lines.push_back(Line{start, k, width});
      start = k + 1;
      width = 0;
      continue;
    }
    if (wrap && width > 0 && width + widths[k] > maxWidth) {
      lines.push_back(Line{start, k, width});
      start = k;
      width = 0;
    }
    width += widths[k];
  }
  lines.push_back(Line{start, pieces.size(), width});
  if (!wrap && lines.size() > 1 && (format & DT_SINGLELINE)) lines.erase(lines.begin() + 1, lines.end());

  const int blockHeight = lineHeight * static_cast<int>(lines.size());
  int y = rc.top;
  if (format & DT_VCENTER) y = rc.top + (RectHeight(rc) - blockHeight) / 2;
  else if (format & DT_BOTTOM) y = rc.bottom - blockHeight;

  HRGN clip = CreateRectRgn(0, 0, 0, 0);
  bool hadClip = GetClipRgn(hdc, clip) == 1;
  IntersectClipRect(hdc, rc.left, rc.top, rc.right, rc.bottom);
  for (const Line& line : lines) {
    int x = rc.left;
    if (format & DT_CENTER) x = rc.left + (maxWidth - line.width) / 2;
    else if (format & DT_RIGHT) x = rc.right - line.width;
    size_t k = line.begin;
    while (k < line.end) {
      // A run of equal style inside the line.
      size_t e = k + 1;
      while (e < line.end && pieces[e].style == pieces[k].style) ++e;
      std::wstring s;
      int runWidth = 0;
      for (size_t m = k; m < e; ++m) {
        s += pieces[m].ch;
        runWidth += widths[m];
      }
      const Style& st = pieces[k].style;
      HFONT owned = nullptr;
      SelectObject(hdc, StyledFont(font, st, owned));
      DWORD color = st.hasColor ? st.color : argb;
      SetTextColor(hdc, ArgbToColorRef(color));
      TextOutW(hdc, x, y, s.c_str(), static_cast<int>(s.size()));
      if (st.underline) {
        DWORD uc = st.hasUnderlineColor ? st.underlineColor : color;
        int uy = y + tm.tmAscent + 1;
        DrawColor(hdc, RECT{x, uy, x + runWidth, uy + 1}, 0xFF000000 | uc);
      }
      SelectObject(hdc, font);
      if (owned) DeleteObject(owned);
      x += runWidth;
      k = e;
    }
    y += lineHeight;
  }
  SelectClipRgn(hdc, hadClip ? clip : nullptr);
  DeleteObject(clip);
  SetTextColor(hdc, oldColor);
  SetBkMode(hdc, oldMode);
  SelectObject(hdc, oldFont);
}

}  // namespace DuiLib
