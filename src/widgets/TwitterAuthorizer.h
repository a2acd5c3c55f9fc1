#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QVariantMap>

#include <functional>

class QOAuth1;
class QTimer;

// Signing in to the microblog service with OAuth 1.0a (Qt Network Authorization's QOAuth1):
// a request token, the user's authorization in the browser, then the access token, which is
// stored through TwitterSession. The browser comes back to a local callback
// (QOAuthHttpServerReplyHandler on 127.0.0.1); in PIN mode (no local callback: a browser on
// another machine, or the terminal tool) the authorization page shows a PIN that the user types
// into continueWithPin().
//
// Notifications: "SHK_START_AUTHORIZING" when a sign-in starts, then exactly one of
// "SHK_OAUTH_SHARER_ACCESS_TOKEN_SAVED" or "SHK_OAUTH_SHARER_ACCESS_TOKEN_FAILED" (the service
// down, refused, the user gone for longer than the time limit, or cancel()).
class TwitterAuthorizer : public QObject
{
    Q_OBJECT

public:
    enum class Mode
    {
        Callback,
        Pin
    };
    static constexpr int TimeLimitMs = 10 * 60 * 1000;

    static TwitterAuthorizer& shared();
    // Opens the authorization address; false when no browser could be started. The default
    // asks the desktop (QDesktopServices).
    void setBrowserOpener(std::function<bool(const QUrl&)> opener) { m_opener = std::move(opener); }

    bool isAuthorizing() const { return m_oauth != nullptr; }
    void start(Mode mode = Mode::Callback);
    void continueWithPin(const QString& pin);
    void cancel();

Q_SIGNALS:
    // The page the user must visit; needsPin: the page will show a PIN to type in.
    // browserOpened: it was handed to a browser already.
    void authorizationUrlReady(const QUrl& url, bool needsPin, bool browserOpened);
    void finished(bool ok, const QString& error);

private:
    TwitterAuthorizer() = default;
    void finish(bool ok, const QString& error);
    void granted();
    // Asks the service for the user's display name and keeps it with the account (best effort),
    // then ends the sign-in.
    void rememberFullName(const QString& identifier);

    std::function<bool(const QUrl&)> m_opener;
    QOAuth1* m_oauth = nullptr;
    QTimer* m_limit = nullptr;
    QVariantMap m_lastTokens;
};
