#include "staging/FileSwap.h"

#include <algorithm>
#include <cinttypes>
#include <cstdlib>
#include <memory>
#include <optional>

#include "backups/Checksum.h"
#include "staging/RunLocks.h"
#include "text/Text.h"
#include "platform/FileReplacement.h"
#include "platform/FileSystem.h"
#include "platform/Profile.h"
#include "platform/Result.h"

namespace engine {
namespace {

std::string RecordPath(const std::string& folder) { return folder + "\\" + kIntentRecordName; }

// The folders that hold the record: both, or one when they are the same.
std::vector<std::string> RecordFolders(const std::string& configFolder, const std::string& modelListFolder) {
  std::vector<std::string> folders = {configFolder};
  if (!plat::IsSameFolder(configFolder.c_str(), modelListFolder.c_str())) folders.push_back(modelListFolder);
  return folders;
}

// A content as the record tells it.
struct Content {
  std::uint64_t size = 0;
  std::uint32_t crc = 0;
  bool Is(std::string_view bytes) const { return bytes.size() == size && Crc32(bytes) == crc; }
};

Content ContentOf(std::string_view bytes) { return Content{bytes.size(), Crc32(bytes)}; }

// The record as it is read back.
struct Intent {
  std::string command;
  std::string started;
  struct File {
    std::string path;  // the file replaced
    std::string temp;  // its new content, until renamed
    Content after;
    bool existed = true;
    Content before;
    std::string copy;  // holds `before`
  };
  std::vector<File> files;
  struct Texture {
    std::string path;
    std::string temp;
  };
  std::vector<Texture> textures;
  std::vector<PendingCopy> kept;  // the run's copies of both files, pending
};

std::string ContentKeys(const char* prefix, const Content& content) {
  return Printf("%sSize=%" PRIu64 "\n%sCRC32=%08" PRIx32 "\n", prefix, content.size, prefix, content.crc);
}

std::string IntentText(const char* command, const RunStamp& run, const std::vector<Intent::File>& files,
                       const std::vector<TextureChange>& textures, const std::vector<PendingCopy>& keptCopies) {
  std::string text =
      "; Quorvane was replacing the files below when it stopped, if this file is\n"
      "; still here. Its next start finishes that, or puts the files back as they\n"
      "; were, and removes this file.\n"
      "\n[Run]\nCommand=" +
      std::string(command) + "\nStarted=" + run.when + "\nId=" + run.id + "\n";

  for (std::size_t i = 0; i < files.size(); ++i) {
    const Intent::File& file = files[i];
    text += Printf("\n[File.%zu]\n", i + 1) + "Path=" + file.path + "\nNew=" + file.temp + "\n" +
            ContentKeys("New", file.after) + Printf("Existed=%d\n", file.existed ? 1 : 0);
    if (file.existed) text += ContentKeys("Old", file.before) + "Copy=" + file.copy + "\n";
  }
  for (std::size_t i = 0; i < textures.size(); ++i) {
    text += Printf("\n[Texture.%zu]\n", i + 1) + "Path=" + textures[i].target + "\nNew=" + textures[i].temp + "\n";
  }
  for (std::size_t i = 0; i < keptCopies.size(); ++i) {
    const PendingCopy& copy = keptCopies[i];
    text += Printf("\n[Copy.%zu]\nKind=%s\n", i + 1, SuffixOf(copy.kind) + 1) + "Of=" + copy.live +
            "\nWaits=" + copy.temp + "\n" + ContentKeys("", Content{copy.record.size, copy.record.crc}) +
            "Run=" + copy.record.run + "\nMade=" + copy.record.made + "\nPair=" + copy.record.pair + "\n";
  }
  return text;
}

Content ReadContent(const plat::ProfileFile& profile, std::size_t section, const char* prefix) {
  const auto value = [&](const char* key) {
    return std::string(profile.FindInSection(section, (std::string(prefix) + key).c_str()).value_or(""));
  };
  return Content{std::strtoull(value("Size").c_str(), nullptr, 10),
                 static_cast<std::uint32_t>(std::strtoul(value("CRC32").c_str(), nullptr, 16))};
}

// False when the record cannot be read or names no file.
bool ReadIntent(const std::string& path, Intent* intent) {
  plat::ProfileFile profile;
  if (!profile.Load(path.c_str())) return false;
  for (std::size_t i = 0; i < profile.SectionCount(); ++i) {
    const std::string_view name = profile.SectionName(i);
    const auto value = [&](const char* key) { return std::string(profile.FindInSection(i, key).value_or("")); };
    if (name == "Run") {
      intent->command = value("Command");
      intent->started = value("Started");
    } else if (name.substr(0, 5) == "File.") {
      Intent::File file;
      file.path = value("Path");
      file.temp = value("New");
      file.after = ReadContent(profile, i, "New");
      file.existed = value("Existed") != "0";
      if (file.existed) file.before = ReadContent(profile, i, "Old");
      file.copy = value("Copy");
      if (!file.path.empty()) intent->files.push_back(file);
    } else if (name.substr(0, 5) == "Copy.") {
      PendingCopy copy;
      copy.kind = value("Kind") == "orig" ? Copy::Original : Copy::LastRun;
      copy.live = value("Of");
      copy.temp = value("Waits");
      const Content content = ReadContent(profile, i, "");
      copy.record.of = NameOf(copy.live);
      copy.record.size = content.size;
      copy.record.crc = content.crc;
      copy.record.run = value("Run");
      copy.record.made = value("Made");
      copy.record.pair = value("Pair");
      if (!copy.live.empty() && !copy.temp.empty()) intent->kept.push_back(copy);
    } else if (name.substr(0, 8) == "Texture.") {
      Intent::Texture texture{value("Path"), value("New")};
      if (!texture.path.empty() && !texture.temp.empty()) intent->textures.push_back(texture);
    }
  }
  return !intent->files.empty();
}

void RemoveRecords(const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    const std::string path = RecordPath(folder);
    // Tried twice: a record left behind makes the next start look again.
    if (!plat::RemoveFile(path.c_str()) && plat::GetPathKind(path.c_str()) != plat::PathKind::Missing) {
      plat::RemoveFile(path.c_str());
    }
  }
}

bool Exists(const std::string& path) { return plat::GetPathKind(path.c_str()) != plat::PathKind::Missing; }

// Removes a temporary file of ours; tried twice, as a file held for a
// moment (or an injected fault) must not leave it.
void RemoveIfThere(const std::string& path) {
  if (path.empty() || !Exists(path) || plat::RemoveFile(path.c_str()) || !Exists(path)) return;
  plat::RemoveFile(path.c_str());
}

plat::Result PutContent(const std::string& path, std::string_view bytes) {
  plat::FileReplacement::Options options;
  options.translation = plat::TextFile::Translation::Binary;
  return plat::ReplaceFile(path.c_str(), bytes, options);
}

}  // namespace

