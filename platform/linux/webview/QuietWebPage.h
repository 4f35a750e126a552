#pragma once

#include <QWebEnginePage>

namespace trelk {

// A page that never opens anything beside itself: no message boxes, no new windows, no file
// choosers, no permission or log-in questions. The browser lives off the screen while the pilot
// plays, so any of these would wait for an answer nobody can give, or take the game's focus.
class QuietWebPage final : public QWebEnginePage {
public:
    QuietWebPage(QWebEngineProfile* profile, QObject* parent);

protected:
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                          const QString& defaultValue, QString* result) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceID) override;
};

} // namespace trelk
