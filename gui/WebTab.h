#pragma once

#include <QLabel>
#include <QTreeWidget>
#include <QWidget>
#include <functional>

namespace trelk {

class UrlList;

// The widgets of the "Web" tab: the list of named addresses (lvBrowser) with its label. A
// double click edits, adds or removes a row in the URL dialog; a link dragged from a web
// browser or a file manager and dropped on the list is added.
class WebTab final : public QWidget {
public:
    // Opens the URL dialog for a row (-1: none selected); a test may answer it instead.
    using OpenDialog = std::function<void(int selectedRow)>;

    explicit WebTab(UrlList& list, QWidget* parent = nullptr);

    QLabel* lblBrowser = nullptr;
    QTreeWidget* lvBrowser = nullptr;
    OpenDialog openDialog;

    void lvBrowserDblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();

    UrlList& list_;
};

} // namespace trelk
