#include "data/DataLists.h"

#include "core/IniFile.h"

#include <algorithm>
#include <filesystem>

namespace trelk {

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return Lower(x) == Lower(y); });
}

// The list controls' order: alphabetical without case; equal names in byte order, so the
// order never depends on the order of adding.
bool LessNoCase(const std::string& a, const std::string& b) {
    // Compared through a comparison rather than a transformed view: clang 14 (the fuzzing
    // build) cannot compile libstdc++ 12's views over a string.
    const auto lowerLess = [](char x, char y) { return Lower(x) < Lower(y); };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), lowerLess)) {
        return true;
    }
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), lowerLess)) {
        return false;
    }
    return a < b;
}

bool HasDataFileExtension(std::string_view name) {
    if (name.size() < 4) {
        return false;
    }
    const std::string_view ext = name.substr(name.size() - 4);
    return EqualNoCase(ext, ".trk") || EqualNoCase(ext, ".dat");
}

} // namespace

DataLists::DataLists(EventLoop& loop, FileSystem& fileSystem, std::string dataDir,
                     std::string settingsFile, TextSink addLogLine, TextSink reportError,
                     std::function<LumacorOrigin()> position, Hooks hooks)
    : loop_(loop), fileSystem_(fileSystem), dataDir_(std::move(dataDir)),
      settingsFile_(std::move(settingsFile)), addLogLine_(std::move(addLogLine)),
      reportError_(std::move(reportError)), position_(std::move(position)),
      hooks_(std::move(hooks)),
      bmdThread4_(loop, {.start = {},
                         .execute =
                             [this](Worker& self) {
                                 const auto stop = [this, &self] {
                                     return self.StopRequested() || shuttingDown();
                                 };
                                 for (int kind = DataKind::Roid; kind <= DataKind::Info; ++kind) {
                                     workerResult_.push_back(
                                         Indexed(BuildDataList(fileSystem_, kind, dataDir_,
                                                               workerFiles_[Index(kind)], stop)));
                                     if (stop()) {
                                         // A stopped build is incomplete.
                                         workerResult_.clear();
                                         return;
                                     }
                                 }
                             },
                         .terminate =
                             [this] {
                                 std::vector<IndexedBuild> result = std::move(workerResult_);
                                 workerResult_.clear();
                                 // After the close nothing reaches the log or the console.
                                 if (shuttingDown()) {
                                     return;
                                 }
                                 for (IndexedBuild& indexed : result) {
                                     const std::size_t index = Index(indexed.build.kind);
                                     if (generation_[index] == workerGeneration_[index]) {
                                         publish(std::move(indexed));
                                     }
                                 }
                             }}) {
    const auto empty = std::make_shared<const DataListSnapshot>();
    lists_.fill(empty);
}

std::size_t DataLists::Index(int kind) {
    return DataKind::Valid(kind) ? static_cast<std::size_t>(kind - 1) : 0U;
}

void DataLists::RefreshDataDirFiles() {
    std::vector<std::string> names = fileSystem_.fileNames(dataDir_);
    std::erase_if(names, [](const std::string& name) { return !HasDataFileExtension(name); });
    std::ranges::sort(names, LessNoCase);
    dataDirFiles_ = std::move(names);
    changed();
}

const std::vector<std::string>& DataLists::Files(int kind) const {
    return files_[Index(kind)];
}

bool DataLists::AddFile(int kind, const std::string& path) {
    if (!DataKind::Valid(kind)) {
        return false;
    }
    const std::string name = std::filesystem::path(path).filename().string();
    std::vector<std::string>& files = files_[Index(kind)];
    if (name.empty() || name.find(';') != std::string::npos ||
        std::ranges::any_of(files, [&](const std::string& f) { return EqualNoCase(f, name); })) {
        return false;
    }
    files.insert(std::ranges::upper_bound(files, name, LessNoCase), name);
    changed();
    return true;
}

bool DataLists::RemoveFile(int kind, int row) {
    if (!DataKind::Valid(kind)) {
        return false;
    }
    std::vector<std::string>& files = files_[Index(kind)];
    if (row < 0 || static_cast<std::size_t>(row) >= files.size()) {
        return false;
    }
    files.erase(files.begin() + row);
    changed();
    return true;
}

void DataLists::ClearList(int kind) {
    if (DataKind::Valid(kind)) {
        files_[Index(kind)].clear();
        changed();
    }
}

