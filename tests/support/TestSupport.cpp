#include "TestSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "FaultInjection.h"
#include "Folders.h"
#include "InstallContext.h"
#include "LineTable.h"

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/quorvane-test-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
  path_ = buf.data();
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Read-only folders made by a test must not keep their content alive.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    chmod(it->path().c_str(), 0755);
  }
  std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

void MakeFolders(const std::string& path) { std::filesystem::create_directories(path); }

std::vector<std::string> SplitLines(const std::string& text, const std::string& separator) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(separator, start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + separator.size();
  }
  return lines;
}

std::string Folded(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  }
  return text;
}

std::string Crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

EngineStateGuard::EngineStateGuard() {
  char buf[4096];
  if (getcwd(buf, sizeof buf)) cwd_ = buf;
  std::memset(&CurrentInstall, 0, sizeof CurrentInstall);
  ModelList.Clear();
  ConfigLines.Clear();
  SetCatalogueFolder(nullptr);
  plat::FailNthOperation(0);
}

EngineStateGuard::~EngineStateGuard() {
  plat::FailNthOperation(0);
  SetCatalogueFolder(nullptr);
  if (!cwd_.empty() && chdir(cwd_.c_str()) != 0) std::abort();
}

Answer FakeHost::ShowMessage(MessageKind kind, const char* text, const char* caption) {
  messages.push_back(Message{kind, text, caption ? caption : ""});
  switch (kind) {
    case MessageKind::Confirmation: return confirmAnswer;
    case MessageKind::AskCreateFolder: return askAnswer;
    default: return Answer::Ok;
  }
}

void FakeHost::GetFolderText(int fieldId, char* buf, std::size_t cap) {
  const std::string& text = fieldId == kFsFolderFieldId ? fsFolder : squawkBoxFolder;
  std::snprintf(buf, cap, "%s", text.c_str());
}

void FakeHost::SetFolderText(int fieldId, const char* text) {
  (fieldId == kFsFolderFieldId ? fsFolder : squawkBoxFolder) = text;
}

bool FakeHost::BrowseForFolder(const char* title, const char* initial, char* result, std::size_t cap) {
  browseCalls.push_back(std::string(title) + "|" + initial);
  if (!browseAccepted) return false;
  std::snprintf(result, cap, "%s", browseResult.c_str());
  return true;
}

void FakeHost::ResetList() {
  entries.clear();
  selected.clear();
}

void FakeHost::AddListEntry(const char* text) {
  entries.push_back(text);
  selected.push_back(false);
}

bool FakeHost::IsListEntrySelected(int index) {
  return index >= 0 && static_cast<std::size_t>(index) < selected.size() && selected[index];
}

void FakeHost::GetListEntry(int index, char* buf, std::size_t cap) {
  std::snprintf(buf, cap, "%s", entries.at(static_cast<std::size_t>(index)).c_str());
}

void FakeHost::SetProgressRange(int barId, int lower, int upper) {
  if (barId == kOverallProgressId) progress.push_back(Progress{barId, true, lower, upper});
}

void FakeHost::SetProgressPos(int barId, int pos) {
  if (barId == kOverallProgressId) progress.push_back(Progress{barId, false, pos, 0});
}

InstallTree::InstallTree()
    : fs(dir / "FS2002"), csl(fs + "/aircraft/csl"), squawkBox(dir / "SquawkBox"), catalogue(dir / "catalogue") {
  MakeFolders(csl);
  MakeFolders(squawkBox);
  MakeFolders(catalogue);
  WriteFile(fs + "/FS2002.exe", "");
  WriteFile(config(), "");
  WriteFile(models(), "");
  SetCatalogueFolder(catalogue.c_str());
}

void InstallTree::AddAirline(int section, const std::string& descr, const std::string& code) {
  catalogueText += "[Airline." + std::to_string(section) + "]\n";
  catalogueText += "Descr=" + descr + "\n";
  catalogueText += "SQ1=" + descr + " (QUORVANE)," + code + "\n";
  catalogueText += "Folder=" + code + "\nData=" + code + "\nTitle=~" + code + "\n";
  catalogueText += "Sim=sim" + code + "\nPanel=\nSound=\nModel=mdl" + code + "\n";
  WriteFile(catalogue + "/" + code + ".dat", "texture of " + code);
  WriteCatalogue();
}

void InstallTree::WriteCatalogue() { WriteFile(catalogue + "/Airlines.dat", catalogueText); }
