// Linux: the states a power cut may leave during one install, each laid out
// and recovered. The fault library records every call of one run that
// changes what the disk keeps (tests/helpers/crash_recorder.c); from that
// record this test builds, for every call, the states a crash right before
// it may leave, under this model:
//   - bytes written to a file since its last flush may be lost from any
//     write on (the later ones only with the earlier ones);
//   - a folder's entry changes (made, renamed, removed) since that folder's
//     last flush may be lost, the later ones of a folder only with the
//     earlier ones; a rename is whole or absent, and on the disk once either
//     of its folders is flushed;
//   - a flush of the whole volume puts everything before it on the disk;
//   - modes and times are not modelled.
// Each state is laid out in the installation, the updater runs without an
// archive, and the installation must then be one whole version, the user's
// files kept, the journal gone.
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/install_fixture.h"

using namespace update_e2e;

namespace {

constexpr int kPackFiles = 150;  // replaced files, and as many in a new folder
constexpr std::size_t kStatesWanted = 1200;

struct Call {
  std::string name;
  std::string path;
  std::string second;
  std::string bytes;
};

std::vector<Call> ReadRecord(const fs::path& file, const std::string& root) {
  std::vector<Call> calls;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields(1);
    for (const char c : line) {
      if (c == '\t')
        fields.emplace_back();
      else
        fields.back() += c;
    }
    fields.resize(4);
    Call call{fields[0], fields[1], fields[2], {}};
    for (std::size_t i = 0; i + 1 < fields[3].size(); i += 2) {
      call.bytes += static_cast<char>(std::stoi(fields[3].substr(i, 2), nullptr, 16));
    }
    const bool inside = call.path.rfind(root, 0) == 0 || call.name == "syncfs";
    if (inside) calls.push_back(call);
  }
  return calls;
}

// A change of the disk as the model sees it: an entry change of one or two
// folders, a write or flush of one file, or a flush of a folder or the volume.
struct Change {
  enum Kind { kMake, kRemove, kRename, kWrite, kFlushFile, kFlushFolder, kFlushVolume } kind = kMake;
  int node = -1;  // the entry, or the file written or flushed, or the folder flushed
  int folder = -1;
  std::string name;
  int toFolder = -1;
  std::string toName;
  std::size_t offset = 0;
  std::string bytes;  // a write's; a file flush's: the whole file
};

Change EntryChange(Change::Kind kind, int node, int folder, const std::string& name, int toFolder = -1,
                   const std::string& toName = {}) {
  Change change;
  change.kind = kind;
  change.node = node;
  change.folder = folder;
  change.name = name;
  change.toFolder = toFolder;
  change.toName = toName;
  return change;
}

Change DataChange(Change::Kind kind, int node, std::size_t offset = 0, const std::string& bytes = {}) {
  Change change;
  change.kind = kind;
  change.node = node;
  change.offset = offset;
  change.bytes = bytes;
  return change;
}

// The run's entries by node number, as the run went: paths to nodes, kept up to date.
class LiveTree {
 public:
  explicit LiveTree(const std::string& root) : root_(root) { nodes_[root] = NewNode(true); }
  int NewNode(bool folder) {
    folder_.push_back(folder);
    return static_cast<int>(folder_.size()) - 1;
  }
  int At(const std::string& path) const {
    const auto found = nodes_.find(path);
    return found == nodes_.end() ? -1 : found->second;
  }
  int ParentOf(const std::string& path) const { return At(path.substr(0, path.rfind('/'))); }
  static std::string NameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }
  void Put(const std::string& path, int node) { nodes_[path] = node; }
  void Move(const std::string& from, const std::string& to) {
    std::map<std::string, int> moved;
    for (auto entry = nodes_.begin(); entry != nodes_.end();) {
      if (entry->first == from || entry->first.rfind(from + "/", 0) == 0) {
        moved[to + entry->first.substr(from.size())] = entry->second;
        entry = nodes_.erase(entry);
      } else {
        ++entry;
      }
    }
    for (auto& entry : nodes_) {
      if (entry.first == to || entry.first.rfind(to + "/", 0) == 0) moved.emplace(entry.first, -1);
    }
    for (const auto& entry : moved) {
      if (entry.second < 0)
        nodes_.erase(entry.first);
      else
        nodes_[entry.first] = entry.second;
    }
  }
  void Remove(const std::string& path) { nodes_.erase(path); }
  bool IsFolder(int node) const { return folder_[static_cast<std::size_t>(node)]; }
  int count() const { return static_cast<int>(folder_.size()); }
  const std::map<std::string, int>& nodes() const { return nodes_; }

 private:
  std::string root_;
  std::map<std::string, int> nodes_;
  std::vector<bool> folder_;
};

