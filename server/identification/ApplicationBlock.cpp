#include "ApplicationBlock.h"

#include "fingerprint/AcFpInfo.h"
#include "fingerprint/FpExtract.h"

#include <cstring>
#include <memory>

Matcher::Block applicationBlock(const int16_t* samples, int count)
{
    auto info = std::make_unique<AcFpInfo>();
    fp_info_init(info.get());
    fp_info_reset(info.get(), Matcher::BlockSize, 64);
    fp_decimate_samples(info.get(), samples, count);
    vec32 out;
    fp_extract_block(info.get(), &out);
    Matcher::Block block;
    std::memcpy(block.data(), out.data, sizeof(uint32_t) * Matcher::BlockSize);
    return block;
}