bool DataLists::SaveDataLists() {
    IniFile ini;
    IniResult result = ini.Load(fileSystem_, settingsFile_);
    // Saving over a file that could not be read would drop every other section in it.
    if (result.ok) {
        ini.writeString(Section, Keys[1], ToStored(files_[1]));
        ini.writeString(Section, Keys[0], ToStored(files_[0]));
        ini.writeString(Section, Keys[2], ToStored(files_[2]));
        result = ini.Save(fileSystem_, settingsFile_);
    }
    if (!result.ok) {
        report("The data file lists were not saved. " + result.message);
        return false;
    }
    for (int kind = DataKind::Roid; kind <= DataKind::Info; ++kind) {
        LoadDataList(kind);
    }
    return true;
}

void DataLists::RestoreDataLists() {
    RefreshDataDirFiles();
    IniFile ini;
    const IniResult loaded = ini.Load(fileSystem_, settingsFile_);
    if (!loaded.ok) {
        // Emptying the lists would lose the pilot's choice at the next save.
        report(loaded.message);
        return;
    }
    bool roidEmpty = false;
    for (int kind = DataKind::Roid; kind <= DataKind::Info; ++kind) {
        const std::string stored = ini.readString(Section, Keys[Index(kind)], "");
        std::vector<std::string> files = ParseStored(stored);
        if (kind == DataKind::Roid && stored.empty()) {
            roidEmpty = true;
            files = {DefaultRoidFile};
        }
        setFiles(kind, std::move(files));
    }
    changed();
    if (roidEmpty) {
        SaveDataLists();
    }
}

int DataLists::LoadDataKind() const {
    IniFile ini;
    if (!ini.Load(fileSystem_, settingsFile_).ok) {
        return DataKind::Roid;
    }
    return ini.readInteger(Section, "LoadData", DataKind::Roid);
}

bool DataLists::LoadDataList(int kind) {
    if (!DataKind::Valid(kind)) {
        return false;
    }
    publish(Indexed(BuildDataList(fileSystem_, kind, dataDir_, files_[Index(kind)])));
    return true;
}

bool DataLists::StartDataListWorker() {
    if (bmdThread4_.Running()) {
        return false;
    }
    // The worker reads its own copies: the lists on the tab may change while it runs.
    workerFiles_ = files_;
    workerGeneration_ = generation_;
    workerResult_.clear();
    return bmdThread4_.Start();
}

DataLists::IndexedBuild DataLists::Indexed(DataListBuild build) {
    ListTextIndex groups(build.text);
    return {std::move(build), std::move(groups)};
}

void DataLists::publish(IndexedBuild indexed) {
    DataListBuild& build = indexed.build;
    for (const std::string& line : build.logLines) {
        if (addLogLine_) {
            addLogLine_(line);
        }
    }
    const std::size_t index = Index(build.kind);
    lists_[index] = std::make_shared<const DataListSnapshot>(DataListSnapshot{
        std::move(build.text), build.groupCount, build.noData, std::move(indexed.groups), true});
    ++generation_[index];
    if (hooks_.listRebuilt) {
        hooks_.listRebuilt(build.kind);
    }
    for (const auto& view : listViews_) {
        view(build.kind);
    }
}

std::shared_ptr<const DataListSnapshot> DataLists::List(int kind) const {
    return lists_[Index(kind)];
}

std::shared_ptr<const std::string> DataLists::ListText(int kind) const {
    std::shared_ptr<const DataListSnapshot> list = List(kind);
    return {list, &list->text};
}

std::string DataLists::FormatDflr(const std::string& entry) {
    const std::string text = FormatDflrText(entry, position_ ? position_() : LumacorOrigin{});
    if (hooks_.setDflrStatus) {
        hooks_.setDflrStatus(text);
    }
    return text;
}

std::vector<std::string> DataLists::ParseStored(std::string_view stored) {
    // Empty fields and repeated names (only a hand-edited value has them) would load a file
    // twice; the list never holds either.
    std::vector<std::string> files;
    std::size_t start = 0;
    while (start <= stored.size()) {
        const auto end = std::min(stored.find(';', start), stored.size());
        const std::string name(stored.substr(start, end - start));
        if (!name.empty() && std::ranges::none_of(files, [&](const std::string& f) {
                return EqualNoCase(f, name);
            })) {
            files.push_back(name);
        }
        start = end + 1;
    }
    std::ranges::sort(files, LessNoCase);
    return files;
}

std::string DataLists::ToStored(const std::vector<std::string>& files) {
    std::string stored;
    for (const std::string& name : files) {
        stored += name;
        stored += ';';
    }
    return stored;
}

void DataLists::setFiles(int kind, std::vector<std::string> files) {
    files_[Index(kind)] = std::move(files);
}

void DataLists::changed() {
    for (const auto& view : views_) {
        view();
    }
}

bool DataLists::shuttingDown() const {
    return hooks_.shuttingDown && hooks_.shuttingDown();
}

void DataLists::report(const std::string& message) {
    if (reportError_) {
        reportError_(message);
    }
}

} // namespace trelk
