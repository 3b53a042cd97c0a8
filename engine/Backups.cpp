#include "Backups.h"

#include <cinttypes>
#include <ctime>
#include <deque>
#include <optional>

#include "Checksum.h"
#include "FileReplacement.h"
#include "FileSystem.h"
#include "Profile.h"
#include "SystemError.h"
#include "Text.h"

namespace engine {
namespace {

// The record of one folder, as loaded and as it will be written.
class FolderRecord {
 public:
  explicit FolderRecord(std::string folder) : m_folder(std::move(folder)) {
    plat::ProfileFile profile;
    profile.Load(Path().c_str());  // a missing record names no copy
    for (std::size_t i = 0; i < profile.SectionCount(); ++i) {
      const auto value = [&](const char* key) { return std::string(profile.FindInSection(i, key).value_or("")); };
      CopyRecord copy;
      copy.of = value("Of");
      copy.size = std::strtoull(value("Size").c_str(), nullptr, 10);
      copy.crc = static_cast<std::uint32_t>(std::strtoul(value("CRC32").c_str(), nullptr, 16));
      copy.run = value("Run");
      copy.made = value("Made");
      m_copies[std::string(profile.SectionName(i))] = copy;
    }
  }

  const std::string& Folder() const { return m_folder; }
  std::string Path() const { return m_folder + "\\" + kBackupRecordName; }
  const CopyRecord* Find(const std::string& name) const {
    const auto it = m_copies.find(name);
    return it == m_copies.end() ? nullptr : &it->second;
  }
  void Set(const std::string& name, const CopyRecord& copy) { m_copies[name] = copy; }

  bool Save() const {
    std::string text =
        "; What Quorvane keeps of the files in this folder. A copy below is put\n"
        "; back only while its size and CRC-32 are the ones recorded here.\n";
    for (const auto& [name, copy] : m_copies) {
      text += "\n[" + name + "]\nOf=" + copy.of + Printf("\nSize=%" PRIu64 "\nCRC32=%08" PRIx32, copy.size, copy.crc) +
              "\nRun=" + copy.run + "\nMade=" + copy.made + "\n";
    }
    plat::FileReplacement::Options options;
    options.links = plat::LinkPolicy::Replace;
    return plat::ReplaceFile(Path().c_str(), text, options);
  }

