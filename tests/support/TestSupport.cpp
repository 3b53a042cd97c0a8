#include "TestSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "InstallRun.h"
#include "Text.h"

using namespace engine;

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

Answer FakeHost::ShowMessage(MessageKind kind, const char* text, const char* caption) {
  messages.push_back(Message{kind, text, caption ? caption : ""});
  switch (kind) {
    case MessageKind::Confirmation: return confirmAnswer;
    case MessageKind::AskCreateFolder: return askAnswer;
    default: return Answer::Ok;
  }
}

InstallRequest FakeHost::Request() {
  InstallRequest request{fsFolder, squawkBoxFolder, {}};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    request.entries.push_back(ListEntry{entries[i], i < selected.size() && selected[i]});
  }
  return request;
}

bool FakeHost::BrowseForFolder(const char* title, const char* initial, std::string* chosen) {
  browseCalls.push_back(std::string(title) + "|" + initial);
  if (!browseAccepted) return false;
  *chosen = browseResult;
  return true;
}

void FakeHost::SetProgressRange(ProgressBar bar, int lower, int upper) {
  if (bar == ProgressBar::Overall) progress.push_back(Progress{bar, true, lower, upper});
}

void FakeHost::SetProgressPos(ProgressBar bar, int pos) {
  if (bar == ProgressBar::Overall) progress.push_back(Progress{bar, false, pos, 0});
}

InstallTree::InstallTree()
    : fs(dir / "FS2002"), csl(fs + "/aircraft/csl"), squawkBox(dir / "SquawkBox"), catalogue(dir / "catalogue") {
  MakeFolders(csl);
  MakeFolders(squawkBox);
  MakeFolders(catalogue);
  WriteFile(fs + "/FS2002.exe", "");
  WriteFile(config(), "");
  WriteFile(models(), "");
}

void InstallTree::UseCatalogue(InstallRun& run) const { run.SetCatalogueFolder(catalogue.c_str()); }

void InstallTree::UsePaths(InstallRun& run) const {
  UseCatalogue(run);
  CopyText(run.context.fsFolder, fs.c_str());
  CopyText(run.context.squawkBoxFolder, squawkBox.c_str());
  CopyText(run.context.configPath, config().c_str());
  CopyText(run.context.modelListPath, models().c_str());
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
