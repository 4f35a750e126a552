// The Web tab and the URL dialog on the offscreen platform: the dialog's two stages as the
// pilot types them, and links dropped on the list.

#include "gui/WebTab.h"

#include "gui/TfrmURLcfg.h"
#include "support/SimFolder.h"
#include "web/UrlEditor.h"
#include "web/UrlList.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk::testing {
namespace {

using ::testing::ElementsAre;

class WebTabTest : public ::testing::Test {
protected:
    WebTabTest() {
        folder.write(UrlList::FileName, "News\r\nhttp://news.example/\r\n");
        list.LoadList();
    }
    // A drop of mime on the list, as a drag from another program ends.
    bool drop(QMimeData& mime) {
        QWidget* viewport = tab.lvBrowser->viewport();
        const QPoint at = viewport->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &dropped);
        return dropped.isAccepted();
    }

    SimFileSystem files;
    SimFolder folder{files};
    UrlList list{files, folder.file(UrlList::FileName), {}};
    WebTab tab{list};
};

TEST_F(WebTabTest, TheListShowsNameAndAddressColumnsUnderItsLabel) {
    EXPECT_EQ(tab.lblBrowser->text(), "Double click to add, edit or delete entries or Drag a link "
                                      "from your web browser and drop on the list.");
    ASSERT_EQ(tab.lvBrowser->topLevelItemCount(), 1);
    EXPECT_EQ(tab.lvBrowser->headerItem()->text(0), "Name");
    EXPECT_EQ(tab.lvBrowser->headerItem()->text(1), "URL");
    EXPECT_EQ(tab.lvBrowser->topLevelItem(0)->text(1), "http://news.example/");
    EXPECT_EQ(tab.lvBrowser->selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(WebTabTest, TheDialogAsksForTheAddressThenTheNameAndEnterMovesOn) {
    UrlEditor editor(list);
    editor.Open(-1);
    TfrmURLcfg dialog(editor);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Define URL: 2");
    EXPECT_EQ(dialog.lblURLName->text(), "Enter the URL");
    EXPECT_EQ(dialog.edtURL->maxLength(), 255);

    QTest::keyClicks(dialog.edtURL, "http://forum.example/");
    QTest::keyClick(dialog.edtURL, Qt::Key_Return);
    EXPECT_EQ(dialog.lblURLName->text(),
              "Enter a name for this URL, or leave blank to list the actual URL");
    EXPECT_EQ(dialog.edtURL->text(), "");
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClicks(dialog.edtURL, "Forum");
    QTest::mouseClick(dialog.bOK, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_THAT(list.Rows(), ElementsAre(UrlListRow{"News", "http://news.example/"},
                                         UrlListRow{"Forum", "http://forum.example/"}));
    EXPECT_EQ(tab.lvBrowser->topLevelItemCount(), 2) << "the tab shows the saved list";
    EXPECT_EQ(folder.read(UrlList::FileName),
              "News\r\nhttp://news.example/\r\nForum\r\nhttp://forum.example/\r\n");
}

TEST_F(WebTabTest, ClosingTheDialogsWindowIsCancelAndRemoveDeletesTheRow) {
    UrlEditor editor(list);
    editor.Open(-1);
    {
        TfrmURLcfg dialog(editor);
        dialog.show();
        QTest::keyClicks(dialog.edtURL, "http://typed.example/");
        dialog.close();
    }
    EXPECT_EQ(list.Rows().size(), 1U);

    editor.Open(0);
    TfrmURLcfg dialog(editor);
    dialog.show();
    QTest::mouseClick(dialog.bRemove, Qt::LeftButton);
    EXPECT_TRUE(list.Rows().empty());
}

TEST_F(WebTabTest, ALinkDroppedWithoutATitleIsNamedByItsAddressAndPlainTextIsNoLink) {
    list.SetDropTarget(true);
    QMimeData uriList;
    uriList.setUrls({QUrl("http://forum.example/board?id=7")});
    EXPECT_TRUE(drop(uriList));

    QMimeData withTitle;
    const QString moz = "http://market.example/\nMarket prices";
    withTitle.setData("text/x-moz-url",
                      QByteArray(reinterpret_cast<const char*>(moz.utf16()), moz.size() * 2));
    EXPECT_TRUE(drop(withTitle));

    QMimeData text;
    text.setText("http://text.example/");
    EXPECT_FALSE(drop(text));

    EXPECT_THAT(list.Rows(), ElementsAre(UrlListRow{"News", "http://news.example/"},
                                         UrlListRow{"http://forum.example/board?id=7",
                                                    "http://forum.example/board?id=7"},
                                         UrlListRow{"Market prices", "http://market.example/"}));
    EXPECT_EQ(tab.lvBrowser->topLevelItemCount(), 3);

    list.SetDropTarget(false); // the window is going
    EXPECT_FALSE(drop(uriList));
}

} // namespace
} // namespace trelk::testing
