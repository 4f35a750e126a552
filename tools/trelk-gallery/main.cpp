// trelk-gallery FOLDER: draws the main window's tabs, its dialogs and the tray menu as the
// pilot sees them into FOLDER, one PNG each, with index.html showing them side by side. A tab is
// drawn again at twice the scale by a second run of this program (QT_SCALE_FACTOR is read once,
// when the application starts). Drawn without a screen: the same pictures on every machine.

#include "app/TrelkApp.h"
#include "downloads/DatabaseDownload.h"
#include "gui/AboutBox.h"
#include "gui/TForm1.h"
#include "gui/TfmMacroCfg.h"
#include "gui/TfmTrelkConv.h"
#include "gui/TfrmLogBuf.h"
#include "gui/TfrmProxy.h"
#include "gui/TfrmURLcfg.h"
#include "gui/VersionHistoryDialog.h"
#include "macros/MacroEditor.h"
#include "platform/sim/SimMainWindow.h"
#include "platform/sim/SimPlatform.h"
#include "web/UrlEditor.h"

#include <QApplication>
#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStringList>
#include <QTextStream>
#include <cstdio>
#include <memory>
#include <vector>

namespace trelk {
namespace {

const char* const AppDir = "/sim/TrelkPro/";
const char* const ScaledTab = "tsSetup";
const char* const ScaledOption = "--scaled";

struct Shot {
    QString file;
    QString caption;
};

// A console background of the size the console shows, so the status bar has nothing to say.
std::string ConsoleBackground() {
    QImage picture(256, 256, QImage::Format_RGB32);
    picture.fill(QColor(10, 24, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "BMP");
    return bytes.toStdString();
}

// The program in an application folder of the sim platform, with a database in place so no
// download covers the window at start-up.
class BoundWindow {
public:
    BoundWindow() {
        platform_.simFiles().addFolder("/sim/TrelkPro");
        platform_.simFiles().addFile(std::string(AppDir) + "trelkpro.ini",
                                     "[Setup]\nTrkDate=05-08-17\n");
        platform_.simFiles().addFile(std::string(AppDir) + "Data/MyLumacor.dat",
                                     "(Gallery)\r\n[Rocks]\r\n1 2 3\r\n");
        platform_.simFiles().addFile(std::string(AppDir) + "vorel.bmp", ConsoleBackground());
        platform_.simSound().addSoundFile(std::string(AppDir) + "Sounds/radar-alarm.wav");
        platform_.installHookLibrary(std::string(AppDir) + "TrkHook.so");
        platform_.installOverlayLibrary(std::string(AppDir) + "nexacomms.so");
        app_ = std::make_unique<TrelkApp>(
            platform_, form_, prompts_,
            AppPaths::FromAppDir(AppDir, std::string(AppDir) + "trelkpro.ini"),
            MakeVersionInfo("Trelk Pro", 1, 0, 1, "08-Dec-2026"));
        form_.bind(*app_);
        app_->core().FormCreate();
        form_.show();
        app_->core().FormShow();
        QApplication::processEvents();
    }

    TForm1& form() { return form_; }
    TrelkApp& app() { return *app_; }
    SimPlatform& platform() { return platform_; }

private:
    SimPlatform platform_;
    SimPrompts prompts_;
    TForm1 form_{platform_.hookMessages(), platform_.desktop()};
    std::unique_ptr<TrelkApp> app_;
};

class Gallery {
public:
    explicit Gallery(QString folder) : folder_(std::move(folder)) {}

    bool save(QWidget& widget, const QString& file, const QString& caption) {
        QApplication::processEvents();
        const bool saved = widget.grab().save(folder_ + "/" + file, "PNG");
        if (!saved) {
            std::fprintf(stderr, "trelk-gallery: unable to write %s/%s\n", qPrintable(folder_),
                         qPrintable(file));
        }
        shots_.push_back({file, caption});
        return saved;
    }

    bool saveDialog(QDialog& dialog, const QString& file, const QString& caption) {
        dialog.show();
        const bool saved = save(dialog, file, caption);
        dialog.reject();
        return saved;
    }

    void add(const QString& file, const QString& caption) { shots_.push_back({file, caption}); }

    bool writeIndex() const {
        QFile index(folder_ + "/index.html");
        if (!index.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return false;
        }
        QTextStream out(&index);
        out << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Trelk Pro gallery"
               "</title>\n<style>body{font-family:sans-serif;background:#eef0f3;margin:16px}"
               "main{display:flex;flex-wrap:wrap;gap:16px;align-items:flex-start}"
               "figure{margin:0;padding:8px;background:#fff;border:1px solid #c8ccd2}"
               "figcaption{margin-top:6px;font-size:14px}</style></head>\n<body>\n"
               "<h1>Trelk Pro: tabs, dialogs and the tray menu</h1>\n<main>\n";
        for (const Shot& shot : shots_) {
            out << "<figure><img src=\"" << shot.file.toHtmlEscaped() << "\" alt=\""
                << shot.caption.toHtmlEscaped() << "\"><figcaption>" << shot.caption.toHtmlEscaped()
                << "</figcaption></figure>\n";
        }
        out << "</main>\n</body></html>\n";
        return out.status() == QTextStream::Ok;
    }

private:
    QString folder_;
    std::vector<Shot> shots_;
};

QString TabFile(const QString& sheetName, const QString& suffix = QString()) {
    return QStringLiteral("tab-%1%2.png").arg(sheetName.mid(2).toLower(), suffix);
}

bool DrawEverything(Gallery& gallery) {
    BoundWindow bound;
    TForm1& form = bound.form();
    TrelkApp& app = bound.app();
    bool saved = true;

    for (int tab = 0; tab < form.PageControl1->count(); ++tab) {
        form.PageControl1->setCurrentIndex(tab);
        saved &= gallery.save(form, TabFile(form.PageControl1->widget(tab)->objectName()),
                              QStringLiteral("Tab: ") + form.PageControl1->tabText(tab));
    }

    {
        TfrmProxy dialog(app.proxy(), &form);
        saved &= gallery.saveDialog(dialog, "dialog-proxy.png", "Proxy");
    }
    {
        MacroEditor editor(app.macroTable());
        editor.Open(1);
        TfmMacroCfg dialog(editor, &form);
        saved &= gallery.saveDialog(dialog, "dialog-macro.png", "Macro");
    }
    {
        UrlEditor editor(app.urlList());
        editor.Open(0);
        TfrmURLcfg dialog(editor, &form);
        saved &= gallery.saveDialog(dialog, "dialog-url.png", "URL");
        editor.Cancel();
    }
    {
        TfrmLogBuf dialog(app.logBufSettings(), &form);
        saved &= gallery.saveDialog(dialog, "dialog-log-settings.png", "Log settings");
    }
    {
        // A download waiting for the server's first byte.
        bound.platform().simHttp().hold();
        app.databaseDownload().RetrieveDatabase();
        TfmTrelkConv dialog(app.databaseDownload(), &form);
        dialog.show();
        saved &= gallery.save(dialog, "dialog-download.png", "Database download");
        dialog.closeFromModel();
        bound.platform().simHttp().release();
    }
    {
        VersionHistoryDialog dialog(&form);
        saved &= gallery.saveDialog(dialog, "dialog-version-history.png", "Version History");
    }
    {
        AboutBox dialog(app.core().version(), &form);
        saved &= gallery.saveDialog(dialog, "dialog-about.png", "About");
    }

    form.PopupMenuTrayIcon->popup(form.mapToGlobal(QPoint(0, 0)));
    saved &= gallery.save(*form.PopupMenuTrayIcon, "tray-menu.png", "Tray menu");
    form.PopupMenuTrayIcon->hide();
    return saved;
}

// The one tab drawn at twice the scale, by this program started again with the scale set.
bool DrawScaledTab(const QString& folder) {
    BoundWindow bound;
    TForm1& form = bound.form();
    auto* sheet = form.PageControl1->findChild<QWidget*>(ScaledTab);
    form.PageControl1->setCurrentWidget(sheet);
    Gallery gallery(folder);
    return gallery.save(form, TabFile(ScaledTab, "-x2"), QString());
}

bool RunScaled(const QString& folder) {
    QProcess scaled;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_SCALE_FACTOR", "2");
    scaled.setProcessEnvironment(environment);
    scaled.setProcessChannelMode(QProcess::ForwardedChannels);
    scaled.start(QCoreApplication::applicationFilePath(), {ScaledOption, folder});
    return scaled.waitForFinished(-1) && scaled.exitStatus() == QProcess::NormalExit &&
           scaled.exitCode() == 0;
}

} // namespace
} // namespace trelk

int main(int argc, char* argv[]) {
    const bool scaled = argc == 3 && qstrcmp(argv[1], trelk::ScaledOption) == 0;
    if (argc != 2 && !scaled) {
        std::fprintf(stderr, "usage: trelk-gallery FOLDER\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QString folder = QString::fromLocal8Bit(argv[argc - 1]);
    if (scaled) {
        return trelk::DrawScaledTab(folder) ? 0 : 1;
    }
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "trelk-gallery: unable to create %s\n", qPrintable(folder));
        return 1;
    }
    trelk::Gallery gallery(folder);
    bool saved = trelk::DrawEverything(gallery);
    saved &= trelk::RunScaled(folder);
    gallery.add(trelk::TabFile(trelk::ScaledTab, "-x2"), "Tab: Setup at scale 2");
    saved &= gallery.writeIndex();
    return saved ? 0 : 1;
}
