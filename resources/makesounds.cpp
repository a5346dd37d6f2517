// Writes the editor's three click sounds as WAVE files (PCM, mono, 16-bit, 44 100 Hz) into the folder given
// as the only argument. The sounds are synthesised, so the build needs no recorded audio.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int SampleRate = 44100;
constexpr double Tau = 2.0 * std::numbers::pi;

// A fixed noise sequence, so every build makes the same bytes.
class Noise
{
public:
    explicit Noise(std::uint32_t seed) : m_state(seed) {}
    double next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<double>(m_state >> 8) / static_cast<double>(1u << 23) - 1.0;
    }

private:
    std::uint32_t m_state;
};

std::vector<double> Samples(double milliseconds)
{
    return std::vector<double>(static_cast<std::size_t>(std::lround(milliseconds * SampleRate / 1000.0)), 0.0);
}

double Seconds(std::size_t i)
{
    return static_cast<double>(i) / SampleRate;
}

// A filtered noise burst with a fast decay and a short body tone: a firm button click.
std::vector<double> ButtonClick()
{
    std::vector<double> out = Samples(73);
    Noise noise(0x1234u);
    double low = 0.0;
    double band = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = Seconds(i);
        low += 0.35 * (noise.next() - low);
        band += 0.2 * (low - band);
        const double burst = (low - band) * std::exp(-t / 0.006) * 2.2;
        const double body = std::sin(Tau * 1850.0 * t) * std::exp(-t / 0.012) * 0.35;
        const double thump = std::sin(Tau * 190.0 * t) * std::exp(-t / 0.02) * 0.25;
        out[i] = burst + body + thump;
    }
    return out;
}

// Two soft sine ticks a little apart, the second lower: the tick of a list or a switch.
std::vector<double> SoftTick()
{
    std::vector<double> out = Samples(159);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = Seconds(i);
        double v = std::sin(Tau * 1320.0 * t) * std::exp(-t / 0.018) * 0.5;
        const double t2 = t - 0.055;
        if (t2 >= 0.0)
            v += std::sin(Tau * 990.0 * t2) * std::exp(-t2 / 0.03) * 0.42;
        // A gentle attack avoids a hard edge at the start of each tick.
        v *= std::min(1.0, t / 0.0015);
        out[i] = v;
    }
    return out;
}

// Inharmonic partials over a noise transient: a small metal part snapping into place.
std::vector<double> MetalTick()
{
    std::vector<double> out = Samples(120);
    Noise noise(0xbeefu);
    const double partials[][3] = {
        {2380.0, 0.30, 0.030}, {3570.0, 0.22, 0.022}, {5140.0, 0.16, 0.015}, {6920.0, 0.10, 0.010}};
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = Seconds(i);
        double v = noise.next() * std::exp(-t / 0.0025) * 0.5;
        for (const auto& p : partials)
            v += std::sin(Tau * p[0] * t) * p[1] * std::exp(-t / p[2]);
        out[i] = v;
    }
    return out;
}

void AppendLE(std::string& bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xffu));
}

bool WriteWave(const std::string& path, std::vector<double> samples)
{
    // Normalise to a comfortable peak and fade the last two milliseconds so the sound ends without a pop.
    double peak = 0.0;
    for (double v : samples)
        peak = std::max(peak, std::abs(v));
    const double gain = peak > 0.0 ? 0.7 / peak : 0.0;
    const std::size_t fade = SampleRate / 500;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] *= gain;
        const std::size_t left = samples.size() - i;
        if (left <= fade)
            samples[i] *= static_cast<double>(left - 1) / static_cast<double>(fade);
    }
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * 2);
    std::string bytes = "RIFF";
    AppendLE(bytes, 36 + dataSize, 4);
    bytes += "WAVEfmt ";
    AppendLE(bytes, 16, 4);
    AppendLE(bytes, 1, 2); // PCM
    AppendLE(bytes, 1, 2); // mono
    AppendLE(bytes, SampleRate, 4);
    AppendLE(bytes, SampleRate * 2, 4);
    AppendLE(bytes, 2, 2);
    AppendLE(bytes, 16, 2);
    bytes += "data";
    AppendLE(bytes, dataSize, 4);
    for (double v : samples) {
        const auto sample = static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0));
        AppendLE(bytes, static_cast<std::uint16_t>(sample), 2);
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return static_cast<bool>(file);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    // Each file is named after what plays it: an image button, a list row or a check, a bar or a slider.
    const bool ok = WriteWave(folder + "button.wav", ButtonClick()) &&
                    WriteWave(folder + "list-or-check.wav", SoftTick()) &&
                    WriteWave(folder + "bar-or-slider.wav", MetalTick());
    if (!ok) {
        std::fprintf(stderr, "could not write the sounds into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
