// Nothing clipped: every text of the main window's tabs and of the dialogs fits its widget, at
// the window's fixed size, in the font the program draws with.

#include "TextFit.h"

#include "BoundMainWindow.h"
#include "gui/AboutBox.h"
#include "gui/TfrmProxy.h"
#include "gui/VersionHistoryDialog.h"

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
}

} // namespace
} // namespace trelk
