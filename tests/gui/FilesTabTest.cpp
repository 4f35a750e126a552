// The "Files" tab on the offscreen platform, over a DataDir and settings file of the sim file
// system.

#include "gui/FilesTab.h"

#include "data/DataLists.h"
#include "platform/sim/SimEventLoop.h"
#include "support/SimFolder.h"

#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk {
namespace {

using ::testing::IsEmpty;

constexpr const char* Settings = "[Setup]\nLogEnabled=1\n\n[DataList]\nLoadData=2\n"
                                 "RoidFiles=MyLumacor.dat;\nArtiFiles=\nDBFiles=b.trk;\n";

class FilesTabTest : public ::testing::Test {
protected:
    FilesTabTest() {
        files.addFolder(app.file("Data"));
        for (const char* name : {"a.dat", "B.trk", "MyLumacor.dat", "notes.txt"}) {
            app.write(std::string("Data/") + name, "(G)[S]\n1 2 3\n");
        }
        app.write("trelkpro.ini", Settings);
        tab.show();
        tab.tsLumacorShow();
    }
    static QStringList rows(const QListWidget* list) {
        QStringList names;
        for (int row = 0; row < list->count(); ++row) {
            names << list->item(row)->text();
        }
        return names;
    }
    void pick(QListWidget* list, const QString& name) {
        list->setCurrentItem(list->findItems(name, Qt::MatchExactly).value(0));
    }
    // Drags from source onto target and lets go; true when the target took the drop.
    bool drag(const QObject* source, QListWidget* target) {
        tab.DragSource = [source](const QDropEvent&) { return source; };
        const QPoint at = target->viewport()->rect().center();
        QMimeData data;
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target->viewport(), &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target->viewport(), &drop);
        return enter.isAccepted() && drop.isAccepted();
    }
    std::string stored() const { return app.read("trelkpro.ini"); }

    SimFileSystem files;
    testing::SimFolder app{files};
    SimEventLoop loop;
    std::vector<std::string> errors;
    DataLists lists{loop,
                    files,
                    app.dir() + "Data/",
                    app.file("trelkpro.ini"),
                    [](const std::string&) {},
                    [this](const std::string& message) { errors.push_back(message); },
                    [] { return LumacorOrigin{}; },
                    {}};
    FilesTab tab{lists};
};

TEST_F(FilesTabTest, AFileDraggedFromTheFileListJoinsOnce) {
    EXPECT_EQ(tab.lbDataFileDir->toolTip(), "Drag file to one of the lists on the right");
    EXPECT_EQ(tab.lblSaveNote->text(),
              "Changes On this Page will NOT take affect until the Save button is pressed.");
    EXPECT_EQ(rows(tab.lbDataFileDir), QStringList({"a.dat", "B.trk", "MyLumacor.dat"}));
    EXPECT_EQ(rows(tab.lbRPList), QStringList({"MyLumacor.dat"}));
    EXPECT_EQ(rows(tab.lbDBList), QStringList({"b.trk"}));

    pick(tab.lbDataFileDir, "a.dat");
    EXPECT_TRUE(drag(tab.lbDataFileDir, tab.lbRPList));
    EXPECT_EQ(rows(tab.lbRPList), QStringList({"a.dat", "MyLumacor.dat"}));
    drag(tab.lbDataFileDir, tab.lbRPList);
    EXPECT_EQ(rows(tab.lbRPList), QStringList({"a.dat", "MyLumacor.dat"}));
    pick(tab.lbDataFileDir, "B.trk");
    drag(tab.lbDataFileDir, tab.lbDBList);
    EXPECT_EQ(rows(tab.lbDBList), QStringList({"b.trk"})) << "already listed, without case";
    drag(tab.lbDataFileDir, tab.lbSPList);
    EXPECT_EQ(rows(tab.lbSPList), QStringList({"B.trk"}));

    // Only the file list is a source.
    pick(tab.lbRPList, "a.dat");
    EXPECT_FALSE(drag(tab.lbRPList, tab.lbDBList));
    EXPECT_FALSE(drag(nullptr, tab.lbDBList)) << "from another program";
    EXPECT_EQ(rows(tab.lbDBList), QStringList({"b.trk"}));
    EXPECT_EQ(stored(), Settings) << "nothing is stored before Save";
}

TEST_F(FilesTabTest, DeleteClearAndSaveOrCancel) {
    pick(tab.lbDataFileDir, "a.dat");
    drag(tab.lbDataFileDir, tab.lbSPList);
    pick(tab.lbSPList, "a.dat");
    tab.lbSPList->setFocus();
    QTest::keyClick(tab.lbSPList, Qt::Key_Delete);
    EXPECT_THAT(rows(tab.lbSPList), IsEmpty());
    // Nothing chosen: Delete removes nothing.
    tab.lbRPList->clearSelection();
    QTest::keyClick(tab.lbRPList, Qt::Key_Delete);
    EXPECT_EQ(rows(tab.lbRPList), QStringList({"MyLumacor.dat"}));

    QTest::mouseClick(tab.bClearDBList, Qt::LeftButton);
    EXPECT_THAT(rows(tab.lbDBList), IsEmpty());
    drag(tab.lbDataFileDir, tab.lbRPList);
    QTest::mouseClick(tab.bAcceptLumacor, Qt::LeftButton);
    EXPECT_EQ(stored(), "[Setup]\nLogEnabled=1\n\n[DataList]\nLoadData=2\n"
                        "RoidFiles=a.dat;MyLumacor.dat;\nArtiFiles=\nDBFiles=\n");

    // Cancel and showing the tab both go back to what was saved.
    QTest::mouseClick(tab.bClearRPList, Qt::LeftButton);
    QTest::mouseClick(tab.bCancelLumacor, Qt::LeftButton);
    EXPECT_EQ(rows(tab.lbRPList), QStringList({"a.dat", "MyLumacor.dat"}));
    QTest::mouseClick(tab.bClearRPList, Qt::LeftButton);
    tab.tsLumacorShow();
    EXPECT_EQ(rows(tab.lbRPList), QStringList({"a.dat", "MyLumacor.dat"}));
    EXPECT_THAT(errors, IsEmpty());
}

} // namespace
} // namespace trelk
