#pragma once

#include "core/HookSlots.h"
#include "core/Worker.h"
#include "data/DataFile.h"
#include "data/DflrText.h"
#include "data/ListTextIndex.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace trelk {

// One built list as the console reads it. Published whole and never changed afterwards, so a
// reader holding one keeps a consistent text, count and flag while a rebuild replaces it.
struct DataListSnapshot {
    std::string text;
    int groupCount = 0;
    bool noData = false;
    // Where the groups of text start, found once when the list is built (by the worker at
    // start-up), so the console never counts groups from the start of the text.
    ListTextIndex groups;
    // Built from the list's files. Until the start-up worker publishes a kind, its list is an
    // empty stand-in that is not.
    bool published = false;
};

// The three coordinate lists: the file names the pilot chose for each (the "Files" tab), their
// storage in section "DataList" of the settings file, the list texts built from the files, and
// the distance text of a selected entry. Main thread only, except the start-up build that
// BMDThread4 runs; its result is published on the main thread.
class DataLists {
public:
    using TextSink = std::function<void(const std::string&)>;
    struct Hooks {
        // Told after a kind's list was published, so a walk of the old list ends and a page of
        // it on screen is rebuilt: DatabasePages::ListRebuilt.
        std::function<void(int kind)> listRebuilt{};
        // The page's status line gets the DFLR text and the page is redrawn (ConsolePage).
        TextSink setDflrStatus{};
        // AppCore's ShuttingDown, read from the start-up worker's thread: the worker stops
        // between files and publishes nothing once the program closes.
        std::function<bool()> shuttingDown{};
    };

    static constexpr const char* Section = "DataList";
    static constexpr const char* DefaultRoidFile = "MyLumacor.dat";
    // The settings key of each kind, by kind - 1.
    static constexpr std::array<const char*, 3> Keys = {"RoidFiles", "ArtiFiles", "DBFiles"};

    // dataDir and settingsFile as in AppPaths, both reached through fileSystem. addLogLine is the
    // pilot log's AddLogLine; reportError shows a failure the pilot must know (a settings file
    // that cannot be read or written); position gives the stored pilot position.
    DataLists(EventLoop& loop, FileSystem& fileSystem, std::string dataDir,
              std::string settingsFile, TextSink addLogLine, TextSink reportError,
              std::function<LumacorOrigin()> position, Hooks hooks);

    const Hooks& hooks() const { return hooks_; }
    // Told after a kind's list was published.
    void addListView(std::function<void(int kind)> view) { listViews_.push_back(std::move(view)); }

    // --- The "Files" tab ---
    // The data files in DataDir ("*.trk;*.dat"), sorted.
    void RefreshDataDirFiles();
    const std::vector<std::string>& DataDirFiles() const { return dataDirFiles_; }
    // The list of one kind (1..3), sorted without regard to case.
    const std::vector<std::string>& Files(int kind) const;
    // A dropped file: its name without folder joins the list unless the list holds it already
    // (compared without case) or it could not be stored (';' separates stored names).
    bool AddFile(int kind, const std::string& path);
    // The Delete key: removes the row (0-based) of the list; a row outside it removes nothing.
    bool RemoveFile(int kind, int row);
    // The list's "Clear" button.
    void ClearList(int kind);
    // Run after every change of a file list or of the DataDir files.
    void addView(std::function<void()> view) { views_.push_back(std::move(view)); }

    // Save: stores the three lists, then rebuilds kinds 1, 2 and 3. A failed write is
    // reported, returns false and rebuilds nothing.
    bool SaveDataLists();
    // Cancel, the tab's show and start-up: the lists from the settings file. An empty
    // "RoidFiles" value gives the list MyLumacor.dat, saved at once.
    void RestoreDataLists();
    // The "LoadData" value: which kind "//load" rebuilds.
    int LoadDataKind() const;

    // Rebuilds one kind from its files and publishes it. False for a kind outside 1..3.
    bool LoadDataList(int kind);
    // BMDThread4: builds the three lists off the main thread and publishes them on it. A list
    // rebuilt on the main thread meanwhile is newer and is kept.
    bool StartDataListWorker();
    bool DataListWorkerRunning() const { return bmdThread4_.Running(); }
    // FormClose: stops the worker and waits for it; what it built is dropped unpublished.
    void StopDataListWorker() { bmdThread4_.Stop(); }

    std::shared_ptr<const DataListSnapshot> List(int kind) const;
    std::shared_ptr<const std::string> ListText(int kind) const;
    int GroupCount(int kind) const { return List(kind)->groupCount; }
    bool NoData(int kind) const { return List(kind)->noData; }

    // The DFLR text of an entry (without its code character), also handed to setDflrStatus.
    std::string FormatDflr(const std::string& entry);

    static std::vector<std::string> ParseStored(std::string_view stored);
    static std::string ToStored(const std::vector<std::string>& files);

private:
    // A built list with its group index, both made where the list was built.
    struct IndexedBuild {
        DataListBuild build;
        ListTextIndex groups;
    };
    static IndexedBuild Indexed(DataListBuild build);
    void publish(IndexedBuild indexed);
    void setFiles(int kind, std::vector<std::string> files);
    void changed();
    void report(const std::string& message);
    bool shuttingDown() const;
    static std::size_t Index(int kind);

    EventLoop& loop_;
    FileSystem& fileSystem_;
    std::string dataDir_;
    std::string settingsFile_;
    TextSink addLogLine_;
    TextSink reportError_;
    std::function<LumacorOrigin()> position_;
    Hooks hooks_;

    std::vector<std::string> dataDirFiles_;
    std::array<std::vector<std::string>, 3> files_;
    std::array<std::shared_ptr<const DataListSnapshot>, 3> lists_;
    // Counts the publications of each kind, so the worker knows which of its lists are stale.
    std::array<unsigned, 3> generation_{};
    std::vector<std::function<void()>> views_;
    std::vector<std::function<void(int kind)>> listViews_;

    // Written by the worker thread, read by the main thread after the completion was posted.
    std::array<std::vector<std::string>, 3> workerFiles_;
    std::array<unsigned, 3> workerGeneration_{};
    std::vector<IndexedBuild> workerResult_;
    Worker bmdThread4_;
};

template <> struct HookSlotList<DataLists::Hooks> {
    using S = DataLists::Hooks;
    static constexpr const char* Name = "DataLists::Hooks";
    static constexpr std::tuple Slots{TRELK_HOOK_SLOT(S, listRebuilt),
                                      TRELK_HOOK_SLOT(S, setDflrStatus),
                                      TRELK_HOOK_SLOT(S, shuttingDown)};
};
static_assert(ListsEverySlot<DataLists::Hooks>());

} // namespace trelk
