#pragma once

#include "DeviceState.h"
#include "Matcher.h"

#include "http/HttpRequest.h"
#include "http/HttpResponse.h"

#include <functional>

class ScheduleStore;

// The identification server's pages under /searchfunctions/:
//   getstationidresident.php  multipart form: "UserName", "Position", file "request" (the
//                             2048 bytes of a block: 512 sub-fingerprints, little-endian)
//   checkresident.php         multipart form: "UserName", "Position"
// Both answer {"Result": N} (with a "Message" when N is negative, and the bit error rates
// "Ber" and "OtherBer" of a block that was matched). N >= 1 is the channel
// id. The negative codes:
//   -1  no channel yet: the upload is kept (for 30 s) and checkresident.php
//       matches it again against the audio that has arrived since; also while a weaker
//       match waits for the device's next uploads to agree (UploadConfirmation)
//   -3  ambiguous: two channels carry this audio
//   -6  bad request: not a form, no "UserName", no 2048-byte "request" (status 400)
//   -7  nothing to check: no upload of this device is kept (never, expired, or answered)
//   -8  too many requests from this device (status 429)
//   -9  too quiet: the block carries too little sound to be matched (not kept)
// A device state shared by several processes that cannot be reached is answered 503 with the
// error body {"ExceptionDetail": {"Message": …}}.
// (-2, -4 and -5 mean other things to the application and are never sent.)
class IdentificationService
{
public:
    enum Code
    {
        NoMatchYet = -1,
        Ambiguous = -3,
        BadRequest = -6,
        NothingToCheck = -7,
        TooMany = -8,
        TooQuiet = -9
    };

    IdentificationService(const Matcher& matcher, DeviceState& devices, ScheduleStore* store = nullptr,
                          UploadConfirmation::Settings confirmation = {});

    HttpResponse handle(const HttpRequest& request);
    // Test seam: the clock uploads are timed by (milliseconds since 1970).
    void setClock(std::function<qint64()> nowMs) { m_clock = std::move(nowMs); }

private:
    // Matches the latest upload and answers it with the earlier ones' evidence; keeps it
    // unless it was answered.
    HttpResponse answer(UploadConfirmation::Upload latest,
                        const std::vector<UploadConfirmation::Upload>& earlier, const QByteArray& device,
                        qint64 nowMs);

    const Matcher& m_matcher;
    DeviceState& m_devices;
    ScheduleStore* m_store;
    UploadConfirmation::Settings m_confirmation;
    std::function<qint64()> m_clock;
};