std::string ConfigFolderOf(const std::string& fsFolder) {
  std::string folder = fsFolder;
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder + "\\aircraft\\csl";
}

std::string TextureCopyFailure(const char* description, const char* source, const char* target,
                               const plat::Result& why) {
  return Printf("\"%s\": %s could not be copied to %s%s", description, plat::DisplayPath(source).c_str(),
                plat::DisplayPath(target).c_str(), why.Because().c_str());
}

void DiscardTextures(const std::vector<TextureChange>& textures) {
  for (const TextureChange& texture : textures) RemoveIfThere(texture.temp);
}

SwapResult SwapIn(const char* command, const RunStamp& run, const std::vector<std::string>& recordFolders,
                  const std::vector<FileChange>& files, const std::vector<TextureChange>& textures, bool* swapping,
                  const std::function<plat::Result()>& done, const std::vector<PendingCopy>& keptCopies) {
  SwapResult result;
  // 1. The new contents, whole and on the disk, beside their files.
  std::vector<std::unique_ptr<plat::FileReplacement>> prepared;
  std::vector<Intent::File> intents;
  for (const FileChange& file : files) {
    auto replacement = std::make_unique<plat::FileReplacement>();
    plat::FileReplacement::Options options;
    options.translation = plat::TextFile::Translation::Binary;
    plat::Result written = replacement->Begin(file.path.c_str(), options);
    if (written) {
      replacement->Write(file.bytes);
      written = replacement->Close();
    }
    if (!written) {
      result.status = SwapStatus::NothingChanged;
      result.failure = Printf("%s could not be written%s", plat::DisplayPath(file.path.c_str()).c_str(),
                              written.Because().c_str());
      result.message = result.failure + ".\n\nNothing has been changed.";
      DiscardTextures(textures);
      return result;  // the temporary files go with `prepared`
    }
    Intent::File intent;
    intent.path = replacement->Target();
    intent.temp = replacement->Temporary();
    intent.after = ContentOf(file.bytes);
    intent.existed = file.existed;
    intent.before = ContentOf(file.before);
    intent.copy = file.keptCopy;
    intents.push_back(intent);
    prepared.push_back(std::move(replacement));
  }

  // 2. The intent, where the next start looks for it. Without a file to
  // replace, texture copies alone need none: each is whole in turn.
  std::vector<std::string> recorded;
  if (!prepared.empty()) {
    const std::string text = IntentText(command, run, intents, textures, keptCopies);
    for (const std::string& folder : recordFolders) {
      plat::FileReplacement::Options options;
      options.links = plat::LinkPolicy::Replace;
      const std::string path = RecordPath(folder);
      recorded.push_back(folder);
      plat::Result written = plat::ReplaceFile(path.c_str(), text, options);
      if (written) written = plat::SyncFolder(folder.c_str());
      if (written) continue;
      result.status = SwapStatus::NothingChanged;
      result.failure = Printf("the record of this run, %s, could not be written%s",
                              plat::DisplayPath(path.c_str()).c_str(), written.Because().c_str());
      result.message = Printf("The record of this run, %s, could not be written%s.\n\nNothing has been changed.",
                              plat::DisplayPath(path.c_str()).c_str(), written.Because().c_str());
      RemoveRecords(recorded);
      DiscardTextures(textures);
      return result;
    }
  }

  // 3. The files, one after the other; a failure puts back those already
  // replaced, from what the run holds of them. So does an exception, which
  // then goes on to the command's entry.
  *swapping = true;
  std::size_t swapped = 0;
  const auto putBack = [&](std::string* notBack) {
    bool back = true;
    for (std::size_t j = 0; j < swapped; ++j) {
      const plat::Result put = files[j].existed ? PutContent(intents[j].path, files[j].before)
                                                : plat::RemoveFile(intents[j].path.c_str());
      if (put) continue;
      back = false;
      if (notBack) {
        *notBack = Printf(" %s, replaced already, could not be put back%s.",
                          plat::DisplayPath(files[j].path.c_str()).c_str(), put.Because().c_str());
      }
    }
    prepared.clear();  // the temporary files not swapped in go
    DiscardTextures(textures);
    if (back) {
      RemoveRecords(recorded);
      *swapping = false;
    }
    return back;
  };
  try {
    for (; swapped < prepared.size(); ++swapped) {
      const plat::Result replaced = prepared[swapped]->Swap();
      if (replaced) continue;
      result.failure = Printf("%s could not be replaced%s", plat::DisplayPath(files[swapped].path.c_str()).c_str(),
                              replaced.Because().c_str());
      std::string notBack;
      if (putBack(&notBack)) {
        result.status = SwapStatus::NothingChanged;
        result.message = result.failure + ".\n\nNothing has been changed.";
      } else {
        result.status = SwapStatus::LeftForRepair;
        result.message = result.failure + "." + notBack + " Quorvane puts it back at its next start";
      }
      return result;
    }
  } catch (...) {
    try {
      putBack(nullptr);
    } catch (...) {
      // What is left is the next start's to repair: the record stays.
    }
    throw;
  }
  for (const TextureChange& texture : textures) {
    const plat::Result moved = plat::MoveFileOver(texture.temp.c_str(), texture.target.c_str());
    if (moved) continue;
    result.textureFailures.push_back(
        TextureCopyFailure(texture.description.c_str(), texture.source.c_str(), texture.target.c_str(), moved));
    RemoveIfThere(texture.temp);
  }

  // 4. The renames on the disk before the record goes.
  for (const std::string& folder : recorded) plat::SyncFolder(folder.c_str());
  plat::Result settled;
  if (done && !(settled = done()) && !(settled = done())) {
    *swapping = false;
    result.unsettled = true;  // the files are whole; the next start finishes the rest
    result.unsettledReason = settled.Because();
    return result;
  }
  RemoveRecords(recorded);
  *swapping = false;
  return result;
}

