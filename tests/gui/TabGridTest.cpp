// The tabs' groups stand in a tidy grid: the groups of a column share its left edge and width,
// and none runs past the page.

#include "BoundMainWindow.h"

#include <QApplication>
#include <QGroupBox>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>

namespace trelk {
namespace {

class TabGridTest : public guitest::BoundMainWindowTest {
protected:
    // The page's group boxes (those directly on it or on its one content widget), by the
    // left edge of their column.
    std::map<int, std::vector<QRect>> columns(const char* sheetName) {
        QWidget* page = form.PageControl1->findChild<QWidget*>(sheetName);
        form.PageControl1->setCurrentWidget(page);
        QApplication::processEvents();
        std::map<int, std::vector<QRect>> byLeft;
        for (QGroupBox* group : page->findChildren<QGroupBox*>()) {
            if (qobject_cast<QGroupBox*>(group->parentWidget()) != nullptr) {
                continue; // nested in another group
            }
            const QRect onPage(group->mapTo(page, QPoint(0, 0)), group->size());
            EXPECT_TRUE(page->rect().contains(onPage)) << group->objectName().toStdString();
            byLeft[onPage.left()].push_back(onPage);
        }
        return byLeft;
    }
    static void expectEvenColumns(const std::map<int, std::vector<QRect>>& byLeft,
                                  std::size_t expectedColumns) {
        EXPECT_EQ(byLeft.size(), expectedColumns);
        for (const auto& [left, groups] : byLeft) {
            for (const QRect& group : groups) {
                EXPECT_EQ(group.width(), groups.front().width()) << "column at x " << left;
            }
        }
    }
};

TEST_F(TabGridTest, SetupStandsInTwoEvenColumns) {
    expectEvenColumns(columns("tsSetup"), 2);
}

TEST_F(TabGridTest, ScannerStandsInTwoEvenColumns) {
    expectEvenColumns(columns("tsScanner"), 2);
}

} // namespace
} // namespace trelk