// The changes of the record, and the installation as the run found it.
struct RunModel {
  std::vector<Change> changes;
  std::vector<Change> initial;  // makes and writes that lay out the state before the run
  int root = 0;
  std::vector<bool> folder;
};

RunModel ModelOf(const std::vector<Call>& calls, const std::string& root) {
  RunModel run;
  LiveTree live(root);
  std::vector<std::string> paths;
  for (auto entry = fs::recursive_directory_iterator(root); entry != fs::recursive_directory_iterator(); ++entry) {
    paths.push_back(entry->path().string());
  }
  std::sort(paths.begin(), paths.end());
  for (const std::string& path : paths) {
    const bool folder = fs::is_directory(path);
    const int node = live.NewNode(folder);
    run.initial.push_back(EntryChange(Change::kMake, node, live.ParentOf(path), LiveTree::NameOf(path)));
    if (!folder) run.initial.push_back(DataChange(Change::kWrite, node, 0, ReadFileBytes(path)));
    live.Put(path, node);
  }
  for (const Call& call : calls) {
    const int node = live.At(call.path);
    if (call.name == "create" || call.name == "mkdir") {
      const int made = live.NewNode(call.name == "mkdir");
      run.changes.push_back(EntryChange(Change::kMake, made, live.ParentOf(call.path), LiveTree::NameOf(call.path)));
      live.Put(call.path, made);
    } else if (call.name == "remove" && node >= 0) {
      run.changes.push_back(EntryChange(Change::kRemove, node, live.ParentOf(call.path), LiveTree::NameOf(call.path)));
      live.Remove(call.path);
    } else if (call.name == "rename" && node >= 0) {
      run.changes.push_back(EntryChange(Change::kRename, node, live.ParentOf(call.path), LiveTree::NameOf(call.path),
                                        live.ParentOf(call.second), LiveTree::NameOf(call.second)));
      live.Move(call.path, call.second);
    } else if (call.name == "trunc" && node >= 0) {
      run.changes.push_back(DataChange(Change::kWrite, node));
    } else if (call.name == "write" && node >= 0) {
      run.changes.push_back(DataChange(Change::kWrite, node, std::stoul(call.second), call.bytes));
    } else if (call.name == "syncfs") {
      run.changes.push_back(DataChange(Change::kFlushVolume, -1));
    } else if (node >= 0) {
      run.changes.push_back(
          DataChange(live.IsFolder(node) ? Change::kFlushFolder : Change::kFlushFile, node, 0, call.bytes));
    }
  }
  for (int node = 0; node < live.count(); ++node) run.folder.push_back(live.IsFolder(node));
  return run;
}

void ApplyWrite(std::string& content, const Change& write) {
  if (write.bytes.empty() && write.offset == 0) content.clear();
  if (content.size() < write.offset + write.bytes.size()) content.resize(write.offset + write.bytes.size());
  content.replace(write.offset, write.bytes.size(), write.bytes);
}

// One state a crash before change `at` may leave: `keep` answers, for each
// change not yet on the disk, whether the disk has it. Laid out below `root`.
void LayOut(const RunModel& run, std::size_t at, const std::function<bool(std::size_t)>& keep, const fs::path& root) {
  std::vector<std::map<std::string, int>> entries(run.folder.size());
  std::vector<std::string> content(run.folder.size());
  for (const Change& change : run.initial) {
    if (change.kind == Change::kMake) entries[static_cast<std::size_t>(change.folder)][change.name] = change.node;
    if (change.kind == Change::kWrite) ApplyWrite(content[static_cast<std::size_t>(change.node)], change);
  }
  for (std::size_t i = 0; i < at; ++i) {
    const Change& change = run.changes[i];
    if (!keep(i)) continue;
    auto& from = entries[static_cast<std::size_t>(std::max(change.folder, 0))];
    if (change.kind == Change::kMake) from[change.name] = change.node;
    if (change.kind == Change::kRemove) from.erase(change.name);
    if (change.kind == Change::kRename) {
      from.erase(change.name);
      entries[static_cast<std::size_t>(change.toFolder)][change.toName] = change.node;
    }
    if (change.kind == Change::kWrite) ApplyWrite(content[static_cast<std::size_t>(change.node)], change);
    if (change.kind == Change::kFlushFile) content[static_cast<std::size_t>(change.node)] = change.bytes;
  }
  std::error_code ignored;
  fs::remove_all(root, ignored);
  std::function<void(int, const fs::path&)> write = [&](int folder, const fs::path& path) {
    fs::create_directories(path);
    for (const auto& [name, node] : entries[static_cast<std::size_t>(folder)]) {
      if (run.folder[static_cast<std::size_t>(node)])
        write(node, path / name);
      else
        std::ofstream(path / name, std::ios::binary) << content[static_cast<std::size_t>(node)];
    }
  };
  write(run.root, root);
}

