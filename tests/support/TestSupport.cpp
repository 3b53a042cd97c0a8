#include "TestSupport.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>

#include "run/InstallRun.h"
#include "text/Text.h"
#include "WaitBoxScript.h"

using namespace engine;

std::string WithSeparators(std::string path) {
  for (char& c : path) {
    if (c == '/') c = kSeparator;
  }
  return path;
}

#ifdef _WIN32
namespace {
// No mkdtemp on Windows: the first free name of this process's series.
std::string MakeTempFolder() {
  char base[MAX_PATH + 1];
  const DWORD n = ::GetTempPathA(sizeof base, base);
  if (n == 0 || n >= sizeof base) throw std::runtime_error("GetTempPathA failed");
  std::string folder(base, n);
  if (folder.back() != '\\') folder += '\\';
  static unsigned serial = 0;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string name = folder + "quorvane-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
                             std::to_string(serial++);
    if (::CreateDirectoryA(name.c_str(), nullptr)) return name;
    if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  throw std::runtime_error("no temporary folder");
}
}  // namespace

TempDir::TempDir() : path_(MakeTempFolder()) {}
#else
TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/quorvane-test-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
  path_ = buf.data();
}
#endif

TempDir::~TempDir() {
  std::error_code ignored;
  // Read-only files and folders made by a test must not keep their content alive.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    chmod(it->path().string().c_str(), 0755);
  }
  std::filesystem::remove_all(path_, ignored);
}

#ifdef _WIN32
namespace {
std::string WindowsFolder() {
  char folder[MAX_PATH + 1];
  const UINT n = ::GetWindowsDirectoryA(folder, sizeof folder);
  if (n == 0 || n >= sizeof folder) throw std::runtime_error("GetWindowsDirectoryA failed");
  std::string path(folder, n);
  if (path.back() == '\\') path.pop_back();
  return path;
}
}  // namespace

ProfileFolder::ProfileFolder(const std::string&) : path_(WindowsFolder()) {
  const std::string profile = *this / "Quorvane.ini";
  saved_ = profile + ".quorvane-test";
  std::error_code ignored;
  std::filesystem::remove(saved_, ignored);
  if (FileExists(profile)) std::filesystem::rename(profile, saved_);
}

ProfileFolder::~ProfileFolder() {
  const std::string profile = *this / "Quorvane.ini";
  std::error_code ignored;
  std::filesystem::remove(profile, ignored);
  if (FileExists(saved_)) std::filesystem::rename(saved_, profile, ignored);
}
#else
ProfileFolder::ProfileFolder(const std::string& folder) : path_(folder) {
  setenv("XDG_CONFIG_HOME", path_.c_str(), 1);
}

ProfileFolder::~ProfileFolder() { unsetenv("XDG_CONFIG_HOME"); }
#endif

#ifdef _WIN32
namespace {
struct ShellWord {
  std::string text;
  bool quoted;
};

// Words separated by blanks; a word in single quotes is one word, quotes
// taken off; "NAME='value'" is one unquoted word. Nothing else of sh is
// known, and no quoted text holds a blank in these tests.
std::vector<ShellWord> ShellWords(const std::string& command) {
  std::vector<ShellWord> words;
  std::size_t i = 0;
  while (i < command.size()) {
    if (command[i] == ' ') {
      ++i;
    } else if (command[i] == '\'') {
      const std::size_t end = command.find('\'', i + 1);
      if (end == std::string::npos) throw std::runtime_error("unbalanced quote in " + command);
      words.push_back({command.substr(i + 1, end - i - 1), true});
      i = end + 1;
    } else {
      const std::size_t end = std::min(command.find(' ', i), command.size());
      words.push_back({command.substr(i, end - i), false});
      i = end;
    }
  }
  return words;
}

bool IsAssignment(const ShellWord& word) {
  const std::size_t equals = word.text.find('=');
  return !word.quoted && equals != std::string::npos && equals > 0 &&
         word.text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ_") == equals;
}

std::string ForCmd(const std::string& command) {
  const std::vector<ShellWord> words = ShellWords(command);
  std::string out;
  bool commandStart = true;
  for (ShellWord word : words) {
    if (commandStart && IsAssignment(word)) continue;
    if (!out.empty()) out += ' ';
    if (word.quoted) {
      if (commandStart) word.text = WithSeparators(word.text);
      out += '"' + word.text + '"';
    } else if (commandStart && word.text == "cd") {
      out += "cd /d";
    } else if (word.text == "</dev/null") {
      out += "<NUL";
    } else {
      out += word.text;
    }
    commandStart = !word.quoted && word.text == "&&";
  }
  return out;
}
}  // namespace

int RunShellCommand(const std::string& command) { return std::system(ForCmd(command).c_str()); }

bool ReadOnlyFoldersAreEnforced() { return false; }
#else
int RunShellCommand(const std::string& command) {
  const int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

bool ReadOnlyFoldersAreEnforced() { return true; }
#endif

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

void FakeHost::StepReached(engine::CommandStep step) { ui::PlayWaitBoxStep(step, *this); }

InstallRequest FakeHost::Request() const {
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
    : fs(dir / "FS2002"), csl(fs + WithSeparators("/aircraft/csl")), squawkBox(dir / "SquawkBox"), catalogue(dir / "catalogue") {
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

void FakeHost::UseTree(const InstallTree& tree, std::vector<std::string> listed) {
  fsFolder = tree.fs;
  squawkBoxFolder = tree.squawkBox;
  entries = std::move(listed);
  SelectAll();
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
