// Nothing clipped: every text of the main window's tabs and of the dialogs fits its widget, at
// the window's fixed size, in the font the program draws with.

#include "TextFit.h"

#include "BoundMainWindow.h"
#include "downloads/DatabaseDownload.h"
#include "gui/AboutBox.h"
#include "gui/TfmMacroCfg.h"
#include "gui/TfmTrelkConv.h"
#include "gui/TfrmLogBuf.h"
#include "gui/TfrmProxy.h"
#include "gui/TfrmURLcfg.h"
#include "gui/VersionHistoryDialog.h"
#include "macros/MacroEditor.h"
#include "web/UrlEditor.h"

#include <QApplication>
#include <QTabWidget>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk {
namespace {

using ::testing::IsEmpty;

class TextFitTest : public guitest::BoundMainWindowTest {
protected:
    // Laid out as the pilot sees it, then walked.
    static std::vector<std::string> ClippedIn(QWidget& window) {
        window.show();
        QApplication::processEvents();
        std::vector<std::string> clipped;
        guitest::CollectClipped(&window, clipped);
        return clipped;
    }
};

TEST_F(TextFitTest, EveryTabOfTheMainWindowShowsItsTextsWhole) {
    for (int tab = 0; tab < form.PageControl1->count(); ++tab) {
        form.PageControl1->setCurrentIndex(tab);
        QApplication::processEvents();
        std::vector<std::string> clipped;
        guitest::CollectClipped(form.PageControl1->widget(tab), clipped);
        EXPECT_THAT(clipped, IsEmpty())
            << "on the tab " << form.PageControl1->tabText(tab).toStdString();
    }
    std::vector<std::string> frame;
    guitest::CollectClipped(&form, frame);
    EXPECT_THAT(frame, IsEmpty());
}

TEST_F(TextFitTest, EveryDialogShowsItsTextsWhole) {
    AboutBox about(app->core().version(), &form);
    EXPECT_THAT(ClippedIn(about), IsEmpty()) << "About";
    VersionHistoryDialog history(&form);
    EXPECT_THAT(ClippedIn(history), IsEmpty()) << "Version History";
    TfrmProxy proxy(app->proxy(), &form);
    EXPECT_THAT(ClippedIn(proxy), IsEmpty()) << "Proxy";
    TfrmLogBuf logSettings(app->logBufSettings(), &form);
    EXPECT_THAT(ClippedIn(logSettings), IsEmpty()) << "Log settings";

    MacroEditor macroEditor(app->macroTable());
    macroEditor.Open(1);
    TfmMacroCfg macro(macroEditor, &form);
    EXPECT_THAT(ClippedIn(macro), IsEmpty()) << "Macro";

    UrlEditor urlEditor(app->urlList());
    urlEditor.Open(0);
    TfrmURLcfg url(urlEditor, &form);
    EXPECT_THAT(ClippedIn(url), IsEmpty()) << "URL";
    urlEditor.Cancel();

    platform.simHttp().hold();
    app->databaseDownload().RetrieveDatabase();
    TfmTrelkConv download(app->databaseDownload(), &form);
    EXPECT_THAT(ClippedIn(download), IsEmpty()) << "Database download";
    download.closeFromModel();
    platform.simHttp().release();
}

} // namespace
} // namespace trelk
