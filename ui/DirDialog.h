// The shell's folder browser (SHBrowseForFolderA) for one command: fill in
// the inputs, call Browse, read m_resultPath.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class CDirDialog {
 public:
  CDirDialog() = default;
  virtual ~CDirDialog() = default;

  // True when a file-system folder was chosen; m_resultPath then holds its
  // full path. After a cancel m_resultPath is as it was.
  bool Browse();

  static int CALLBACK BrowseCallback(HWND browser, UINT event, LPARAM param, LPARAM data);

  std::string m_resultPath;        // out: the chosen folder
  std::string m_rootFolder;        // in: a folder the user cannot leave; empty: the desktop
  std::string m_initialSelection;  // in: the folder selected at the start; empty: none
  std::string m_title;             // in: the text above the tree; empty: "Open"
  int m_imageIndex = -1;              // out: the chosen folder's icon in the system image list
};

}  // namespace ui
