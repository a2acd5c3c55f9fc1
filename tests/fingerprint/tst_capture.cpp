#include "Signals.h"
#include "TestWav.h"

#include "fingerprint/AudioCallback.h"
#include "platform/AudioInputSource.h"
#include "platform/AudioQueue.h"
#include "platform/WavReader.h"

#include <QTemporaryDir>
#include <QTest>

#include <mutex>
#include <sndfile.h>

namespace {

AudioStreamBasicDescription monoFormat()
{
    AudioStreamBasicDescription format;
    format.mSampleRate = 44100;
    format.mFormatID = kAudioFormatLinearPCM;
    format.mBytesPerPacket = 2;
    format.mFramesPerPacket = 1;
    format.mBytesPerFrame = 2;
    format.mChannelsPerFrame = 1;
    format.mBitsPerChannel = 16;
    return format;
}

// What a queue delivered.
struct Collected
{
    std::mutex lock;
    std::vector<int16_t> samples;
    std::vector<uint32_t> byteSizes;
};

std::unique_ptr<AcFpInfo> freshState()
{
    auto info = std::make_unique<AcFpInfo>();
    fp_info_init(info.get());
    fp_info_reset(info.get(), 512, 64);
    return info;
}

} // namespace

class TestCapture : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private Q_SLOTS:
    void wavFiles()
    {
        const std::vector<int16_t> mono = Signals::noise(1000, 5);
        QVERIFY(TestWav::write(dir.filePath("mono.wav"), mono));
        std::string error;
        QCOMPARE(WavReader::readAll(dir.filePath("mono.wav").toStdString(), &error), mono);
        QVERIFY(error.empty());

        // Stereo mixes down as (left + right) >> 1, rounding toward minus infinity.
        const std::vector<int16_t> stereo = {-3, 0, 32767, 32767, -32768, -32768, 5, -6, 1, 2};
        QVERIFY(TestWav::write(dir.filePath("stereo.wav"), stereo, 2));
        QCOMPARE(WavReader::readAll(dir.filePath("stereo.wav").toStdString(), &error),
                 (std::vector<int16_t>{-2, 32767, -32768, -1, 1}));

        const struct
        {
            const char* name;
            int rate;
            int format;
            int channels;
        } refused[] = {{"48k.wav", 48000, 0, 1},
                       {"float.wav", 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1},
                       {"8bit.wav", 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1},
                       {"aiff.aiff", 44100, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 1},
                       {"quad.wav", 44100, 0, 4}};
        for (const auto& file : refused) {
            QVERIFY(TestWav::write(dir.filePath(file.name), std::vector<int16_t>(400, 1), file.channels,
                                   file.rate, file.format));
            error.clear();
            QVERIFY(WavReader::readAll(dir.filePath(file.name).toStdString(), &error).empty());
            QVERIFY2(!error.empty(), file.name);
        }
        QFile text(dir.filePath("text.wav"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a sound file");
        text.close();
        error.clear();
        WavReader::readAll(dir.filePath("text.wav").toStdString(), &error);
        QVERIFY(!error.empty());
        error.clear();
        WavReader::readAll(dir.filePath("missing.wav").toStdString(), &error);
        QVERIFY(!error.empty());
    }

    void aQueueDeliversAFileInOrder()
    {
        const std::vector<int16_t> samples = Signals::chirp(44100, 200, 2000);
        QVERIFY(TestWav::write(dir.filePath("chirp.wav"), samples));
        std::string error;
        auto source =
            AudioInputSource::create("file:" + dir.filePath("chirp.wav").toStdString(), false, false, &error);
        QVERIFY(source);
        Collected collected;
        auto queue = AudioQueue::newInput(
            monoFormat(),
            [&](void*, AudioQueue* q, AudioQueueBuffer* buffer, uint32_t packets) {
                std::lock_guard guard(collected.lock);
                const auto* data = static_cast<const int16_t*>(buffer->mAudioData);
                collected.samples.insert(collected.samples.end(), data, data + packets);
                collected.byteSizes.push_back(buffer->mAudioDataByteSize);
                q->enqueueBuffer(buffer);
            },
            nullptr, std::move(source));
        for (int i = 0; i < 3; ++i) {
            AudioQueueBuffer* buffer = queue->allocateBuffer(735);
            QCOMPARE(queue->enqueueBuffer(buffer), int(AudioQueue::NoError));
            QCOMPARE(queue->enqueueBuffer(buffer), int(AudioQueue::NoError)); // once is enough
        }
        QCOMPARE(queue->enqueuedCount(), size_t(3));
        AudioQueueBuffer stranger;
        QCOMPARE(queue->enqueueBuffer(&stranger), int(AudioQueue::InvalidBuffer));
        queue->start();
        QTRY_VERIFY(queue->sourceEnded());
        queue->stop(true);
        std::lock_guard guard(collected.lock);
        QCOMPARE(collected.samples, samples);
        QCOMPARE(collected.byteSizes.front(), 734u); // 367 whole samples of a 735-byte buffer
        QCOMPARE(collected.byteSizes.size(), size_t((44100 + 366) / 367));
    }

    void aLoopedFileGoesOnAndSilenceIsPaced()
    {
        QVERIFY(TestWav::write(dir.filePath("short.wav"), std::vector<int16_t>{1, 2, 3}));
        std::string error;
        auto looped =
            AudioInputSource::create("file:" + dir.filePath("short.wav").toStdString(), false, true, &error);
        int16_t buffer[7];
        QCOMPARE(looped->read(buffer, 7), size_t(7));
        QCOMPARE(std::vector<int16_t>(buffer, buffer + 7), (std::vector<int16_t>{1, 2, 3, 1, 2, 3, 1}));

        auto silence = AudioInputSource::create("none", true, false, &error);
        silence->start();
        std::vector<int16_t> tenth(4410, 7);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(silence->read(tenth.data(), tenth.size()), tenth.size());
        QVERIFY(clock.elapsed() >= 90); // a tenth of a second of sound takes a tenth of a second
        QVERIFY(std::all_of(tenth.begin(), tenth.end(), [](int16_t v) { return v == 0; }));

        QVERIFY(!AudioInputSource::create("bluetooth", true, false, &error));
        QVERIFY(!error.empty());
        // Without a microphone the default input is silence, not a failure.
        QVERIFY(AudioInputSource::create("default", true, false, &error));
    }

    void theCallbackDecimatesAndHandsBuffersBack()
    {
        auto info = freshState();
        AudioCallback::setInputSpec("none");
        AudioCallback capture;
        QVERIFY(capture.audio_init(info.get()));
        AQCallbackStruct& aqc = capture.aqc();
        QCOMPARE(aqc.frameSize, 735u);
        QCOMPARE(aqc.mDataFormat.mSampleRate, 44100.0);
        QCOMPARE(aqc.mDataFormat.mFormatFlags, 12u);
        QCOMPARE(aqc.mDataFormat.mFormatID, 0x6C70636Du);
        QCOMPARE(aqc.run.load(), 1);
        // Silence arrives in real time and is decimated into the ring.
        QTRY_VERIFY(info->idxWRfftFIFO.load() > 100);
        QCOMPARE(capture.audio_pause(), true);
        QCOMPARE(aqc.run.load(), 0);
        QCOMPARE(capture.audio_pause(), false);
        QCOMPARE(aqc.run.load(), 1);
        capture.audio_close();
        QCOMPARE(aqc.run.load(), 0);
    }

    void emptyBuffersAreHandedBackWithoutFiltering()
    {
        auto info = freshState();
        std::string error;
        AQCallbackStruct aqc;
        aqc.info = info.get();
        aqc.queue = AudioQueue::newInput(monoFormat(), &AudioCallback::inputCallback, &aqc,
                                         AudioInputSource::create("none", false, false, &error));
        AudioQueueBuffer* buffer = aqc.queue->allocateBuffer(735);
        auto* data = static_cast<int16_t*>(buffer->mAudioData);
        std::fill(data, data + 367, int16_t(1000));
        buffer->mAudioDataByteSize = 734;

        aqc.run = 1;
        AudioCallback::inputCallback(&aqc, aqc.queue.get(), buffer, 0);
        QCOMPARE(info->idxWRfftFIFO.load(), 0);          // not filtered
        QCOMPARE(aqc.queue->enqueuedCount(), size_t(1)); // but handed back

        // Stopped: a full buffer is still filtered, but not handed back. A buffer of its own,
        // not yet in the queue, so that handing it back would show in the count.
        AudioQueueBuffer* last = aqc.queue->allocateBuffer(735);
        std::fill(static_cast<int16_t*>(last->mAudioData), static_cast<int16_t*>(last->mAudioData) + 367,
                  int16_t(1000));
        last->mAudioDataByteSize = 734;
        aqc.run = 0;
        AudioCallback::inputCallback(&aqc, aqc.queue.get(), last, 367);
        QCOMPARE(info->idxWRfftFIFO.load(), 46); // 367 samples: outputs at 0, 8, ..., 360
        QCOMPARE(info->phase, 367 % 8);
        QCOMPARE(aqc.queue->enqueuedCount(), size_t(1)); // only the first buffer
    }

    void theSharedCaptureIsBoundToTheFirstState()
    {
        AudioCallback::setInputSpec("none");
        auto first = freshState();
        auto second = freshState();
        AudioCallback* one = AudioCallback::sharedManager(first.get());
        AudioCallback* two = AudioCallback::sharedManager(second.get());
        QCOMPARE(one, two);
        QCOMPARE(one->aqc().info, first.get());
        one->audio_close();
    }
};

QTEST_GUILESS_MAIN(TestCapture)
#include "tst_capture.moc"