bool HasInterruptedRun(const std::string& configFolder, const std::string& modelListFolder) {
  return Exists(RecordPath(configFolder)) || Exists(RecordPath(modelListFolder));
}

void ClearIntentRecords(const std::string& configFolder, const std::string& modelListFolder) {
  RemoveRecords(RecordFolders(configFolder, modelListFolder));
}

namespace {

enum class Found { New, Old, Other };

Found Classify(const Intent::File& file) {
  if (!Exists(file.path)) return file.existed ? Found::Other : Found::Old;
  plat::FileBytes bytes;
  if (!plat::ReadWholeFile(file.path.c_str(), &bytes)) return Found::Other;
  if (file.after.Is(bytes.View())) return Found::New;
  if (file.existed && file.before.Is(bytes.View())) return Found::Old;
  return Found::Other;
}

// The copy a file that holds its new content is put back from, as
// recorded; a file the run made is removed instead.
bool CanTakeBack(const Intent::File& file) {
  if (!file.existed) return true;
  plat::FileBytes copy;
  return !file.copy.empty() && plat::ReadWholeFile(file.copy.c_str(), &copy) && file.before.Is(copy.View());
}

// A copy that holds something else is a failure without a reason of the
// system's.
plat::Result TakeBack(const Intent::File& file) {
  if (!file.existed) return plat::RemoveFile(file.path.c_str());
  plat::FileBytes copy;
  if (plat::Result read = plat::ReadWholeFile(file.copy.c_str(), &copy); !read) return read;
  if (!file.before.Is(copy.View())) return plat::Result::Failure("");
  return PutContent(file.path, copy.View());
}

// Whether the file's new content waits whole in its temporary file.
bool Waits(const Intent::File& file) {
  plat::FileBytes bytes;
  return !file.temp.empty() && plat::ReadWholeFile(file.temp.c_str(), &bytes) && file.after.Is(bytes.View());
}

std::string Names(const std::vector<Intent::File>& files) {
  std::string names;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (i > 0) names += i + 1 == files.size() ? " and " : ", ";
    names += NameOf(files[i].path);
  }
  return names;
}

