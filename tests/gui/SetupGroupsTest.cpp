// The Setup tab's "Market" and "Server" groups and the proxy dialog, bound to the whole
// program on the sim platform.

#include "gui/SetupGroups.h"

#include "gui/TfrmProxy.h"
#include "support/SimDesk.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <thread>

namespace trelk {
namespace {

class SetupGroupsTest : public ::testing::Test, protected testing::SimDesk {
protected:
    SetupGroupsTest() {
        folder.write("trelkpro.ini", "[Setup]\nMarketUpdateInterval=7\nProxyURL=proxy.local\n"
                                     "ProxyPort=3128\n");
        installLibraries();
        start();
        app->core().settings().LoadSettings();
    }
    void settle() {
        while (app->market().DownloadRunning() || app->market().ParseRunning()) {
            platform.step(0);
            std::this_thread::yield();
        }
    }
};

TEST_F(SetupGroupsTest, TheMarketGroupIsAViewOfTheSwitchAndTheInterval) {
    MarketGroup group(app->core().settings().MarketEnable, app->market());
    EXPECT_EQ(group.title(), "Market");
    EXPECT_EQ(group.cbMarketEnable->text(), "Enable Updates");
    EXPECT_EQ(group.seMarketUpdateInterval->value(), 7);
    EXPECT_EQ(group.seMarketUpdateInterval->minimum(), 3);
    EXPECT_EQ(group.seMarketUpdateInterval->maximum(), 30);

    group.cbMarketEnable->click();
    EXPECT_TRUE(app->core().settings().MarketEnable.checked());
    settle();
    EXPECT_EQ(platform.simHttp().requests().size(), 1u);
    // "//getmarket" and the like change the switch from code; the box follows.
    app->core().settings().MarketEnable.setChecked(false);
    EXPECT_FALSE(group.cbMarketEnable->isChecked());

    group.seMarketUpdateInterval->setValue(12);
    EXPECT_EQ(app->core().settings().values().Setup.MarketUpdateInterval, 12);

    group.show();
    group.seMarketUpdateInterval->setFocus();
    QTest::keyClick(group.seMarketUpdateInterval, Qt::Key_Return);
    EXPECT_EQ(group.focusWidget(), group.cbMarketEnable);
}

TEST_F(SetupGroupsTest, TheProxyDialogShowsClearsAndSavesThroughTheModel) {
    ServerGroup group(app->core().settings().ProxyEnabled, app->proxy());
    EXPECT_EQ(group.chkProxyEnabled->text(), " Use ");
    EXPECT_EQ(group.chkProxyEnabled->toolTip(), "Use Proxy Server");
    EXPECT_EQ(group.bProxySet->toolTip(), "Click to enter Proxy Server information.");

    TfrmProxy dialog(app->proxy());
    std::vector<std::string> messages;
    dialog.showMessage = [&](const std::string& text) { messages.push_back(text); };
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Trelk Proxy Settings");
    EXPECT_EQ(dialog.eProxyName->text(), "proxy.local");
    EXPECT_EQ(dialog.meProxyPort->text(), "3128");

    dialog.eProxyName->setText("typed.host");
    dialog.bClear->click();
    EXPECT_EQ(dialog.eProxyName->text(), "proxy.local") << "Clear shows the stored values";

    dialog.meProxyPort->setText("");
    dialog.bSave->click();
    EXPECT_EQ(messages, std::vector<std::string>{"'' is not a valid integer value"});
    EXPECT_TRUE(dialog.isVisible()) << "the dialog stays open";

    dialog.eProxyName->setText("10.0.0.9");
    QTest::keyClicks(dialog.meProxyPort, "80x81");
    EXPECT_EQ(dialog.meProxyPort->text(), "8081") << "only digits enter the port";
    dialog.bSave->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(app->core().settings().values().Setup.ProxyURL, "10.0.0.9");
    EXPECT_EQ(app->core().settings().values().Setup.ProxyPort, 8081);
    EXPECT_NE(folder.read("trelkpro.ini").find("ProxyPort=8081"), std::string::npos);
}

} // namespace
} // namespace trelk