 private:
  std::string m_folder;
  std::map<std::string, CopyRecord> m_copies;
};

CopyRecord RecordOf(const std::string& livePath, std::string_view bytes, const RunStamp& run) {
  return CopyRecord{NameOf(livePath), bytes.size(), Crc32(bytes), run.id, run.when};
}

bool Matches(const CopyRecord& record, std::string_view bytes) {
  return record.size == bytes.size() && record.crc == Crc32(bytes);
}

// Writes a copy whole: flushed to disk before it takes its name; it gets
// the permission bits and owner of the file it keeps.
bool WriteCopy(const std::string& livePath, const std::string& copyPath, std::string_view bytes,
               std::string* failure) {
  plat::FileReplacement::Options options;
  options.translation = plat::TextFile::Translation::Binary;
  options.links = plat::LinkPolicy::Replace;
  options.attributesOf = livePath.c_str();
  if (plat::ReplaceFile(copyPath.c_str(), bytes, options)) return true;
  *failure = Printf("%s could not be backed up to %s%s.", plat::DisplayPath(livePath.c_str()).c_str(),
                    plat::DisplayPath(copyPath.c_str()).c_str(), plat::Because().c_str());
  return false;
}

// Whether <file>.orig is to be written now: when there is none, or our
// record names one that is gone. One of ours stays as it is; a file of
// that name that is not ours is left alone, unless it holds exactly what
// is to be kept, when it is taken as ours.
enum class OriginalIs { Missing, Ours, Adoptable, NotOurs };

OriginalIs LookAtOriginal(const FolderRecord& record, const std::string& copyPath, std::string_view bytes) {
  // A link at the name holds nothing of the user's; it is replaced, never
  // followed.
  if (plat::GetPathKind(copyPath.c_str()) == plat::PathKind::Missing || plat::IsLink(copyPath.c_str())) {
    return OriginalIs::Missing;
  }
  plat::FileBytes onDisk;
  if (!plat::ReadWholeFile(copyPath.c_str(), &onDisk)) return OriginalIs::NotOurs;
  const CopyRecord* recorded = record.Find(NameOf(copyPath));
  if (recorded && Matches(*recorded, onDisk.View())) return OriginalIs::Ours;
  if (!recorded && onDisk.View() == bytes) return OriginalIs::Adoptable;
  return OriginalIs::NotOurs;
}

FolderRecord& RecordFor(std::deque<FolderRecord>& records, const std::string& folder) {
  for (FolderRecord& record : records) {
    if (record.Folder() == folder) return record;
  }
  records.emplace_back(folder);
  return records.back();
}

bool SaveRecords(const std::deque<FolderRecord>& records, std::string* failure) {
  for (const FolderRecord& record : records) {
    if (record.Save()) continue;
    *failure = Printf("The record of the backups, %s, could not be written%s.",
                      plat::DisplayPath(record.Path().c_str()).c_str(), plat::Because().c_str());
    return false;
  }
  return true;
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
  // Two runs of one process in one second still differ.
  static unsigned long sequence = 0;
  return RunStamp{Printf("%s-%lu-%lu", id, plat::ProcessId(), ++sequence), when};
}

bool KeepBackups(const std::vector<FoundFile>& files, const RunStamp& run, std::string* failure) {
  std::deque<FolderRecord> records;  // stays where it is as it grows
  // Every copy is on disk before a record names it.
  std::vector<std::pair<FolderRecord*, std::pair<std::string, CopyRecord>>> entries;
  for (const FoundFile& file : files) {
    FolderRecord& record = RecordFor(records, FolderOf(file.path));
    const CopyRecord copy = RecordOf(file.path, file.bytes, run);
    const std::string original = file.path + SuffixOf(Copy::Original);
    switch (LookAtOriginal(record, original, file.bytes)) {
      case OriginalIs::Missing:
        if (!WriteCopy(file.path, original, file.bytes, failure)) return false;
        [[fallthrough]];
      case OriginalIs::Adoptable:
        entries.push_back({&record, {NameOf(original), copy}});
        break;
      case OriginalIs::Ours:
      case OriginalIs::NotOurs:
        break;
    }
    const std::string lastRun = file.path + SuffixOf(Copy::LastRun);
    if (!WriteCopy(file.path, lastRun, file.bytes, failure)) return false;
    entries.push_back({&record, {NameOf(lastRun), copy}});
  }
  for (const auto& [record, entry] : entries) record->Set(entry.first, entry.second);
  return SaveRecords(records, failure);
}

bool KeepBeforeRestore(const FoundFile& file, const RunStamp& run, std::string* failure) {
  const std::string copyPath = file.path + SuffixOf(Copy::BeforeRestore);
  if (!WriteCopy(file.path, copyPath, file.bytes, failure)) return false;
  std::deque<FolderRecord> records;
  records.emplace_back(FolderOf(file.path));
  records.back().Set(NameOf(copyPath), RecordOf(file.path, file.bytes, run));
  return SaveRecords(records, failure);
}

bool IsRecordedCopy(const std::string& path, Copy copy) {
  const std::string copyPath = path + SuffixOf(copy);
  if (plat::GetPathKind(copyPath.c_str()) != plat::PathKind::File) return false;
  return FolderRecord(FolderOf(path)).Find(NameOf(copyPath)) != nullptr;
}

bool CheckCopy(const std::string& path, Copy copy, CheckedCopy* checked, std::string* failure) {
  checked->path = path + SuffixOf(copy);
  const std::string shown = plat::DisplayPath(checked->path.c_str());
  if (plat::GetPathKind(checked->path.c_str()) != plat::PathKind::File) {
    *failure = Printf("%s was not found.", shown.c_str());
    return false;
  }
  const FolderRecord record(FolderOf(path));
  const CopyRecord* recorded = record.Find(NameOf(checked->path));
  if (!recorded) {
    *failure = Printf("%s is not named in %s, so it cannot be known to be a whole copy.", shown.c_str(),
                      plat::DisplayPath(record.Path().c_str()).c_str());
    return false;
  }
  if (!plat::ReadWholeFile(checked->path.c_str(), &checked->bytes)) {
    *failure = Printf("%s could not be read%s.", shown.c_str(), plat::Because().c_str());
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
