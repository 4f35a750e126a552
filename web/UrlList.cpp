#include "web/UrlList.h"

namespace trelk {

void SetPilotUrl(std::vector<UrlListRow>& rows, const std::string& address) {
    UrlListRow row{std::string(UrlList::PilotMark) + ": " + address, address};
    if (!rows.empty() && std::string_view(rows.front().Name).starts_with(UrlList::PilotMark)) {
        rows.front() = std::move(row);
    } else {
        rows.insert(rows.begin(), std::move(row));
    }
}

UrlList::UrlList(FileSystem& fileSystem, std::string filePath, Hooks hooks)
    : fileSystem_(fileSystem), filePath_(std::move(filePath)), hooks_(std::move(hooks)) {}

void UrlList::LoadList() {
    rows_.clear();
    const FileReadResult read = fileSystem_.readFile(filePath_, MaxFileBytes);
    switch (read.status) {
    case FileReadResult::Status::Ok:
        rows_ = Parse(read.content);
        break;
    case FileReadResult::Status::Missing:
        if (hooks_.addLogLine) {
            hooks_.addLogLine(MissingFileLine);
        }
        break;
    case FileReadResult::Status::TooLarge:
    case FileReadResult::Status::Failed:
        if (hooks_.reportError) {
            hooks_.reportError("The web page list " + filePath_ + " could not be read" +
                               (read.error.empty() ? std::string(".") : ": " + read.error));
        }
        break;
    }
    changed();
}

bool UrlList::SaveList() {
    const FileWriteResult written = fileSystem_.replaceFile(filePath_, ToFile(rows_));
    if (!written.ok) {
        if (hooks_.reportError) {
            hooks_.reportError("The web page list was not saved to " + filePath_ + ": " +
                               written.error);
        }
        return false;
    }
    return true;
}

void UrlList::SetPilotUrl(const std::string& address) {
    trelk::SetPilotUrl(rows_, address);
    changed();
}

bool UrlList::DropLink(const std::string& url, const std::string& title) {
    if (url.empty()) {
        return false;
    }
    rows_.push_back({title.empty() ? url : title, url});
    changed();
    SaveList();
    return true;
}

int UrlList::BeginEdit(int selectedRow) {
    if (validRow(selectedRow)) {
        return selectedRow;
    }
    rows_.push_back({});
    changed();
    return static_cast<int>(rows_.size()) - 1;
}

void UrlList::SetRow(int row, UrlListRow value) {
    if (validRow(row)) {
        rows_[static_cast<std::size_t>(row)] = std::move(value);
        changed();
    }
}

void UrlList::EndEdit(int row) {
    if (validRow(row)) {
        UrlListRow& edited = rows_[static_cast<std::size_t>(row)];
        if (edited.Url.empty()) {
            rows_.erase(rows_.begin() + row);
        } else if (edited.Name.empty()) {
            edited.Name = edited.Url;
        }
        changed();
    }
    SaveList();
}

std::vector<std::string> UrlList::Column(std::string UrlListRow::*field) const {
    std::vector<std::string> column;
    column.reserve(rows_.size());
    for (const UrlListRow& row : rows_) {
        column.push_back(row.*field);
    }
    return column;
}

std::vector<UrlListRow> UrlList::Parse(std::string_view text) {
    // Lines end in CR LF; a lone LF (a file edited elsewhere) ends one too.
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    std::vector<UrlListRow> rows;
    for (std::size_t i = 0; i < lines.size(); i += 2) {
        rows.push_back({lines[i], i + 1 < lines.size() ? lines[i + 1] : std::string()});
    }
    return rows;
}

std::string UrlList::ToFile(const std::vector<UrlListRow>& rows) {
    std::string text;
    for (const UrlListRow& row : rows) {
        text += row.Name + "\r\n" + row.Url + "\r\n";
    }
    return text;
}

void UrlList::changed() {
    for (const auto& view : views_) {
        view();
    }
}

} // namespace trelk
