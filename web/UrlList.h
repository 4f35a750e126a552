#pragma once

#include "core/HookSlots.h"
#include "platform/ports/FileSystem.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace trelk {

// One row of the Web tab's URL list: its name (the caption, may be empty) and its address.
struct UrlListRow {
    std::string Name;
    std::string Url;
    friend bool operator==(const UrlListRow&, const UrlListRow&) = default;
};

// The pilot's own address is the first row, named "Pilot Define URL: " + address; it is made
// or replaced, never added twice. The list is not saved here.
void SetPilotUrl(std::vector<UrlListRow>& rows, const std::string& address);

// The Web tab's list of named addresses (lvBrowser) and its file "TRLP_URL.dat": two lines per
// row, the name then the address, each ending in CR LF. Loaded at start-up, saved after every
// change made on the tab; "//url" changes it in memory only. Main thread only.
class UrlList {
public:
    struct Hooks {
        std::function<void(const std::string&)> addLogLine{};
        // A save that failed: the list on screen stays as it is.
        std::function<void(const std::string&)> reportError{};
    };

    static constexpr const char* FileName = "TRLP_URL.dat";
    static constexpr const char* MissingFileLine = "URL data file not found";
    static constexpr std::string_view PilotMark = "Pilot Define URL";
    // More than any list a pilot keeps: a larger file is not a list of addresses.
    static constexpr std::size_t MaxFileBytes = 4 * 1024 * 1024;

    // filePath: AppDir + FileName.
    UrlList(FileSystem& fileSystem, std::string filePath, Hooks hooks);

    // Start-up: the rows from the file. A missing file is logged and leaves the list empty; one
    // that cannot be read is reported and leaves it empty too (and is not overwritten until
    // the pilot changes the list).
    void LoadList();
    // The whole file from the rows, replaced in one step: a crash during a save leaves the
    // previous list whole. False (and reported) when it could not be written.
    bool SaveList();

    // Set pilot URL ("//url"), in memory only.
    void SetPilotUrl(const std::string& address);
    // DropURLTarget1Drop: a link dropped on the list. A link without an address is ignored;
    // one without a title is named by its address. Saved.
    bool DropLink(const std::string& url, const std::string& title);

    // lvBrowserDblClick, before the dialog: the row to edit, selectedRow when it is a row,
    // otherwise a new empty row appended for it.
    int BeginEdit(int selectedRow);
    // The dialog's outcome for that row (Remove empties both).
    void SetRow(int row, UrlListRow value);
    // After the dialog: a row without an address goes (also a new row that was cancelled); a
    // row without a name is named by its address. Then the list is saved.
    void EndEdit(int row);

    // The drop target exists from start-up until the window goes.
    void SetDropTarget(bool registered) { dropTarget_ = registered; }
    bool DropTarget() const { return dropTarget_; }

    const std::vector<UrlListRow>& Rows() const { return rows_; }
    std::vector<std::string> Captions() const { return Column(&UrlListRow::Name); }
    std::vector<std::string> Urls() const { return Column(&UrlListRow::Url); }

    static std::vector<UrlListRow> Parse(std::string_view text);
    static std::string ToFile(const std::vector<UrlListRow>& rows);

    // Run after every change of the rows. Views live as long as the list or guard themselves.
    void addView(std::function<void()> view) { views_.push_back(std::move(view)); }
    const Hooks& hooks() const { return hooks_; }

private:
    void changed();
    std::vector<std::string> Column(std::string UrlListRow::*field) const;
    bool validRow(int row) const {
        return row >= 0 && static_cast<std::size_t>(row) < rows_.size();
    }

    FileSystem& fileSystem_;
    std::string filePath_;
    Hooks hooks_;
    std::vector<UrlListRow> rows_;
    std::vector<std::function<void()>> views_;
    bool dropTarget_ = false;
};

template <> struct HookSlotList<UrlList::Hooks> {
    using S = UrlList::Hooks;
    static constexpr const char* Name = "UrlList::Hooks";
    static constexpr std::tuple Slots{TRELK_HOOK_SLOT(S, addLogLine),
                                      TRELK_HOOK_SLOT(S, reportError)};
};
static_assert(ListsEverySlot<UrlList::Hooks>());

} // namespace trelk
