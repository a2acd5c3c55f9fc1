#include "RoomChain.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// An RBJ biquad, Butterworth Q.
class Biquad
{
public:
    Biquad(double f, bool low)
    {
        const double w = 2 * M_PI * f / RoomChain::Rate, c = std::cos(w),
                     alpha = std::sin(w) / (2 * M_SQRT1_2);
        const double a0 = 1 + alpha;
        b0 = (low ? (1 - c) / 2 : (1 + c) / 2) / a0;
        b1 = (low ? 1 - c : -(1 + c)) / a0;
        b2 = b0;
        a1 = -2 * c / a0;
        a2 = (1 - alpha) / a0;
    }
    double operator()(double x)
    {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1, x1 = x, y2 = y1, y1 = y;
        return y;
    }

private:
    double b0, b1, b2, a1, a2, x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

// Schroeder's reverberator: four parallel feedback combs, then two all-passes.
class Comb
{
public:
    Comb(int delay, double feedback) : m_buffer(size_t(delay)), m_feedback(feedback) {}
    double operator()(double x)
    {
        const double y = m_buffer[m_at];
        m_buffer[m_at] = x + y * m_feedback;
        m_at = (m_at + 1) % m_buffer.size();
        return y;
    }

private:
    std::vector<double> m_buffer;
    double m_feedback;
    size_t m_at = 0;
};

class AllPass
{
public:
    AllPass(int delay, double gain) : m_buffer(size_t(delay)), m_gain(gain) {}
    double operator()(double x)
    {
        const double delayed = m_buffer[m_at];
        const double y = -m_gain * x + delayed;
        m_buffer[m_at] = x + m_gain * y;
        m_at = (m_at + 1) % m_buffer.size();
        return y;
    }

private:
    std::vector<double> m_buffer;
    double m_gain;
    size_t m_at = 0;
};

double power(const std::vector<double>& x)
{
    double sum = 0;
    for (double v : x)
        sum += v * v;
    return x.empty() ? 0 : sum / double(x.size());
}

} // namespace

void RoomChain::bandLimit(std::vector<double>& x)
{
    Biquad h1(300, false), h2(300, false), l1(3400, true), l2(3400, true);
    for (double& v : x)
        v = l2(l1(h2(h1(v))));
}

void RoomChain::reverberate(std::vector<double>& x, std::mt19937& random)
{
    const double rt60 = std::uniform_real_distribution<double>(0.3, 0.6)(random);
    const double wet = std::uniform_real_distribution<double>(0.2, 0.45)(random);
    const std::array<int, 4> delays{1557, 1617, 1491, 1422};
    std::vector<Comb> combs;
    for (int d : delays) // each comb decays by 60 dB in rt60
        combs.emplace_back(d, std::pow(10.0, -3.0 * d / (rt60 * Rate)));
    AllPass a1(225, 0.5), a2(556, 0.5);
    for (double& v : x) {
        double sum = 0;
        for (Comb& comb : combs)
            sum += comb(v);
        v = (1 - wet) * v + wet * a2(a1(sum / 4));
    }
}

std::vector<double> RoomChain::noise(Noise kind, int samples, std::mt19937& random,
                                     const std::vector<int16_t>* babble)
{
    std::vector<double> out(static_cast<size_t>(samples));
    std::normal_distribution<double> gauss(0, 1);
    switch (kind) {
    case Noise::White:
        for (double& v : out)
            v = gauss(random);
        break;
    case Noise::Pink: {
        // Paul Kellet's filter of white noise: -3 dB per octave.
        double b0 = 0, b1 = 0, b2 = 0, b3 = 0, b4 = 0, b5 = 0, b6 = 0;
        for (double& v : out) {
            const double w = gauss(random);
            b0 = 0.99886 * b0 + w * 0.0555179;
            b1 = 0.99332 * b1 + w * 0.0750759;
            b2 = 0.96900 * b2 + w * 0.1538520;
            b3 = 0.86650 * b3 + w * 0.3104856;
            b4 = 0.55000 * b4 + w * 0.5329522;
            b5 = -0.7616 * b5 - w * 0.0168980;
            v = b0 + b1 + b2 + b3 + b4 + b5 + b6 + w * 0.5362;
            b6 = w * 0.115926;
        }
        break;
    }
    case Noise::Brown: {
        // Integrated white noise, kept from drifting away: -6 dB per octave.
        double level = 0;
        for (double& v : out) {
            level = 0.998 * level + 0.05 * gauss(random);
            v = level;
        }
        break;
    }
    case Noise::Babble: {
        // Voices: the babble signal at three places at once.
        const int64_t size = babble ? int64_t(babble->size()) : 0;
        if (size <= samples) {
            for (double& v : out)
                v = gauss(random);
            break;
        }
        for (int voice = 0; voice < 3; ++voice) {
            const int64_t from = std::uniform_int_distribution<int64_t>(0, size - samples - 1)(random);
            for (int i = 0; i < samples; ++i)
                out[size_t(i)] += (*babble)[size_t(from + i)];
        }
        break;
    }
    }
    return out;
}

std::vector<int16_t> RoomChain::apply(const int16_t* source, int64_t sourceSize, int64_t start, int samples,
                                      const Settings& settings, std::mt19937& random,
                                      const std::vector<int16_t>* babble)
{
    std::vector<double> x(static_cast<size_t>(samples));
    for (int i = 0; i < samples; ++i) {
        const double at = double(start) + i * (1 + settings.speed);
        const int64_t k = std::clamp<int64_t>(int64_t(at), 0, sourceSize - 2);
        const double f = at - double(k);
        x[size_t(i)] = source[k] * (1 - f) + source[k + 1] * f;
    }
    if (settings.reverb)
        reverberate(x, random);
    if (settings.bandLimit)
        bandLimit(x);
    if (settings.snrDb < 200) {
        std::vector<double> n = noise(settings.noise, samples, random, babble);
        if (settings.bandLimit && settings.bandLimitNoise)
            bandLimit(n);
        const double signal = power(x), noisePower = power(n);
        const double scale =
            noisePower > 0 ? std::sqrt(signal / noisePower / std::pow(10, settings.snrDb / 10)) : 0;
        for (size_t i = 0; i < x.size(); ++i)
            x[i] += n[i] * scale;
    }
    const double gain = std::uniform_real_distribution<double>(settings.minGain, settings.maxGain)(random);
    std::vector<int16_t> out(x.size());
    for (size_t i = 0; i < x.size(); ++i)
        out[i] = int16_t(std::clamp(x[i] * gain, -32768.0, 32767.0));
    return out;
}
