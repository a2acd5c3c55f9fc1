#include "SearchCalls.h"

#include "AudioCallback.h"
#include "FpExtract.h"
#include "popRequest.h"

#include "model/Utilities.h"
#include "platform/JsonValue.h"
#include "platform/Services.h"

#include <QLoggingCategory>
#include <QThread>
#include <QTimer>

#include <cstring>
#include <mutex>

Q_LOGGING_CATEGORY(lcLoop, "orvane.identification")

std::atomic<int> SearchCalls::autoUpdateEnabled{1};

namespace {

std::mutex& timingLock()
{
    static std::mutex lock;
    return lock;
}

SearchCalls::Timing& sharedTiming()
{
    static SearchCalls::Timing timing;
    return timing;
}

} // namespace

SearchCalls* SearchCalls::sharedManager()
{
    SearchCalls& loop = Services::current().obtain<SearchCalls>(
        [] { return std::unique_ptr<SearchCalls>(new SearchCalls(true)); });
    if (!loop.m_started.exchange(true))
        loop.fp_init();
    return &loop;
}

void SearchCalls::setTiming(const Timing& timing)
{
    std::lock_guard guard(timingLock());
    sharedTiming() = timing;
}

SearchCalls::SearchCalls() : SearchCalls(false) {}

SearchCalls::SearchCalls(bool shared) : m_shared(shared), m_info(std::make_unique<AcFpInfo>())
{
    std::lock_guard guard(timingLock());
    m_timing = sharedTiming();
}

SearchCalls::~SearchCalls()
{
    stop();
    if (m_ownCapture)
        m_ownCapture->audio_close();
}

void SearchCalls::fp_init()
{
    m_started = true;
    fp_info_init(m_info.get());
    fp_info_reset(m_info.get(), 512, 64);
    if (m_shared) {
        m_audioBack = AudioCallback::sharedManager(m_info.get());
    } else {
        m_ownCapture = std::make_unique<AudioCallback>();
        m_ownCapture->audio_init(m_info.get());
        m_audioBack = m_ownCapture.get();
    }
    m_uIDdevice = Utilities::getDeviceUniqueID();
    m_searchStep = 0;
    m_searchCount = 0;
    m_oldMessage = -1;
    // The thread exists before any result can arrive, so that every result goes to it.
    setupTimerThread();
    NotificationCenter::defaultCenter().addObserver(
        this, Notifications::CoreFingerPrint,
        [this](const Notification& n) { notificationCentreSearchCalls(n); });
}

void SearchCalls::setupTimerThread()
{
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("identification loop"));
    m_loopContext = new QObject;
    m_loopContext->moveToThread(m_thread);
    const Timing timing = m_timing;
    connect(m_thread, &QThread::started, m_loopContext, [this, timing] {
        // The first tick follows the start delay; the thread keeps serving its queue meanwhile.
        auto* timer = new QTimer(m_loopContext);
        timer->setInterval(timing.tickMs);
        connect(timer, &QTimer::timeout, m_loopContext, [this] { searchAsyncLoop(); });
        QTimer::singleShot(timing.startDelayMs, timer, [timer] {
            qCInfo(lcLoop) << "<< -- END SLEEP";
            timer->start();
        });
    });
    m_thread->start();
}

bool SearchCalls::isLoopThread() const
{
    return m_thread && QThread::currentThread() == m_thread;
}

void SearchCalls::stop()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    if (!m_thread)
        return;
    Q_ASSERT(!isLoopThread());
    QObject* context = m_loopContext;
    QThread* thread = m_thread;
    // An exchange under way would hold the thread for up to its time-out: it is cut short.
    popRequest::abortExchangesOn(thread);
    // The context, its timer and its requests are deleted on their own thread, then the
    // thread ends.
    QMetaObject::invokeMethod(context, [context, thread] {
        delete context;
        thread->quit();
    });
    m_thread->wait();
    popRequest::allowExchangesOn(thread);
    delete m_thread;
    m_thread = nullptr;
    m_loopContext = nullptr;
}

void SearchCalls::searchAsyncLoop()
{
    if (autoUpdateEnabled.load()) {
        ++m_searchCount;
        if (m_searchCount >= searchStepTicks[m_searchStep])
            sendORVRequest();
    } else {
        // Off: every tick resets the ladder, so that switching on sends at the next tick.
        m_searchStep = 0;
        m_searchCount = 0;
    }
}

void SearchCalls::sendORVRequest()
{
    vec32 block;
    fp_extract_block(m_info.get(), &block);
    QByteArray data(block.datasize * 4, Qt::Uninitialized);
    for (int32_t i = 0; i < block.datasize; ++i) {
        const uint32_t value = uint32_t(block.data[i]);
        for (int byte = 0; byte < 4; ++byte)
            data[4 * i + byte] = char((value >> (8 * byte)) & 0xFF);
    }
    block.release();
    if (popRequest::countRequest() <= 4) {
        // On the loop thread a request belongs to the loop, so that stopping the loop ends it.
        auto* request = new popRequest(data, m_uIDdevice);
        if (isLoopThread())
            request->setParent(m_loopContext);
        request->requestServerFP();
    }
    if (m_searchStep == 0)
        m_searchStep = 1;
    m_searchCount = 0;
}

void SearchCalls::notificationCentreSearchCalls(const Notification& notification)
{
    if (notification.name != Notifications::CoreFingerPrint ||
        !notification.userInfo.contains(NotificationKeys::ResultSearch))
        return;
    if (!m_thread || isLoopThread()) {
        handleResult(notification);
        return;
    }
    // Queued behind the loop's current work; the poster does not wait.
    QMetaObject::invokeMethod(
        m_loopContext, [this, notification] { handleResult(notification); }, Qt::QueuedConnection);
}

void SearchCalls::handleResult(const Notification& notification)
{
    const int r = JsonValue::integer(notification.userInfo.value(NotificationKeys::ResultSearch));
    if (r == IdentifyNow) {
        if (autoUpdateEnabled.load()) {
            m_searchStep = 0;
            m_searchCount = 0;
        } else {
            sendORVRequest();
        }
    } else if (r != m_oldMessage || r < 0) {
        m_oldMessage = r;
        m_searchStep = 1;
        m_searchCount = 0;
    } else {
        ++m_searchStep;
        if (m_searchStep == 3)
            NotificationCenter::defaultCenter().post(Notifications::SaveToHistory, this,
                                                     notification.userInfo);
        if (m_searchStep > MaxStep)
            m_searchStep = MaxStep;
    }
    NotificationCenter::defaultCenter().post(Notifications::FpNotification, this, notification.userInfo);
}
