#include "IdentificationService.h"

#include "http/MultipartForm.h"
#include "platform/Json.h"
#include "store/ScheduleStore.h"

#include <QDateTime>
#include <QVariantMap>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr int BlockBytes = Matcher::BlockSize * 4;
constexpr int MaxDeviceIdBytes = 128;

HttpResponse result(int value, const char* message = nullptr, int status = 200)
{
    QVariantMap body{{u"Result"_s, value}};
    if (message)
        body.insert(u"Message"_s, QString::fromLatin1(message));
    return HttpResponse::json(body, status);
}

// A verdict with how it was reached, for operators: the bit error rates of the best
// alignment and of the best on any other channel.
HttpResponse result(int value, const Matcher::Result& match, const char* message = nullptr)
{
    QVariantMap body{{u"Result"_s, value},
                     {u"Ber"_s, std::round(match.ber * 1000) / 1000},
                     {u"OtherBer"_s, std::round(match.runnerUpBer * 1000) / 1000}};
    if (message)
        body.insert(u"Message"_s, QString::fromLatin1(message));
    return HttpResponse::json(body);
}

HttpResponse unavailable()
{
    return HttpResponse::unavailable(
        QStringLiteral("The identification service is unavailable for a moment; try again shortly."));
}

Matcher::Block blockOf(const QByteArray& bytes)
{
    Matcher::Block block;
    for (int i = 0; i < Matcher::BlockSize; ++i) {
        const auto* b = reinterpret_cast<const uchar*>(bytes.constData()) + 4 * i;
        block[size_t(i)] = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    }
    return block;
}

} // namespace

IdentificationService::IdentificationService(const Matcher& matcher, DeviceState& devices,
                                             ScheduleStore* store, UploadConfirmation::Settings confirmation)
    : m_matcher(matcher), m_devices(devices), m_store(store), m_confirmation(confirmation)
{}

HttpResponse IdentificationService::handle(const HttpRequest& request)
{
    static const QString base = QStringLiteral("/searchfunctions/");
    if (!request.path.startsWith(base))
        return HttpResponse::error(404, QStringLiteral("Not found."));
    const QString page = request.path.mid(base.size());
    const bool upload = page == u"getstationidresident.php";
    if (!upload && page != u"checkresident.php")
        return HttpResponse::error(404, QStringLiteral("Not found."));
    if (request.method != "POST")
        return result(BadRequest, "POST a multipart form", 400);

    QString error;
    const std::optional<MultipartForm> form =
        MultipartForm::parse(request.header("content-type"), request.body, &error);
    if (!form)
        return result(BadRequest, "the body is not a readable multipart form", 400);
    const QByteArray device = form->field("UserName").trimmed();
    if (device.isEmpty() || device.size() > MaxDeviceIdBytes)
        return result(BadRequest, "the form has no usable \"UserName\"", 400);

    const qint64 nowMs = m_clock ? m_clock() : QDateTime::currentMSecsSinceEpoch();
    switch (m_devices.admit(device, nowMs)) {
    case DeviceState::Admission::TooMany:
        return result(TooMany, "too many requests from this device", 429);
    case DeviceState::Admission::Unavailable:
        return unavailable();
    case DeviceState::Admission::Admitted:
        break;
    }
    m_devices.heard(device, nowMs);
    if (m_store)
        m_store->deviceSeen(QString::fromUtf8(device));

    if (upload) {
        const MultipartForm::Part* file = form->part("request");
        if (!file || file->data.size() != BlockBytes)
            return result(BadRequest, "the form has no 2048-byte \"request\" file", 400);
        const auto earlier = m_devices.kept(device, nowMs);
        if (!earlier)
            return unavailable();
        UploadConfirmation::Upload latest{blockOf(file->data), nowMs, {}};
        return answer(latest, *earlier, device, nowMs);
    }
    // The newest upload matched again: it keeps its own time, for the uploads to agree on.
    const auto found = m_devices.kept(device, nowMs);
    if (!found)
        return unavailable();
    std::vector<UploadConfirmation::Upload> kept = *found;
    if (kept.empty())
        return result(NothingToCheck, "no upload of this device is waiting");
    const UploadConfirmation::Upload latest = kept.back();
    kept.pop_back();
    return answer(latest, kept, device, nowMs);
}

HttpResponse IdentificationService::answer(UploadConfirmation::Upload latest,
                                           const std::vector<UploadConfirmation::Upload>& earlier,
                                           const QByteArray& device, qint64 nowMs)
{
    const Matcher::Result match = m_matcher.match(latest.block);
    if (match.verdict == Matcher::Verdict::Uninformative) {
        if (!m_devices.forget(device))
            return unavailable();
        return result(TooQuiet, "too little sound to match");
    }
    latest.close = match.close;
    const int channel = UploadConfirmation::decide(earlier, latest, match, m_matcher, m_confirmation);
    if (channel > 0) {
        // Answered even when the shared state is lost: the next upload starts afresh anyway.
        m_devices.forget(device);
        return result(channel, match);
    }
    if (!m_devices.keep(device, latest, nowMs))
        return unavailable();
    switch (match.verdict) {
    case Matcher::Verdict::Channel:
        // Weaker: it waits for the device's next upload to agree.
        return result(NoMatchYet, match, "a likely channel waits for the next upload to agree");
    case Matcher::Verdict::Ambiguous:
        return result(Ambiguous, match, "more than one channel carries this audio");
    default:
        return result(NoMatchYet, match, "no channel yet");
    }
}