// Which changes before `at` are on the disk whatever happens next: those
// before a flush that covers them.
std::vector<bool> OnDisk(const RunModel& run, std::size_t at) {
  std::vector<bool> durable(at, false);
  std::size_t volume = 0;
  for (std::size_t i = 0; i < at; ++i) {
    if (run.changes[i].kind == Change::kFlushVolume) volume = i;
  }
  for (std::size_t i = 0; i < at; ++i) {
    const Change& change = run.changes[i];
    durable[i] = i <= volume || change.kind >= Change::kFlushFile;
    for (std::size_t j = i + 1; j < at && !durable[i]; ++j) {
      const Change& flush = run.changes[j];
      const bool folderFlush =
          flush.kind == Change::kFlushFolder &&
          (change.kind == Change::kMake || change.kind == Change::kRemove || change.kind == Change::kRename) &&
          (flush.node == change.folder || flush.node == change.toFolder);
      const bool fileFlush =
          flush.kind == Change::kFlushFile && change.kind == Change::kWrite && flush.node == change.node;
      durable[i] = folderFlush || fileFlush;
    }
  }
  return durable;
}

// A variant: each folder and file keeps a prefix of its changes not on the
// disk, its length drawn (or none: `lostAll`); a rename kept needs both its
// folders to keep it, and each prefix ends at its first change not kept.
std::vector<bool> Variant(const RunModel& run, const std::vector<bool>& durable, std::mt19937& random, bool lostAll) {
  const std::size_t at = durable.size();
  std::map<int, std::vector<std::size_t>> pending;  // by folder, or by file as ~node
  for (std::size_t i = 0; i < at; ++i) {
    if (durable[i]) continue;
    const Change& change = run.changes[i];
    if (change.kind == Change::kWrite) pending[~change.node].push_back(i);
    if (change.kind == Change::kMake || change.kind == Change::kRemove || change.kind == Change::kRename) {
      pending[change.folder].push_back(i);
      if (change.kind == Change::kRename && change.toFolder != change.folder) pending[change.toFolder].push_back(i);
    }
  }
  std::map<int, std::size_t> kept;
  for (const auto& [owner, changes] : pending) {
    kept[owner] = lostAll ? 0 : std::uniform_int_distribution<std::size_t>(0, changes.size())(random);
  }
  std::vector<bool> keep = durable;
  for (bool settled = false; !settled;) {
    settled = true;
    std::vector<int> votes(at, 0);
    for (const auto& [owner, changes] : pending) {
      for (std::size_t k = 0; k < kept[owner]; ++k) ++votes[changes[k]];
    }
    for (auto& [owner, changes] : pending) {
      for (std::size_t k = 0; k < kept[owner]; ++k) {
        const Change& change = run.changes[changes[k]];
        const int needed = change.kind == Change::kRename && change.toFolder != change.folder ? 2 : 1;
        if (votes[changes[k]] < needed) {
          kept[owner] = k;
          settled = false;
          break;
        }
      }
    }
  }
  for (const auto& [owner, changes] : pending) {
    for (std::size_t k = 0; k < kept[owner]; ++k) keep[changes[k]] = true;
  }
  return keep;
}

// The installation's files and folders by path, bytes only.
std::map<std::string, std::string> Contents(const fs::path& root) {
  std::map<std::string, std::string> tree;
  if (!fs::is_directory(root)) return tree;
  for (auto entry = fs::recursive_directory_iterator(root); entry != fs::recursive_directory_iterator(); ++entry) {
    const std::string relative = fs::relative(entry->path(), root).string();
    if (relative == "temp" || relative.rfind("temp/", 0) == 0) continue;
    tree[relative] = entry->is_directory() ? "<dir>" : ReadFileBytes(entry->path());
  }
  return tree;
}

