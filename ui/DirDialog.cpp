#include "DirDialog.h"

#include <shlobj.h>

#include <cstring>

namespace ui {

namespace {

// The shell's task allocator, released when the browse ends.
class ShellAllocator {
 public:
  ShellAllocator() {
    if (FAILED(SHGetMalloc(&m_malloc))) m_malloc = nullptr;
  }
  ~ShellAllocator() {
    if (m_malloc) m_malloc->Release();
  }
  ShellAllocator(const ShellAllocator&) = delete;
  ShellAllocator& operator=(const ShellAllocator&) = delete;

  explicit operator bool() const { return m_malloc != nullptr; }
  void Free(void* block) {
    if (block) m_malloc->Free(block);
  }

 private:
  IMalloc* m_malloc = nullptr;
};

// The root folder as an item list, or null when the browser shows the
// whole namespace. False when the root cannot be parsed.
bool ParseRoot(const std::string& root, ShellAllocator& allocator, LPITEMIDLIST* list) {
  *list = nullptr;
  if (root.empty()) return true;
  IShellFolder* desktop = nullptr;
  if (FAILED(SHGetDesktopFolder(&desktop))) return true;
  WCHAR wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, root.c_str(), -1, wide, MAX_PATH);
  ULONG eaten = 0;
  HRESULT parsed = desktop->ParseDisplayName(nullptr, nullptr, wide, &eaten, list, nullptr);
  desktop->Release();
  if (FAILED(parsed)) {
    allocator.Free(*list);
    *list = nullptr;
    return false;
  }
  return true;
}

void TakeText(std::string* text, const char* buffer) { text->assign(buffer, std::strlen(buffer)); }

}  // namespace

bool CDirDialog::Browse() {
  ShellAllocator allocator;
  if (!allocator) return false;

  BROWSEINFOA info;
  std::memset(&info, 0, sizeof info);
  LPITEMIDLIST root = nullptr;
  if (!ParseRoot(m_rootFolder, allocator, &root)) return false;

  char displayName[MAX_PATH + 1] = {};
  info.hwndOwner = nullptr;  // a window of its own: the dialog stays enabled
  info.pidlRoot = root;
  info.pszDisplayName = displayName;
  info.lpszTitle = m_title.empty() ? "Open" : m_title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(this);

  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
  allocator.Free(root);
  if (!chosen) return false;

  TakeText(&m_resultPath, displayName);
  m_imageIndex = info.iImage;
  char path[MAX_PATH + 1] = {};
  const bool found = SHGetPathFromIDListA(chosen, path) != FALSE;
  allocator.Free(chosen);
  if (!found) return false;
  TakeText(&m_resultPath, path);
  return true;
}

int CALLBACK CDirDialog::BrowseCallback(HWND browser, UINT event, LPARAM, LPARAM data) {
  const CDirDialog* self = reinterpret_cast<const CDirDialog*>(data);
  if (event == BFFM_INITIALIZED && !self->m_initialSelection.empty()) {
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(self->m_initialSelection.c_str()));
  }
  return 0;
}

}  // namespace ui
