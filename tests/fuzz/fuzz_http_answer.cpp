// The update server's answer to a GET, as the version check reads it: the
// input after its first byte, fed in pieces whose size the first byte picks,
// then the connection's close. Small bounds, so that they are reached.

#include "FuzzTarget.h"

#include "update/HttpsGet.h"

#include <QByteArray>

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const qsizetype piece = 1 + data[0] % 97;
    const QByteArray answer(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    constexpr qint64 maxHeader = 512;
    constexpr qint64 maxBody = 2048;
    THttpAnswerReader reader(maxHeader, maxBody);
    qsizetype at = 0;
    while (at < answer.size() && reader.Current() == THttpAnswerReader::State::Reading) {
        const qsizetype n = std::min<qsizetype>({ piece, answer.size() - at, qsizetype(reader.Room()) });
        if (n <= 0)
            FuzzPropertyFailed("no room while reading, and no end");
        reader.Feed(answer.mid(at, n));
        at += n;
    }
    const THttpAnswerReader::State state = reader.Close();
    if (state == THttpAnswerReader::State::Reading)
        FuzzPropertyFailed("still reading after the close");
    if (reader.Body().size() > maxBody)
        FuzzPropertyFailed("a body over its bound");
    if (state == THttpAnswerReader::State::Redirect && !reader.Location().isValid())
        FuzzPropertyFailed("a redirect without a valid location");
    return 0;
}
