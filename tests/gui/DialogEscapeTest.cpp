// Keyboard use: Escape closes every dialog as its Cancel does: rejected, nothing stored, the
// fields back to what is stored.

#include "BoundMainWindow.h"
#include "downloads/DatabaseDownload.h"
#include "gui/AboutBox.h"
#include "gui/TfmMacroCfg.h"
#include "gui/TfmTrelkConv.h"
#include "gui/TfrmLogBuf.h"
#include "gui/TfrmProxy.h"
#include "gui/TfrmURLcfg.h"
#include "gui/VersionHistoryDialog.h"
#include "log/LogBufSettings.h"
#include "macros/MacroEditor.h"
#include "web/UrlEditor.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace trelk {
namespace {

class DialogEscapeTest : public guitest::BoundMainWindowTest {
protected:
    // Shown, then Escape where the keyboard focus is.
    static void pressEscape(QDialog& dialog) {
        dialog.show();
        QApplication::processEvents();
        QWidget* focused = dialog.focusWidget();
        QTest::keyClick(focused != nullptr ? focused : &dialog, Qt::Key_Escape);
        QApplication::processEvents();
    }
    static void expectRejected(const QDialog& dialog) {
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    std::string settingsFile() const { return folder.read("trelkpro.ini"); }
};

TEST_F(DialogEscapeTest, ProxyFieldsGoBackToTheStoredProxy) {
    const std::string before = settingsFile();
    TfrmProxy dialog(app->proxy(), &form);
    dialog.showMessage = [](const std::string&) {};
    dialog.show();
    dialog.eProxyName->setText("proxy.example");
    dialog.meProxyPort->setText("80a");
    dialog.bSaveClick(); // refused: the port is not a number; the dialog stays open
    ASSERT_TRUE(dialog.isVisible());
    pressEscape(dialog);
    expectRejected(dialog);
    EXPECT_EQ(app->proxy().eProxyName, app->proxy().ProxyHost());
    EXPECT_EQ(dialog.eProxyName->text().toStdString(), app->proxy().ProxyHost());
    EXPECT_EQ(settingsFile(), before);
}

TEST_F(DialogEscapeTest, LogSettingsShowTheStoredLinesAgain) {
    const int stored = app->logBufSettings().Reload();
    const std::string before = settingsFile();
    TfrmLogBuf dialog(app->logBufSettings(), &form);
    dialog.show();
    dialog.seLogBuf->setValue(stored + 50);
    pressEscape(dialog);
    expectRejected(dialog);
    EXPECT_EQ(dialog.seLogBuf->value(), stored);
    EXPECT_EQ(app->logBufSettings().Reload(), stored);
    EXPECT_EQ(settingsFile(), before);
}

TEST_F(DialogEscapeTest, MacroAndUrlStoreNothing) {
    MacroEditor macroEditor(app->macroTable());
    macroEditor.Open(5);
    const std::string macroBefore = app->macroTable().entry(5);
    TfmMacroCfg macro(macroEditor, &form);
    macro.show();
    macro.MacroText->setText("typed, never saved");
    pressEscape(macro);
    expectRejected(macro);
    EXPECT_EQ(app->macroTable().entry(5), macroBefore);

    const std::vector<std::string> urlsBefore = app->urlList().Urls();
    UrlEditor urlEditor(app->urlList());
    urlEditor.Open(-1);
    TfrmURLcfg url(urlEditor, &form);
    url.show();
    url.edtURL->setText("http://typed.example/");
    pressEscape(url);
    expectRejected(url);
    EXPECT_EQ(app->urlList().Urls(), urlsBefore);
    EXPECT_EQ(settingsFile().find("typed.example"), std::string::npos);
}

TEST_F(DialogEscapeTest, DownloadEndsAsTheCloseBoxEndsIt) {
    platform.simHttp().hold();
    app->databaseDownload().RetrieveDatabase();
    ASSERT_TRUE(app->databaseDownload().DownloadRunning());
    form.showDatabaseDialog();
    // The model closes the dialog when the download ends, and the window deletes it.
    QPointer<TfmTrelkConv> dialog(form.databaseDialog());
    ASSERT_FALSE(dialog.isNull());
    pressEscape(*dialog);
    for (int i = 0; i < 100 && app->databaseDownload().DownloadRunning(); ++i) {
        platform.step(0);
        QApplication::processEvents();
    }
    EXPECT_FALSE(app->databaseDownload().DownloadRunning());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
    platform.simHttp().release();
}

TEST_F(DialogEscapeTest, InformationDialogsClose) {
    AboutBox about(app->core().version(), &form);
    pressEscape(about);
    expectRejected(about);
    VersionHistoryDialog history(&form);
    pressEscape(history);
    expectRejected(history);
}

} // namespace
} // namespace trelk
