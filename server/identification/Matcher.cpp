#include "Matcher.h"

#include "PlaceSearch.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace {

constexpr int First = 1; // the block's first value is not comparable (see PlaceSearch)
constexpr int Compared = Matcher::BlockSize - First;
constexpr int SelfSpan = 172;            // values (2 s): "elsewhere" on the same channel
constexpr double SpeedTriedBelow = 0.10; // above maxBer: how close a channel must come

} // namespace

Matcher::Matcher(const FingerprintIndex& index) : Matcher(index, Settings()) {}

Matcher::Matcher(const FingerprintIndex& index, Settings settings) : m_index(index), m_settings(settings) {}

bool Matcher::isInformative(const Block& block)
{
    std::unordered_set<uint32_t> distinct;
    int nonZero = 0;
    for (int i = First; i < BlockSize; ++i) {
        if (block[size_t(i)] != 0)
            ++nonZero;
        distinct.insert(block[size_t(i)]);
    }
    return nonZero >= Compared / 2 && distinct.size() >= 64;
}

double Matcher::berNear(const Block& block, int channelId, int64_t position, int window, double rate) const
{
    const FingerprintIndex::Reader reader(m_index);
    double best = 1;
    for (int slot = 0; slot < reader.channels(); ++slot) {
        if (reader.channelId(slot) == channelId && !repeats(reader, slot))
            best = std::min(best, PlaceSearch::berNear(reader, slot, position, window, block, rate));
    }
    return best;
}

bool Matcher::repeats(const FingerprintIndex::Reader& reader, int slot)
{
    return reader.likeness(slot) < RepeatsBelow;
}

double Matcher::likenessElsewhere(const FingerprintIndex& index, int slot, int64_t position)
{
    const FingerprintIndex::Reader reader(index);
    Block block;
    if (position < 0 || !reader.copy(slot, uint64_t(position), BlockSize, block.data()))
        return 1;
    PlaceSearch search(reader, block);
    search.search(slot, position, SelfSpan);
    return search.best(slot).ber;
}

Matcher::Result Matcher::match(const Block& block) const
{
    Result result;
    if (!isInformative(block)) {
        result.verdict = Verdict::Uninformative;
        return result;
    }
    const FingerprintIndex::Reader reader(m_index);
    PlaceSearch search(reader, block);
    search.search();
    std::vector<double> bestOfSlot(size_t(reader.channels()), 1.0);
    for (int slot = 0; slot < reader.channels(); ++slot) {
        if (repeats(reader, slot))
            continue; // a looped file or a frozen stream attracts no match
        // A channel that comes close, tried a little faster and slower.
        if (search.best(slot).ber <= m_settings.maxBer + SpeedTriedBelow)
            search.trySpeeds(slot);
        bestOfSlot[size_t(slot)] = search.best(slot).ber;
    }

    int best = -1;
    for (int slot = 0; slot < reader.channels(); ++slot) {
        if (best < 0 || bestOfSlot[size_t(slot)] < bestOfSlot[size_t(best)])
            best = slot;
        if (bestOfSlot[size_t(slot)] <= m_settings.maxBer + CloseAbove) {
            const PlaceSearch::Place& place = search.best(slot);
            result.close.push_back({reader.channelId(slot), place.ber, place.start,
                                    search.bestAwayFrom(slot, place.start, SelfSpan), reader.likeness(slot),
                                    place.rate});
        }
    }
    std::sort(result.close.begin(), result.close.end(),
              [](const Close& a, const Close& b) { return a.ber < b.ber; });
    if (result.close.size() > size_t(MaxClose))
        result.close.resize(size_t(MaxClose));
    if (best < 0)
        return result;
    result.ber = bestOfSlot[size_t(best)];
    for (int slot = 0; slot < reader.channels(); ++slot) {
        if (slot != best && reader.channelId(slot) != reader.channelId(best))
            result.runnerUpBer = std::min(result.runnerUpBer, bestOfSlot[size_t(slot)]);
    }
    if (result.ber > m_settings.maxBer)
        return result;
    result.channelId = reader.channelId(best);
    result.position = search.best(best).start;
    result.verdict =
        result.runnerUpBer - result.ber >= m_settings.minMargin ? Verdict::Channel : Verdict::Ambiguous;
    if (result.verdict == Verdict::Ambiguous)
        result.channelId = 0;
    return result;
}
