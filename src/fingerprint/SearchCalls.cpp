#include "SearchCalls.h"

#include "AudioCallback.h"
#include "FpExtract.h"
#include "popRequest.h"

#include "model/Utilities.h"
#include "platform/JsonValue.h"

#include <QLoggingCategory>
#include <QThread>
#include <QTimer>

#include <cstring>

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

const QString ResultKey = QStringLiteral("resultSearch");

} // namespace

namespace {
std::atomic<SearchCalls*> sharedInstance{nullptr};
} // namespace

SearchCalls* SearchCalls::sharedManager()
{
    static SearchCalls* instance = [] {
        auto* created = new SearchCalls(true);
        created->fp_init();
        sharedInstance = created;
        return created;
    }();
    return instance;
}

void SearchCalls::stopShared()
{
    if (SearchCalls* instance = sharedInstance.load())
        instance->stop();
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
    NotificationCenter::defaultCenter().removeObserver(this);
}

void SearchCalls::fp_init()
{
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
    NotificationCenter::defaultCenter().addObserver(
        this, QStringLiteral("notificationCoreFingerPrint"),
        [this](const Notification& n) { notificationCentreSearchCalls(n); });
    setupTimerThread();
}

void SearchCalls::setupTimerThread()
{
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("identification loop"));
    m_loopContext = new QObject;
    m_loopContext->moveToThread(m_thread);
    const Timing timing = m_timing;
    connect(m_thread, &QThread::started, m_loopContext, [this, timing] {
        QThread::msleep(timing.startDelayMs);
        qCInfo(lcLoop) << "<< -- END SLEEP";
        auto* timer = new QTimer(m_loopContext);
        timer->setInterval(timing.tickMs);
        connect(timer, &QTimer::timeout, m_loopContext, [this] { searchAsyncLoop(); });
        timer->start();
    });
    m_thread->start();
}

void SearchCalls::stop()
{
    if (!m_thread)
        return;
    QObject* context = m_loopContext;
    QThread* thread = m_thread;
    // The context and its timer are deleted on their own thread, then the thread ends.
    QMetaObject::invokeMethod(context, [context, thread] {
        delete context;
        thread->quit();
    });
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    m_loopContext = nullptr;
}

void SearchCalls::searchAsyncLoop()
{
    std::lock_guard guard(m_lock);
    if (autoUpdateEnabled.load()) {
        ++m_searchCount;
        if (m_searchCount >= searchStepTicks[m_searchStep])
            sendORVRequest();
    } else {
        QThread::msleep(m_timing.offSleepMs);
        m_searchStep = 0;
        m_searchCount = 0;
    }
}

void SearchCalls::sendORVRequest()
{
    std::lock_guard guard(m_lock);
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
        if (m_loopContext && QThread::currentThread() == m_thread)
            request->setParent(m_loopContext);
        request->requestServerFP();
    }
    if (m_searchStep == 0)
        m_searchStep = 1;
    m_searchCount = 0;
}

void SearchCalls::notificationCentreSearchCalls(const Notification& notification)
{
    if (notification.name != u"notificationCoreFingerPrint" || !notification.userInfo.contains(ResultKey))
        return;
    std::unique_lock guard(m_lock);
    const int r = JsonValue::integer(notification.userInfo.value(ResultKey));
    if (r == IdentifyNow) {
        if (autoUpdateEnabled.load()) {
            m_searchStep = 0;
            m_searchCount = 0;
        } else if (m_loopContext) {
            // The exchange blocks its thread for up to its time-out: it runs on the loop
            // thread, never on the thread that asked (the main thread of a screen).
            QMetaObject::invokeMethod(m_loopContext, [this] { sendORVRequest(); });
        }
    } else if (r != m_oldMessage || r < 0) {
        m_oldMessage = r;
        m_searchStep = 1;
        m_searchCount = 0;
    } else {
        ++m_searchStep;
        if (m_searchStep == 3)
            NotificationCenter::defaultCenter().post(QStringLiteral("saveToHistory"), this,
                                                     notification.userInfo);
        if (m_searchStep > MaxStep)
            m_searchStep = MaxStep;
    }
    guard.unlock();
    NotificationCenter::defaultCenter().post(QStringLiteral("fpNotification"), this, notification.userInfo);
}

int SearchCalls::searchStep() const
{
    std::lock_guard guard(m_lock);
    return m_searchStep;
}

int SearchCalls::searchCount() const
{
    std::lock_guard guard(m_lock);
    return m_searchCount;
}

int SearchCalls::oldMessage() const
{
    std::lock_guard guard(m_lock);
    return m_oldMessage;
}
