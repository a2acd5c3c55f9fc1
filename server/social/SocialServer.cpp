#include "SocialServer.h"

#include "SocialJson.h"

#include "content/PictureRenderer.h"
#include "store/ScheduleStore.h"

#include <QImage>
#include <QPainter>

using namespace Qt::StringLiterals;

SocialServer::SocialServer(ScheduleStore& store)
    : m_schedule(store), m_store(store), m_verifier(m_store, m_nonces), m_oauth(m_store, m_verifier),
      m_api(m_store)
{
    if (!m_store.consumer(DemoConsumerKey))
        m_store.setConsumer(DemoConsumerKey, DemoConsumerSecret, u"Orvane"_s, u"https://orvane.example/"_s);
}

HttpResponse SocialServer::handle(const HttpRequest& request)
{
    // While the store cannot be reached, no answer is made up from failed reads (a token
    // would read as invalid): the public service's "over capacity".
    ScheduleStore::beginRequest();
    const auto unavailable = [] { return SocialJson::error(503, 130, u"Over capacity."_s); };
    if (!m_schedule.available())
        return unavailable();
    HttpResponse response = route(request);
    if (ScheduleStore::failedSinceBegin() && !m_schedule.available())
        return unavailable();
    return response;
}

HttpResponse SocialServer::route(const HttpRequest& request)
{
    const QString path = request.path.startsWith(u'/') ? request.path.mid(1) : request.path;
    const bool post = request.method == "POST";
    if (path == u"oauth/request_token" && post)
        return m_oauth.requestToken(request);
    if (path == u"oauth/access_token" && post)
        return m_oauth.accessToken(request);
    if (path == u"oauth/authorize")
        return post ? m_oauth.authorize(request) : m_oauth.authorizePage(request);
    if (path.startsWith(u"1.1/"))
        return api(request, path, path.mid(4));
    if (path.startsWith(u"1/"))
        return api(request, path, path.mid(2));
    if (path.startsWith(u"profile_images/") && path.endsWith(u".png"))
        return picture(path.mid(15, path.size() - 19));
    if (path.startsWith(u"media/") && path.endsWith(u".png"))
        return media(path.mid(6, path.size() - 10));
    return SocialJson::error(404, 34, u"Sorry, that page does not exist."_s);
}

HttpResponse SocialServer::api(const HttpRequest& request, const QString& versionedPath, const QString& path)
{
    auto checked = m_verifier.verify(request, StoreToken::Access);
    if (auto* refusal = std::get_if<HttpResponse>(&checked))
        return *refusal;
    const auto& verified = std::get<RequestVerifier::Verified>(checked);
    const std::optional<StoreUser> user = m_store.user(verified.token->userId);
    if (!user)
        return SocialJson::error(401, 89, u"Invalid or expired token."_s);
    if (user->suspended)
        return SocialJson::error(403, 64,
                                 u"Your account is suspended and is not permitted to access this feature."_s);
    if (m_recorder) {
        RecordedCall recorded{request.method, versionedPath, {}, user->screenName};
        for (const auto& pair : verified.parameters)
            recorded.parameters.append({pair.first, pair.second});
        m_recorder(recorded);
    }
    SocialApi::Call call;
    call.method = request.method;
    call.path = path;
    for (const auto& [name, value] : verified.parameters) {
        if (!call.parameters.contains(name))
            call.parameters.insert(name, value);
    }
    call.user = *user;
    call.accessToken = verified.token->token;
    call.base =
        RequestVerifier::schemeOf(request) + u"://"_s + QString::fromUtf8(request.header("host")) + u'/';
    call.source = u"<a href=\""_s + verified.consumerUrl.toHtmlEscaped() + u"\" rel=\"nofollow\">"_s +
                  verified.consumerName.toHtmlEscaped() + u"</a>"_s;
    return m_api.handle(call);
}

HttpResponse SocialServer::picture(const QString& idText)
{
    bool ok = false;
    const qint64 id = idText.toLongLong(&ok);
    const std::optional<StoreUser> user = ok ? m_store.user(id) : std::nullopt;
    if (!user)
        return SocialJson::error(404, 34, u"Sorry, that page does not exist."_s);
    // A disc in a colour of the user's own with the first letter of the name.
    QImage image(96, 96, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromHsv(int((id * 47) % 360), 150, 200));
    painter.drawEllipse(image.rect());
    QFont font = painter.font();
    font.setPixelSize(52);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(image.rect(), Qt::AlignCenter, user->name.left(1).toUpper());
    painter.end();
    return HttpResponse::png(PictureRenderer::png(image));
}

HttpResponse SocialServer::media(const QString& idText)
{
    bool ok = false;
    const qint64 id = idText.toLongLong(&ok);
    const auto stored = ok ? m_store.media(id) : std::nullopt;
    if (!stored)
        return SocialJson::error(404, 34, u"Sorry, that page does not exist."_s);
    return HttpResponse::png(stored->second);
}
