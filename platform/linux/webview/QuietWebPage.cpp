#include "QuietWebPage.h"

#include <QAuthenticator>
#include <QWebEngineFullScreenRequest>

namespace trelk {

QuietWebPage::QuietWebPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent) {
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& origin, Feature feature) {
                setFeaturePermission(origin, feature, PermissionDeniedByUser);
            });
    // An empty answer cancels the log-in; the page shows what the server sends for it.
    connect(this, &QWebEnginePage::authenticationRequired, this,
            [](const QUrl&, QAuthenticator* authenticator) { *authenticator = QAuthenticator(); });
    connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
            [](const QUrl&, QAuthenticator* authenticator, const QString&) {
                *authenticator = QAuthenticator();
            });
    connect(this, &QWebEnginePage::fullScreenRequested, this,
            [](QWebEngineFullScreenRequest request) { request.reject(); });
}

void QuietWebPage::javaScriptAlert(const QUrl&, const QString&) {}

bool QuietWebPage::javaScriptConfirm(const QUrl&, const QString&) {
    return false;
}

bool QuietWebPage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) {
    return false;
}

QWebEnginePage* QuietWebPage::createWindow(WebWindowType) {
    return nullptr;
}

QStringList QuietWebPage::chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) {
    return {};
}

// A page's own log lines would only fill the helper's standard error.
void QuietWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                            const QString&) {}

} // namespace trelk
