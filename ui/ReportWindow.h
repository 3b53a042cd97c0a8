// A report read as a person reads a long text: a resizable window with the
// text read-only in a fixed-pitch font, scrolling both ways, and Copy and
// Close. The main window shows the preview of an install and the check of
// the user's files in it, modally: it gets the focus back when the report
// closes (Close, Escape or the caption's button).
#pragma once

#include <string>

#include "framework/CDialog.h"
#include "framework/Gdi.h"

namespace ui {

class CReportWindow : public CDialog {
 public:
  // text may have bare line feeds; it is shown and copied with CR LF.
  CReportWindow(std::string caption, const std::string& text, CWnd* parent);

  BOOL OnInitDialog() override;
  // Puts the whole report on the clipboard as text, also when the control
  // could hold only a part of it.
  void OnCopy();

  // An edit control of Windows 95 to ME holds 64 KB at most: where the
  // control takes less than the whole report, the window shows this much
  // of it (up to a line end, with a note); the clipboard still gets all.
  static constexpr std::size_t kSmallestControlLimit = 60000;

 protected:
  BOOL OnCommand(WPARAM wp, LPARAM lp) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnGetMinMaxInfo(MINMAXINFO* info) override;

 private:
  void MeasureLayout();
  void Layout(int cx, int cy);
  void ShowText();

  std::string m_caption;
  std::string m_text;
  CFont m_font;
  // From dialog units, once the window exists; zero before.
  int m_margin = 0;
  int m_gap = 0;
  SIZE m_button{};
  SIZE m_minimum{};
};

}  // namespace ui
