#include "web/UrlEditor.h"

#include "web/UrlList.h"

namespace trelk {

void UrlEditor::Open(int selectedRow) {
    row_ = list_.BeginEdit(selectedRow);
    stage_ = 1;
    open_ = true;
    label_ = UrlLabel;
    keptUrl_.clear();
    Field = list_.Rows()[static_cast<std::size_t>(row_)].Url.substr(0, MaxFieldLength);
}

std::string UrlEditor::Caption() const {
    return "Define URL: " + std::to_string(row_ + 1);
}

void UrlEditor::Ok() {
    if (!open_) {
        return;
    }
    if (stage_ == 1) {
        keptUrl_ = Field.substr(0, MaxFieldLength);
        Field = list_.Rows()[static_cast<std::size_t>(row_)].Name.substr(0, MaxFieldLength);
        label_ = NameLabel;
        stage_ = 2;
        return;
    }
    list_.SetRow(row_, {Field.substr(0, MaxFieldLength), keptUrl_});
    Close();
}

void UrlEditor::Remove() {
    if (open_) {
        list_.SetRow(row_, {});
        Close();
    }
}

void UrlEditor::Cancel() {
    if (open_) {
        Close();
    }
}

void UrlEditor::Close() {
    open_ = false;
    list_.EndEdit(row_);
}

} // namespace trelk
