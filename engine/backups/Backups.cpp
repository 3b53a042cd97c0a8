#include "backups/Backups.h"

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <optional>
#include <unordered_set>

#include "backups/Checksum.h"
#include "text/LineTable.h"
#include "text/Text.h"
#include "platform/FileReplacement.h"
#include "platform/FileSystem.h"
#include "platform/Profile.h"
#include "platform/Result.h"

namespace engine {
namespace {

// Names past this many of a kind are not looked at: a folder that holds a
// hundred files of someone else's at our names is not one to write into.
constexpr int kNamesTried = 100;

// The number of a copy's name for a file named `of`: 1 for
// "<of><suffix>", n for "<of><suffix>-<n>" (n from 2, no leading zero);
// 0 when the name is no copy of that kind of it.
int CopyNumber(const std::string& name, const std::string& of, Copy kind) {
  const std::string prefix = of + SuffixOf(kind);
  if (name.size() < prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return 0;
  const std::string rest = name.substr(prefix.size());
  if (rest.empty()) return 1;
  if (rest.size() < 2 || rest.size() > 4 || rest[0] != '-' || rest[1] == '0') return 0;
  if (rest.find_first_not_of("0123456789", 1) != std::string::npos) return 0;
  const int number = std::atoi(rest.c_str() + 1);
  return number >= 2 ? number : 0;
}

// The record of one folder, as loaded and as it will be written.
class FolderRecord {
 public:
  explicit FolderRecord(std::string folder) : m_folder(std::move(folder)) {
    plat::ProfileFile profile;
    // A missing record names no copy; one that is there and cannot be
    // read must not be written over with less than it holds.
    const plat::Result loaded = profile.Load(Path().c_str());
    if (!loaded && plat::GetPathKind(Path().c_str()) != plat::PathKind::Missing) m_load = loaded;
    for (std::size_t i = 0; i < profile.SectionCount(); ++i) {
      const auto value = [&](const char* key) { return std::string(profile.FindInSection(i, key).value_or("")); };
      CopyRecord copy;
      copy.of = value("Of");
      copy.size = std::strtoull(value("Size").c_str(), nullptr, 10);
      copy.crc = static_cast<std::uint32_t>(std::strtoul(value("CRC32").c_str(), nullptr, 16));
      copy.run = value("Run");
      copy.made = value("Made");
      copy.pair = value("Pair");
      if (profile.FindInSection(i, "PreviousSize")) {
        copy.hasPrevious = true;
        copy.previousSize = std::strtoull(value("PreviousSize").c_str(), nullptr, 10);
        copy.previousCrc = static_cast<std::uint32_t>(std::strtoul(value("PreviousCRC32").c_str(), nullptr, 16));
      }
      m_copies[std::string(profile.SectionName(i))] = copy;
    }
  }

  const std::string& Folder() const { return m_folder; }
  std::string Path() const { return m_folder + "\\" + kBackupRecordName; }
  bool Unreadable() const { return !m_load; }
  const plat::Result& Load() const { return m_load; }
  // Why, for the user.
  std::string UnreadableText() const {
    return Printf("The record of the backups, %s, could not be read%s.", plat::DisplayPath(Path().c_str()).c_str(),
                  m_load.Because().c_str());
  }
  const CopyRecord* Find(const std::string& name) const {
    const auto it = m_copies.find(name);
    return it == m_copies.end() ? nullptr : &it->second;
  }
  void Set(const std::string& name, const CopyRecord& copy) { m_copies[name] = copy; }
  void Remove(const std::string& name) { m_copies.erase(name); }
  // Takes a copy of ours out of the record, and its file once the record
  // no longer names it: a record must never name a file that is gone,
  // which the user could make again at that name with the same bytes.
  void Forget(const std::string& path) {
    m_copies.erase(NameOf(path));
    m_forgotten.push_back(path);
  }

  // The numbers of the recorded copies of one kind of the file named `of`,
  // smallest first.
  std::vector<int> NumbersOf(const std::string& of, Copy kind) const {
    std::vector<int> numbers;
    for (const auto& entry : m_copies) {
      if (const int number = CopyNumber(entry.first, of, kind)) numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
  }

  plat::Result Save() const {
    if (!m_load) return m_load;
    std::string text =
        "; What Quorvane keeps of the files in this folder. A copy below is put\n"
        "; back only while its size and CRC-32 are the ones recorded here.\n";
    for (const auto& [name, copy] : m_copies) {
      text += "\n[" + name + "]\nOf=" + copy.of + Printf("\nSize=%" PRIu64 "\nCRC32=%08" PRIx32, copy.size, copy.crc) +
              "\nRun=" + copy.run + "\nMade=" + copy.made + "\n";
      if (!copy.pair.empty()) text += "Pair=" + copy.pair + "\n";
      if (copy.hasPrevious) {
        text += Printf("PreviousSize=%" PRIu64 "\nPreviousCRC32=%08" PRIx32 "\n", copy.previousSize, copy.previousCrc);
      }
    }
    plat::FileReplacement::Options options;
    options.links = plat::LinkPolicy::Replace;
    return plat::ReplaceFile(Path().c_str(), text, options);
  }
  // Once a saved record no longer names them, and nothing goes back to
  // the record that did.
  void DeleteForgotten() {
    for (const std::string& path : m_forgotten) plat::RemoveFile(path.c_str());
    m_forgotten.clear();
  }

 private:
  std::string m_folder;
  std::map<std::string, CopyRecord> m_copies;
  std::vector<std::string> m_forgotten;
  plat::Result m_load;  // a failure when the record is there and could not be read
};

CopyRecord RecordOf(const std::string& livePath, std::string_view bytes, const RunStamp& run) {
  CopyRecord copy;
  copy.of = NameOf(livePath);
  copy.size = bytes.size();
  copy.crc = Crc32(bytes);
  copy.run = run.id;
  copy.made = run.when;
  return copy;
}

bool Matches(const CopyRecord& record, std::string_view bytes) {
  return record.size == bytes.size() && record.crc == Crc32(bytes);
}

// What the record says the copy holds, or held before a pending copy took
// its place.
bool HoldsOurs(const CopyRecord& record, std::string_view bytes) {
  if (Matches(record, bytes)) return true;
  return record.hasPrevious && record.previousSize == bytes.size() && record.previousCrc == Crc32(bytes);
}

// Writes a copy whole: flushed to disk before it takes its name; it gets
// the permission bits and owner of the file it keeps.
bool WriteCopy(const std::string& livePath, const std::string& copyPath, std::string_view bytes,
               std::string* failure) {
  plat::FileReplacement::Options options;
  options.translation = plat::TextFile::Translation::Binary;
  options.links = plat::LinkPolicy::Replace;
  options.attributesOf = livePath.c_str();
  const plat::Result written = plat::ReplaceFile(copyPath.c_str(), bytes, options);
  if (written) return true;
  *failure = Printf("%s could not be backed up to %s%s.", plat::DisplayPath(livePath.c_str()).c_str(),
                    plat::DisplayPath(copyPath.c_str()).c_str(), written.Because().c_str());
  return false;
}

// What stands at a copy's name: nothing (a link counts as nothing: it
// holds nothing of the user's and is replaced, never followed), a copy of
// ours (*bytes then holds it), or something that is not ours, which is
// never written over or removed.
// A file that cannot be read cannot be told: it is neither written over
// nor taken as ours, and the run stops (Unreadable).
enum class AtName { Free, Ours, NotOurs, Unreadable };

// *read (where given) is the failure of an Unreadable.
AtName LookAt(const FolderRecord& record, const std::string& copyPath, plat::FileBytes* bytes = nullptr,
              plat::Result* read = nullptr) {
  const plat::PathKind kind = plat::GetPathKind(copyPath.c_str());
  if (kind == plat::PathKind::Missing || plat::IsLink(copyPath.c_str())) return AtName::Free;
  if (kind == plat::PathKind::Folder) return AtName::NotOurs;
  const CopyRecord* recorded = record.Find(NameOf(copyPath));
  if (!recorded) return AtName::NotOurs;
  plat::FileBytes local;
  plat::FileBytes* held = bytes ? bytes : &local;
  if (plat::Result readNow = plat::ReadWholeFile(copyPath.c_str(), held); !readNow) {
    if (read) *read = readNow;
    return AtName::Unreadable;
  }
  return HoldsOurs(*recorded, held->View()) ? AtName::Ours : AtName::NotOurs;
}

// The first free name of a kind from number `from` on; empty, with the
// failure for the user, when there is none.
std::string FirstFree(const FolderRecord& record, const std::string& live, Copy kind, int from,
                      std::string* failure) {
  for (int number = from; number < from + kNamesTried; ++number) {
    const std::string path = CopyPath(live, kind, number);
    if (LookAt(record, path) == AtName::Free) return path;
  }
  *failure = Printf("%s could not be backed up: %s and the %d names after it are taken by files that are not "
                    "Quorvane's copies.",
                    plat::DisplayPath(live.c_str()).c_str(), NameOf(CopyPath(live, kind, from)).c_str(),
                    kNamesTried - 1);
  return std::string();
}

// The record of a folder as loaded, and as it will be written.
struct RecordPair {
  FolderRecord loaded;
  FolderRecord working;
  explicit RecordPair(const std::string& folder) : loaded(folder), working(loaded) {}
};

FolderRecord& RecordFor(std::deque<RecordPair>& records, const std::string& folder) {
  for (RecordPair& record : records) {
    if (record.working.Folder() == folder) return record.working;
  }
  records.emplace_back(folder);
  return records.back().working;
}

bool SaveRecords(const std::deque<RecordPair>& records, bool working, std::string* failure) {
  for (const RecordPair& pair : records) {
    const FolderRecord& record = working ? pair.working : pair.loaded;
    const plat::Result saved = record.Save();
    if (saved) continue;
    if (failure && record.Unreadable()) {
      *failure = record.UnreadableText();
    } else if (failure) {
      *failure = Printf("The record of the backups, %s, could not be written%s.",
                        plat::DisplayPath(record.Path().c_str()).c_str(), saved.Because().c_str());
    }
    return false;
  }
  return true;
}

// The number of the copy of ours of that kind, 0 when there is none.
// Recorded copies that are gone, or that hold something else now (the
// user's own file at the name), are taken out of the record; the files
// stay as they are. False, with the failure, when a recorded copy cannot
// be read, so that it cannot be told.
bool OursOfKind(FolderRecord& record, const std::string& live, Copy kind, int* ours, std::string* failure,
                plat::Result* readFailure = nullptr) {
  *ours = 0;
  const std::vector<int> numbers = record.NumbersOf(NameOf(live), kind);
  for (auto it = numbers.rbegin(); it != numbers.rend(); ++it) {
    const std::string path = CopyPath(live, kind, *it);
    plat::Result read;
    const AtName at = LookAt(record, path, nullptr, &read);
    if (at == AtName::Unreadable) {
      *failure = Printf("%s could not be read%s, so it cannot be told whether it is the copy Quorvane kept.",
                        plat::DisplayPath(path.c_str()).c_str(), read.Because().c_str());
      if (readFailure) *readFailure = read;
      return false;
    }
    if (at == AtName::Ours && *ours == 0) {
      *ours = *it;
      continue;
    }
    if (at != AtName::Ours) record.Remove(NameOf(path));
  }
  return true;
}

// Writes a copy whole into a temporary file of ours beside the name it is
// to take, and leaves it there.
bool WritePending(const std::string& live, const std::string& near, std::string_view bytes, std::string* temp,
                  std::string* failure) {
  plat::FileReplacement::Options options;
  options.translation = plat::TextFile::Translation::Binary;
  options.links = plat::LinkPolicy::Replace;
  options.attributesOf = live.c_str();
  plat::FileReplacement out;
  plat::Result written = out.Begin(near.c_str(), options);
  if (written) {
    out.Write(bytes);
    written = out.Close();
    if (written) {
      *temp = out.Temporary();
      out.Keep();
      return true;
    }
  }
  *failure = Printf("%s could not be backed up beside %s%s.", plat::DisplayPath(live.c_str()).c_str(),
                    plat::DisplayPath(near.c_str()).c_str(), written.Because().c_str());
  return false;
}

// A copy to write where the record names it.
struct PlannedCopy {
  std::string live;
  std::string path;
  std::string_view bytes;
};

// The records first, so that no copy of ours is ever unrecorded; then the
// copies. When a copy fails, the records are given back what they said.
bool WriteRecordedCopies(std::deque<RecordPair>& records, const std::vector<PlannedCopy>& writes,
                         std::string* failure) {
  if (!SaveRecords(records, /*working=*/true, failure)) {
    SaveRecords(records, /*working=*/false, nullptr);
    return false;
  }
  for (const PlannedCopy& write : writes) {
    if (WriteCopy(write.live, write.path, write.bytes, failure)) continue;
    SaveRecords(records, /*working=*/false, nullptr);
    return false;
  }
  return true;
}

// The lines (as text mode reads them) of the bytes, but for empty ones.
void AddLines(std::string_view bytes, std::unordered_set<std::string_view>* lines) {
  ForEachTextModeLine(bytes, [lines](std::string_view line, std::size_t) {
    if (!line.empty()) lines->insert(line);
    return true;
  });
}

// The first line of `copy` that is in none of `others`; empty when every
// line is elsewhere.
std::optional<std::string> LineOnlyIn(std::string_view copy, const std::vector<std::string_view>& others) {
  std::unordered_set<std::string_view> elsewhere;
  for (std::string_view other : others) AddLines(other, &elsewhere);
  std::optional<std::string> only;
  ForEachTextModeLine(copy, [&](std::string_view line, std::size_t) {
    if (line.empty() || elsewhere.count(line)) return true;
    only = std::string(line);
    return false;
  });
  return only;
}

// A line for a message: cut, and its bytes shown as they are.
std::string Shown(const std::string& line) {
  constexpr std::size_t kLongest = 60;
  return line.size() <= kLongest ? line : line.substr(0, kLongest) + "...";
}

}  // namespace

const char* SuffixOf(Copy copy) {
  switch (copy) {
    case Copy::Original: return ".orig";
    case Copy::LastRun: return ".bak";
    case Copy::BeforeRestore: return ".before-restore";
  }
  return ".bak";
}

std::string CopyPath(const std::string& path, Copy copy, int number) {
  std::string name = path + SuffixOf(copy);
  if (number > 1) name += "-" + std::to_string(number);
  return name;
}

std::string FolderOf(const std::string& path) {
  const std::string::size_type cut = path.find_last_of("\\/");
  return cut == std::string::npos ? "." : path.substr(0, cut);
}

std::string NameOf(const std::string& path) {
  const std::string::size_type cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

RunStamp NewRunStamp() {
  const std::time_t now = std::time(nullptr);
  char id[32] = "";
  char when[32] = "";
  if (const std::tm* local = std::localtime(&now)) {
    std::strftime(id, sizeof id, "%Y%m%d-%H%M%S", local);
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", local);
  }
  // Two runs of one process in one second still differ by the monotonic
  // clock, which counts nanoseconds (on Windows tenths of a microsecond):
  // between two runs it always moves on, as each reads and writes files.
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  return RunStamp{Printf("%s-%lu-%llu", id, plat::ProcessId(), static_cast<unsigned long long>(ticks)), when};
}

bool KeepBackups(const std::vector<FoundFile>& files, const RunStamp& run, std::string* failure,
                 std::vector<PendingCopy>* pending) {
  std::vector<PendingCopy> kept;
  std::string pair;
  for (const FoundFile& file : files) {
    pair += Printf("%s%zu:%08" PRIx32, pair.empty() ? "" : ",", file.bytes.size(), Crc32(file.bytes));
  }
  const auto dropAndFail = [&] {
    DropBackups(kept);
    return false;
  };
  for (const FoundFile& file : files) {
    FolderRecord record(FolderOf(file.path));
    if (record.Unreadable()) {
      *failure = record.UnreadableText();
      return dropAndFail();
    }
    int original = 0;
    int lastRun = 0;
    if (!OursOfKind(record, file.path, Copy::Original, &original, failure) ||
        !OursOfKind(record, file.path, Copy::LastRun, &lastRun, failure)) {
      return dropAndFail();
    }
    for (Copy kind : {Copy::Original, Copy::LastRun}) {
      if (kind == Copy::Original && original != 0) continue;  // never replaced
      PendingCopy copy;
      copy.kind = kind;
      copy.live = file.path;
      copy.record = RecordOf(file.path, file.bytes, run);
      copy.record.pair = pair;
      const int number = kind == Copy::LastRun ? lastRun : 0;
      const std::string near = number != 0 ? CopyPath(file.path, kind, number)
                                           : FirstFree(record, file.path, kind, 1, failure);
      if (near.empty() || !WritePending(file.path, near, file.bytes, &copy.temp, failure)) return dropAndFail();
      kept.push_back(copy);
    }
  }
  if (pending) {
    *pending = std::move(kept);
  } else if (const plat::Result settled = SettleBackups(kept); !settled) {
    *failure = "The copies could not be given their names" + settled.Because() + ".";
    return false;
  }
  return true;
}

std::string LastRunCopyOf(const std::vector<PendingCopy>& pending, const std::string& path) {
  for (const PendingCopy& copy : pending) {
    if (copy.kind == Copy::LastRun && copy.live == path) return copy.temp;
  }
  return std::string();
}

plat::Result SettleBackups(const std::vector<PendingCopy>& pending) {
  // A step that fails leaves the others to be done; the result is the
  // last failure.
  plat::Result settled;
  for (const PendingCopy& copy : pending) {
    // Each step is saved before the next, and each is done again harmlessly
    // by a repair after a kill.
    FolderRecord record(FolderOf(copy.live));
    if (record.Unreadable()) {
      settled = record.Load();
      continue;
    }
    std::string failure;
    int ours = 0;
    plat::Result read;
    if (!OursOfKind(record, copy.live, copy.kind, &ours, &failure, &read)) {
      settled = read;
      continue;
    }
    const bool waits = plat::GetPathKind(copy.temp.c_str()) == plat::PathKind::File;
    if (ours != 0) {
      const std::string target = CopyPath(copy.live, copy.kind, ours);
      CopyRecord entry = *record.Find(NameOf(target));
      if (entry.run == copy.record.run && !entry.hasPrevious) continue;  // settled already
      if (copy.kind == Copy::Original && entry.run != copy.record.run) {
        // An original of ours is never replaced.
        if (waits) plat::RemoveFile(copy.temp.c_str());
        continue;
      }
      // A copy that is gone (removed by hand) cannot be settled: the last
      // run's stays the last run's.
      if (!waits && entry.run != copy.record.run) continue;
      // The record first, naming the new content and, while it may not be
      // there yet, the one it replaces; then the content; then the record
      // without the old one.
      if (entry.run != copy.record.run) {
        CopyRecord next = copy.record;
        next.hasPrevious = true;
        next.previousSize = entry.size;
        next.previousCrc = entry.crc;
        record.Set(NameOf(target), next);
        if (const plat::Result saved = record.Save(); !saved) {
          settled = saved;
          continue;
        }
        entry = next;
      }
      if (waits) {
        if (const plat::Result moved = plat::MoveFileOver(copy.temp.c_str(), target.c_str()); !moved) {
          settled = moved;
          continue;
        }
      }
      entry.hasPrevious = false;
      record.Set(NameOf(target), entry);
      if (const plat::Result saved = record.Save(); !saved) settled = saved;
      continue;
    }
    if (!waits) continue;
    const std::string target = FirstFree(record, copy.live, copy.kind, 1, &failure);
    if (target.empty()) {
      settled = plat::Result::Failure("");  // every name is taken: no reason of the system's
      continue;
    }
    record.Set(NameOf(target), copy.record);
    plat::Result placed = record.Save();
    if (placed) placed = plat::MoveFileOver(copy.temp.c_str(), target.c_str());
    if (!placed) settled = placed;
  }
  return settled;
}

void DropBackups(const std::vector<PendingCopy>& pending) {
  for (const PendingCopy& copy : pending) {
    if (plat::GetPathKind(copy.temp.c_str()) != plat::PathKind::Missing) plat::RemoveFile(copy.temp.c_str());
  }
}

bool PlanBeforeRestore(const std::vector<FoundFile>& files, std::vector<BeforeRestoreCopy>* plan,
                       std::string* refusal) {
  plan->clear();
  for (const FoundFile& file : files) {
    FolderRecord record(FolderOf(file.path));
    if (record.Unreadable()) {
      *refusal = record.UnreadableText() + "\n\nNothing has been changed.";
      return false;
    }
    const std::string of = NameOf(file.path);
    // Ours, oldest first, with what they hold.
    std::vector<std::pair<int, plat::FileBytes>> ours;
    for (int number : record.NumbersOf(of, Copy::BeforeRestore)) {
      plat::FileBytes bytes;
      const std::string path = CopyPath(file.path, Copy::BeforeRestore, number);
      plat::Result read;
      const AtName at = LookAt(record, path, &bytes, &read);
      if (at == AtName::Unreadable) {
        *refusal = Printf("%s could not be read%s.\n\nNothing has been changed.", plat::DisplayPath(path.c_str()).c_str(),
                          read.Because().c_str());
        return false;
      }
      if (at == AtName::Ours) ours.emplace_back(number, std::move(bytes));
    }
    BeforeRestoreCopy copy;
    if (!ours.empty() && ours.back().second.View() == file.bytes) {
      copy.path = CopyPath(file.path, Copy::BeforeRestore, ours.back().first);
      copy.write = false;
      plan->push_back(copy);
      continue;
    }
    std::string failure;
    copy.path = FirstFree(record, file.path, Copy::BeforeRestore, ours.empty() ? 1 : ours.back().first + 1, &failure);
    if (copy.path.empty()) {
      *refusal = failure + "\n\nNothing has been changed.";
      return false;
    }
    if (ours.size() >= static_cast<std::size_t>(kMostBeforeRestore)) {
      // The oldest goes only when none of its lines is its alone.
      std::vector<plat::FileBytes> kept;
      for (Copy other : {Copy::Original, Copy::LastRun}) {
        for (int number : record.NumbersOf(of, other)) {
          plat::FileBytes bytes;
          if (LookAt(record, CopyPath(file.path, other, number), &bytes) == AtName::Ours) kept.push_back(std::move(bytes));
        }
      }
      std::vector<std::string_view> others = {file.bytes};
      for (std::size_t i = 1; i < ours.size(); ++i) others.push_back(ours[i].second.View());
      for (const plat::FileBytes& bytes : kept) others.push_back(bytes.View());
      const std::string oldest = CopyPath(file.path, Copy::BeforeRestore, ours.front().first);
      if (const std::optional<std::string> only = LineOnlyIn(ours.front().second.View(), others)) {
        *refusal = Printf("Restore keeps the files it replaces, and %d copies of %s are kept already, the most "
                          "it keeps. The oldest, %s, holds lines that no other copy holds (such as \"%s\"), so it "
                          "is not removed.\n\nMove it out of the folder, or delete it if you do not need it, and "
                          "run restore again. Nothing has been changed.",
                          kMostBeforeRestore, of.c_str(), plat::DisplayPath(oldest.c_str()).c_str(),
                          Shown(*only).c_str());
        return false;
      }
      copy.drop = oldest;
    }
    plan->push_back(copy);
  }
  return true;
}

bool KeepBeforeRestore(const std::vector<FoundFile>& files, const std::vector<BeforeRestoreCopy>& plan,
                       const RunStamp& run, std::string* failure) {
  std::deque<RecordPair> records;
  std::vector<PlannedCopy> writes;
  for (std::size_t i = 0; i < files.size() && i < plan.size(); ++i) {
    if (!plan[i].write) continue;
    FolderRecord& record = RecordFor(records, FolderOf(files[i].path));
    record.Set(NameOf(plan[i].path), RecordOf(files[i].path, files[i].bytes, run));
    writes.push_back({files[i].path, plan[i].path, files[i].bytes});
  }
  if (!writes.empty() && !WriteRecordedCopies(records, writes, failure)) return false;
  // The oldest copies that make room: their lines are kept elsewhere. A
  // copy that cannot be removed stays, recorded, and harms nothing.
  std::deque<RecordPair> dropped;
  bool anyDropped = false;
  for (std::size_t i = 0; i < files.size() && i < plan.size(); ++i) {
    if (plan[i].drop.empty()) continue;
    RecordFor(dropped, FolderOf(files[i].path)).Forget(plan[i].drop);
    anyDropped = true;
  }
  if (anyDropped && SaveRecords(dropped, /*working=*/true, nullptr)) {
    for (RecordPair& record : dropped) record.working.DeleteForgotten();
  }
  return true;
}

bool IsRecordedCopy(const std::string& path, Copy copy) {
  const FolderRecord record(FolderOf(path));
  for (int number : record.NumbersOf(NameOf(path), copy)) {
    if (plat::GetPathKind(CopyPath(path, copy, number).c_str()) == plat::PathKind::File) return true;
  }
  return false;
}

namespace {

// The recorded copy of that kind: the newest whose file is there, else
// the newest; 0 when none is recorded.
int RecordedNumber(const FolderRecord& record, const std::string& path, Copy copy) {
  const std::vector<int> numbers = record.NumbersOf(NameOf(path), copy);
  for (auto it = numbers.rbegin(); it != numbers.rend(); ++it) {
    if (plat::GetPathKind(CopyPath(path, copy, *it).c_str()) == plat::PathKind::File) return *it;
  }
  return numbers.empty() ? 0 : numbers.back();
}

}  // namespace

std::string CopyPathOf(const std::string& path, Copy copy) {
  const int number = RecordedNumber(FolderRecord(FolderOf(path)), path, copy);
  return CopyPath(path, copy, number ? number : 1);
}

bool CheckCopy(const std::string& path, Copy copy, CheckedCopy* checked, std::string* failure) {
  const FolderRecord record(FolderOf(path));
  if (record.Unreadable()) {
    *failure = record.UnreadableText();
    return false;
  }
  const int number = RecordedNumber(record, path, copy);
  checked->path = CopyPath(path, copy, number ? number : 1);
  const std::string shown = plat::DisplayPath(checked->path.c_str());
  if (plat::GetPathKind(checked->path.c_str()) != plat::PathKind::File) {
    *failure = Printf("%s was not found.", shown.c_str());
    return false;
  }
  const CopyRecord* recorded = number ? record.Find(NameOf(checked->path)) : nullptr;
  if (!recorded) {
    *failure = Printf("%s is not named in %s, so it cannot be known to be a whole copy.", shown.c_str(),
                      plat::DisplayPath(record.Path().c_str()).c_str());
    return false;
  }
  if (const plat::Result read = plat::ReadWholeFile(checked->path.c_str(), &checked->bytes); !read) {
    *failure = Printf("%s could not be read%s.", shown.c_str(), read.Because().c_str());
    return false;
  }
  if (!Matches(*recorded, checked->bytes.View())) {
    *failure = Printf("%s does not hold the copy made on %s (it has %zu bytes, %" PRIu64
                      " were kept): it may be incomplete.",
                      shown.c_str(), recorded->made.c_str(), checked->bytes.View().size(), recorded->size);
    return false;
  }
  checked->record = *recorded;
  return true;
}

}  // namespace engine