// Renames what waits of the run into place (a file that holds its old
// content gets its new one; one changed since is left alone); false, with
// the reason, when a file cannot be.
bool Finish(const Intent& intent, const std::vector<Found>& found, std::string* failure) {
  for (std::size_t i = 0; i < intent.files.size(); ++i) {
    const Intent::File& file = intent.files[i];
    if (found[i] != Found::Old) continue;
    if (const plat::Result moved = plat::MoveFileOver(file.temp.c_str(), file.path.c_str()); !moved) {
      *failure = Printf("%s could not be replaced%s", plat::DisplayPath(file.path.c_str()).c_str(),
                        moved.Because().c_str());
      return false;
    }
  }
  for (const Intent::Texture& texture : intent.textures) {
    if (Exists(texture.temp)) plat::MoveFileOver(texture.temp.c_str(), texture.path.c_str());
  }
  return true;
}

}  // namespace

Repair RepairInterruptedRun(const std::string& configFolder, const std::string& modelListFolder) {
  Repair repair;
  if (!HasInterruptedRun(configFolder, modelListFolder)) return repair;
  repair.found = true;
  RunLocks locks;
  std::string refusal;
  switch (locks.Take(configFolder, modelListFolder, "repair", /*dryRun=*/false, &refusal, /*sweep=*/false)) {
    case RunLocks::Got::Taken: break;
    case RunLocks::Got::Held: return repair;  // the run that holds the folder wrote the record
    case RunLocks::Got::Failed:
      repair.settled = false;
      repair.line = "A Quorvane run was stopped before it had finished, and its files cannot be looked at: " + refusal;
      return repair;
  }
  if (!HasInterruptedRun(configFolder, modelListFolder)) return repair;  // finished meanwhile

  const std::vector<std::string> folders = RecordFolders(configFolder, modelListFolder);
  Intent intent;
  bool read = false;
  for (const std::string& folder : folders) {
    if (Exists(RecordPath(folder)) && ReadIntent(RecordPath(folder), &intent)) {
      read = true;
      break;
    }
  }
  const auto tidy = [&] {
    RemoveRecords(folders);
    plat::RemoveLeftoverTemporaries(configFolder.c_str(), /*inSubfolders=*/true);
    plat::RemoveLeftoverTemporaries(modelListFolder.c_str());
  };
  if (!read) {
    tidy();
    repair.line = "Quorvane removed the record of a run that was stopped, " + std::string(kIntentRecordName) +
                  ", which named no file it could use.";
    return repair;
  }

  const std::string stopped = Printf("the %s of %s, which had stopped before its end", intent.command.c_str(),
                                     intent.started.empty() ? "an earlier day" : intent.started.c_str());
  std::vector<Found> found;
  std::vector<Intent::File> changedSince;
  std::vector<Intent::File> settledFiles;
  bool anyOld = false;
  for (const Intent::File& file : intent.files) {
    found.push_back(Classify(file));
    (found.back() == Found::Other ? changedSince : settledFiles).push_back(file);
    anyOld = anyOld || found.back() == Found::Old;
  }
  const bool oneChanged = changedSince.size() == 1;
  const std::string leftAsTheyAre = Names(changedSince) + " changed after the stop and " + (oneChanged ? "is" : "are") +
                                    " left as " + (oneChanged ? "it is" : "they are");
  const std::string tail = changedSince.empty() ? std::string() : " (" + leftAsTheyAre + ")";
  if (settledFiles.empty()) {
    // Edited by hand since. When no new content waits any more, the run
    // had replaced every file and stopped only while it put its copies in
    // place: they hold the files as it found them, which restore gives
    // back, so they are put in place rather than lost.
    const bool replacedAll = std::none_of(intent.files.begin(), intent.files.end(), Waits);
    if (const plat::Result settled = replacedAll ? SettleBackups(intent.kept) : plat::Result(); !settled) {
      repair.settled = false;
      repair.line = "Quorvane found " + stopped + ", but could not yet put its copies of the files in place" +
                    settled.Because() + "; it tries again at its next start.";
      return repair;
    }
    tidy();
    repair.line = "Quorvane found " + stopped + ", but " + leftAsTheyAre +
                  (replacedAll ? "; its copies of the files as it found them are kept." : ".");
    return repair;
  }
  const std::string names = Names(settledFiles);
  const bool one = settledFiles.size() == 1;

  // Taken back when a file still holds its old content and every file
  // that holds its new one can get its old one back from the run's copy;
  // without such a copy, finished instead when what waits is whole.
  bool finish = !anyOld;
  if (!finish) {
    for (std::size_t i = 0; i < intent.files.size() && !finish; ++i) {
      finish = found[i] == Found::New && !CanTakeBack(intent.files[i]);
    }
    for (std::size_t i = 0; i < intent.files.size() && finish; ++i) {
      if (found[i] != Found::Old || Waits(intent.files[i])) continue;
      tidy();
      repair.settled = false;
      repair.line = "Quorvane can neither finish nor take back " + stopped +
                    ": the copies it kept are gone. 'quorvane-cli restore' puts back the files as they were "
                    "before the last run.";
      return repair;
    }
  }
  if (!finish) {
    for (std::size_t i = 0; i < intent.files.size(); ++i) {
      if (found[i] != Found::New) continue;
      const plat::Result takenBack = TakeBack(intent.files[i]);
      if (takenBack) continue;
      repair.settled = false;
      repair.line = "Quorvane could not take back " + stopped +
                    Printf(": %s could not be written%s. It tries again at its next start.",
                           plat::DisplayPath(intent.files[i].path.c_str()).c_str(), takenBack.Because().c_str());
      return repair;
    }
  }
  const std::vector<PendingCopy>& copies = intent.kept;
  if (finish) {
    std::string failure;
    if (!Finish(intent, found, &failure)) {
      repair.settled = false;
      repair.line = "Quorvane could not finish " + stopped + ": " + failure + ". It tries again at its next start.";
      return repair;
    }
    if (const plat::Result settled = SettleBackups(copies); !settled) {
      // The copies wait until they are in place: nothing else may sweep
      // them away meanwhile.
      repair.settled = false;
      repair.line = "Quorvane finished " + stopped + ", but could not yet put its copies of the files in place" +
                    settled.Because() + "; it tries again at its next start.";
      return repair;
    }
    repair.line = "Quorvane finished " + stopped + ": " + names + (one ? " holds" : " hold") + " its result" + tail + ".";
  } else {
    DropBackups(copies);
    for (const Intent::File& file : intent.files) RemoveIfThere(file.temp);
    for (const Intent::Texture& texture : intent.textures) RemoveIfThere(texture.temp);
    repair.line = "Quorvane took back " + stopped + ": " + names + (one ? " is as it was" : " are as they were") +
                  " before it" + tail + ".";
  }
  tidy();
  return repair;
}

}  // namespace engine
