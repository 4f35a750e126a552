#pragma once

#include <cstddef>
#include <string>

namespace trelk {

class UrlList;

// What the URL dialog (TfrmURLcfg) edits and decides, in its two stages: the address first,
// then the name. The dialog only shows this state. Opening takes the selected row (or a new
// one); closing, whichever way, settles the row and saves the list.
class UrlEditor {
public:
    static constexpr std::size_t MaxFieldLength = 255; // edtURL
    static constexpr const char* UrlLabel = "Enter the URL";
    static constexpr const char* NameLabel =
        "Enter a name for this URL, or leave blank to list the actual URL";

    explicit UrlEditor(UrlList& list) : list_(list) {}

    // lvBrowserDblClick: selectedRow, or -1 when no row is selected (a new row is added).
    void Open(int selectedRow);
    std::string Caption() const; // "Define URL: " + the 1-based row number
    int Stage() const { return stage_; }
    const std::string& Label() const { return label_; }
    int Row() const { return row_; }
    bool IsOpen() const { return open_; }

    // What edtURL holds; the dialog writes the pilot's typing here before OK.
    std::string Field;

    // "OK" or Enter: stage 1 keeps the address and asks for the name; stage 2 sets both and
    // closes.
    void Ok();
    // "Remove": the row loses its name and address (so it goes) and the dialog closes.
    void Remove();
    // "Cancel", or the dialog closed any other way: nothing changes.
    void Cancel();

private:
    void Close();

    UrlList& list_;
    int row_ = -1;
    int stage_ = 1;
    bool open_ = false;
    std::string label_ = UrlLabel;
    std::string keptUrl_;
};

} // namespace trelk
