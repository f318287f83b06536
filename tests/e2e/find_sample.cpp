// Finds where a sound sample occurs in a recording of the game's audio output
// (SDL's disk driver: 16-bit stereo at 44100 Hz, raw), by normalised
// cross-correlation, so that the end-to-end tests can tell that a given sound
// played even while the music plays underneath.
//   find_sample RECORDING.raw SAMPLE.wav [THRESHOLD]
// Prints one line per occurrence ("at 3.52 s, match 0.83") and then
// "occurrences: N".
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "support/asset_reader.h"

namespace {

const int DECIMATION = 4;  // correlate at 11025 Hz: fast enough, sharp enough

// Interleaved 16-bit frames to a mono signal, averaged down by DECIMATION.
std::vector<float> to_mono(const uint8_t* data, size_t bytes, int channels) {
    size_t frames = bytes / (2 * channels);
    std::vector<float> mono(frames / DECIMATION);
    for (size_t i = 0; i < mono.size(); i++) {
        float sum = 0;
        for (int d = 0; d < DECIMATION; d++) {
            const uint8_t* frame = data + ((i * DECIMATION + d) * channels) * 2;
            for (int c = 0; c < channels; c++) sum += static_cast<int16_t>(le16_at(frame + 2 * c));
        }
        mono[i] = sum / (DECIMATION * channels);
    }
    return mono;
}

bool read_wav(const char* path, std::vector<float>* mono) {
    std::vector<uint8_t> wav = read_file(path);
    if (wav.size() < 12 || std::memcmp(wav.data(), "RIFF", 4) != 0 || std::memcmp(wav.data() + 8, "WAVE", 4) != 0) {
        return false;
    }
    int channels = 0, bits = 0;
    size_t pos = 12;
    while (pos + 8 <= wav.size()) {
        uint32_t size = le32_at(&wav[pos + 4]);
        const uint8_t* body = &wav[pos + 8];
        if (pos + 8 + size > wav.size()) return false;
        if (std::memcmp(&wav[pos], "fmt ", 4) == 0 && size >= 16) {
            channels = le16_at(body + 2);
            bits = le16_at(body + 14);
        } else if (std::memcmp(&wav[pos], "data", 4) == 0) {
            if (bits != 16 || channels < 1 || channels > 2) return false;
            *mono = to_mono(body, size, channels);
            return true;
        }
        pos += 8 + size + (size & 1);
    }
    return false;
}

// Normalised correlation of the zero-mean, unit-length sample with the
// recording from `at`; false where the recording is too quiet to compare.
bool match_at(const std::vector<float>& recording, const std::vector<float>& sample, size_t at, double* match) {
    const size_t m = sample.size();
    double dot = 0, sum = 0, sum_sq = 0;
    for (size_t k = 0; k < m; k++) {
        double x = recording[at + k];
        dot += x * sample[k];
        sum += x;
        sum_sq += x * x;
    }
    double var = sum_sq - sum * sum / m;
    if (var <= 1e-6) return false;
    *match = dot / std::sqrt(var);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: find_sample RECORDING.raw SAMPLE.wav [THRESHOLD]\n");
        return 2;
    }
    double threshold = argc > 3 ? std::atof(argv[3]) : 0.5;
    std::vector<uint8_t> raw = read_file(argv[1]);
    std::vector<float> recording = to_mono(raw.data(), raw.size(), 2);
    std::vector<float> sample;
    if (!read_wav(argv[2], &sample) || sample.empty()) {
        std::fprintf(stderr, "find_sample: cannot read %s\n", argv[2]);
        return 2;
    }

    // Zero-mean, unit-length template.
    double mean = 0;
    for (float v : sample) mean += v;
    mean /= sample.size();
    double norm = 0;
    for (float& v : sample) {
        v -= static_cast<float>(mean);
        norm += static_cast<double>(v) * v;
    }
    norm = std::sqrt(norm);
    if (norm <= 0) return 2;
    for (float& v : sample) v = static_cast<float>(v / norm);

    const size_t m = sample.size();
    int occurrences = 0;
    size_t last_hit = 0;
    bool have_hit = false;
    for (size_t i = 0; i + m <= recording.size(); i++) {
        double match = 0;
        if (!match_at(recording, sample, i, &match) || match < threshold) continue;
        if (have_hit && i - last_hit < m) continue;  // one occurrence per sample length
        // Move to the local peak within the next sample length.
        size_t best = i;
        double best_match = match;
        for (size_t j = i + 1; j < i + m / 4 && j + m <= recording.size(); j++) {
            double here = 0;
            if (match_at(recording, sample, j, &here) && here > best_match) {
                best_match = here;
                best = j;
            }
        }
        std::printf("at %.2f s, match %.2f\n", best * DECIMATION / 44100.0, best_match);
        occurrences++;
        last_hit = best;
        have_hit = true;
        i = best + m - 1;
    }
    std::printf("occurrences: %d\n", occurrences);
    return 0;
}