class CrashStates : public InstallRun {
 protected:
  void SetUp() override {
    InstallRun::SetUp();
    std::vector<EntryRecipe> entries = NewVersionEntries();
    for (int i = 0; i < kPackFiles; ++i) {
      entries.push_back(File("update/pack/f" + std::to_string(i), "new pack " + std::to_string(i)));
      entries.push_back(File("update/fresh/f" + std::to_string(i), "fresh " + std::to_string(i)));
    }
    WriteArchive(zip_.string(), entries);
  }
  void WriteOld() {
    WriteOldVersion();
    fs::create_directories(installDir_ / "pack");
    for (int i = 0; i < kPackFiles; ++i) {
      std::ofstream(installDir_ / "pack" / ("f" + std::to_string(i))) << "old pack " << i;
    }
  }
  // Runs the updater with the fault library preloaded and `settings` set.
  RunResult Preloaded(const std::string& zip, const std::vector<std::pair<std::string, std::string>>& settings) {
    std::vector<std::pair<std::string, std::string>> all = settings;
    all.push_back({"LD_PRELOAD", HelperProgram("libfault_injection") + ".so"});
    all.push_back({"ASAN_OPTIONS", "verify_asan_link_order=0"});
    for (const auto& [name, value] : all) setenv(name.c_str(), value.c_str(), 1);
    const RunResult result = UpdateWithoutApp(zip);
    for (const auto& setting : all) unsetenv(setting.first.c_str());
    return result;
  }
};

}  // namespace

TEST_F(CrashStates, EveryStateAPowerCutMayLeaveRecoversToOneWholeVersion) {
  WriteOld();
  const auto oldVersion = Contents(installDir_);
  const fs::path record = root_.path() / "record";
  ASSERT_EQ(Preloaded(zip_.string(), {{"UPDATE_CRASH_RECORD", record.string()}}).exitCode, 0);
  const auto newVersion = Contents(installDir_);
  WriteOld();
  RunModel run = ModelOf(ReadRecord(record, installDir_.string()), installDir_.string());
  // The states are laid out in memory where the system offers it: each
  // recovery flushes the volume, and what the layout wrote would make each
  // wait for the disk.
  const fs::path recorded = installDir_;
  if (fs::is_directory("/dev/shm")) installDir_ = fs::path("/dev/shm") / root_.path().filename();
  const std::size_t calls = run.changes.size();
  ASSERT_GT(calls, 2u * kPackFiles);
  const unsigned seed =
      std::getenv("UPDATE_CRASH_SEED") ? std::atoi(std::getenv("UPDATE_CRASH_SEED")) : std::random_device()();
  std::cout << "crash states: " << calls << " recorded calls, seed " << seed << "\n";
  std::mt19937 random(seed);
  const std::size_t perPoint = std::max<std::size_t>(2, kStatesWanted / calls + 1);
  std::size_t explored = 0;
  std::size_t violations = 0;
  const std::string missing = (root_.path() / "missing.zip").string();
  for (std::size_t at = 0; at <= calls; ++at) {
    const std::vector<bool> durable = OnDisk(run, at);
    for (std::size_t variant = 0; variant < perPoint; ++variant) {
      const std::vector<bool> keep = Variant(run, durable, random, variant == 0);
      LayOut(
          run, at, [&](std::size_t i) { return keep[i]; }, installDir_);
      const auto laidOut = Contents(installDir_ / "temp");
      UpdateWithoutApp(missing);
      ++explored;
      const auto after = Contents(installDir_);
      const bool whole = after == oldVersion || after == newVersion;
      if (whole && !JournalLeft()) continue;
      if (++violations > 3) continue;
      ADD_FAILURE() << "crash before call " << at << " of " << calls << ", variant " << variant << ": "
                    << (whole ? "the journal stayed" : "no whole version");
      std::cout << " the work directory as the crash left it:\n";
      for (const auto& [path, bytes] : laidOut) std::cout << "  temp/" << path << ": " << bytes.substr(0, 60) << "\n";
      std::cout << " the installation after the next run:\n";
      for (const auto& [path, bytes] : after) {
        const auto before = oldVersion.find(path);
        const auto later = newVersion.find(path);
        const char* from = before != oldVersion.end() && before->second == bytes ? "old"
                           : later != newVersion.end() && later->second == bytes ? "new"
                                                                                 : "neither";
        std::cout << "  " << path << ": " << from << " (" << bytes.substr(0, 20) << ")\n";
      }
      for (const auto& [path, bytes] : oldVersion) {
        if (after.count(path) == 0) std::cout << "  " << path << ": missing\n";
      }
    }
  }
  std::error_code ignored;
  if (installDir_ != recorded) fs::remove_all(installDir_, ignored);
  installDir_ = recorded;
  std::cout << "crash states explored: " << explored << ", violations: " << violations << ", seed " << seed << "\n";
  EXPECT_EQ(violations, 0u);
  EXPECT_GE(explored, 1000u);
}
