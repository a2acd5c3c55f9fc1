#include "StatsCommand.h"

#include "CliSession.h"

#include "model/Utilities.h"
#include "platform/HttpFetcher.h"
#include "service/ContentAddresses.h"

#include <QEventLoop>
#include <QTextDocument>
#include <QUrlQuery>

namespace {

constexpr int TimeoutMs = 20000;
constexpr qsizetype MaximumPage = 4 << 20;

// Formatting a page as text lays out no glyphs: font warnings of a process without a
// window system say nothing useful.
void quiet(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtWarningMsg && type != QtDebugMsg && type != QtInfoMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int StatsCommand::run(CliSession& session)
{
    QUrl url = ContentAddresses::statisticsPage();
    // The application's web view sends the device in a cookie; a terminal names it.
    url.setQuery(QUrlQuery{{QStringLiteral("d"), Utilities::getDeviceUniqueID()}});
    QNetworkRequest request(url);
    request.setTransferTimeout(TimeoutMs);
    QEventLoop loop;
    QByteArray page;
    QString failure;
    QObject context;
    HttpFetcher::httpFetcherWithRequest(request)->beginFetch(
        &context,
        [&](HttpFetcher*, const QByteArray& body) {
            page = body.left(MaximumPage);
            loop.quit();
        },
        [&](HttpFetcher*, int status, const QByteArray&) {
            failure = QStringLiteral("The statistics page answered HTTP %1.").arg(status);
            loop.quit();
        },
        [&](HttpFetcher*, const Error& error) {
            failure = error.localizedDescription();
            loop.quit();
        });
    loop.exec();
    if (!failure.isEmpty()) {
        CliSession::fail(failure);
        return 1;
    }
    const QString html = QString::fromUtf8(page);
    QTextDocument document;
    const QtMessageHandler previous = qInstallMessageHandler(quiet);
    document.setHtml(html);
    const QString text = document.toPlainText().trimmed();
    qInstallMessageHandler(previous);
    session.report(QVariantMap{{QStringLiteral("text"), text}}, text);
    return 0;
}
