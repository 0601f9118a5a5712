// zemplay: the reader's companion audio player.
//
//   zemplay.exe "<mp3 file>" <start second> <end second> [<speed>]
//
// Plays the file from the start second to the end second (to the end of the file for an
// end of 0) and ends. The speed (0.5 to 2.0, in steps of 0.05; 1 when left out) plays the
// sound faster or slower with its pitch kept (recitation/time_stretch.h). It shows no window. It
// ends at once with a non-zero code when the command line is wrong, the file cannot be read or
// holds no mp3 frames, or there is no audio output or no decoder. The frames are found by walking
// their headers (portable code), decoded by the system's MP3 codec through the Audio Compression
// Manager and played through waveOut, a few buffers ahead.
//
// When the first buffer of sound has gone to the output it sets the reader's event
// "Local\NoravelPlayerStarted-<its process id>" if the reader made one: the reader follows
// the recitation from that moment. When the reader made "Local\NoravelPlayerGo-<its process
// id>" (it started the player ahead of its ayah), the player first opens the file and the
// output and decodes its first sound, then waits for that event (player_started_win.h).
// When the last of its sound has played it sets "Local\NoravelPlayerFinished-<its process
// id>" if the reader made one, and then closes the output and ends.
#include "companions/player_started_win.h"
#include "recitation/mp3_frames.h"
#include "recitation/recitation_rules.h"
#include "recitation/time_stretch.h"

#include <windows.h>

#include <mmsystem.h> // before the codec headers, which use its types

#include <mmreg.h>
#include <msacm.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>
#include <vector>

namespace {

// The exit codes are the reader's (PlayerExit in recitation_rules.h), which it turns into
// its messages.

constexpr size_t kLargestFile = 1u << 30;
constexpr size_t kFramesPerBuffer = 16; // about 0.4 s at 44.1 kHz
constexpr int kBuffers = 4;
// A frame may take part of its data from the frames before it (the bit reservoir, at most
// 511 bytes back) and the decoder's filter bank needs one frame of history: a start in the
// middle of a file decodes this many frames before it and drops their sound.
constexpr size_t kLeadInFrames = 4;

bool readWholeFile(const wchar_t* path, std::vector<uint8_t>& bytes) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart > 0 &&
              static_cast<unsigned long long>(size.QuadPart) <= kLargestFile;
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        size_t done = 0;
        while (ok && done < bytes.size()) {
            DWORD got = 0;
            const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
            ok = ReadFile(file, bytes.data() + done, want, &got, nullptr) && got > 0;
            done += got;
        }
    }
    CloseHandle(file);
    return ok;
}

bool parseSecond(const wchar_t* text, int* second) {
    wchar_t* end = nullptr;
    const long value = std::wcstol(text, &end, 10);
    if (end == text || *end != L'\0' || value < 0 || value > 1000000) return false;
    *second = static_cast<int>(value);
    return true;
}

// "1.5": 0.5 to 2.0 in steps of 0.05, in hundredths.
bool parseSpeed(const wchar_t* text, int* percent) {
    wchar_t* end = nullptr;
    const double value = std::wcstod(text, &end);
    if (end == text || *end != L'\0' || !(value >= kMinPlaySpeed && value <= kMaxPlaySpeed))
        return false;
    const long hundredths = std::lround(value * 100);
    if (std::fabs(value * 100 - static_cast<double>(hundredths)) > 1e-6 ||
        validSpeedPercent(static_cast<int>(hundredths)) != hundredths)
        return false;
    *percent = static_cast<int>(hundredths);
    return true;
}

// One waveOut buffer with its PCM.
struct OutputBuffer {
    WAVEHDR header{};
    std::vector<char> pcm;
    bool filled = false; // holds sound not yet given to the output
    bool queued = false;
};

class Player {
  public:
    Player(const std::vector<uint8_t>& file, const Mp3Stream& stream, int speedPercent)
        : file_(file), stream_(stream), speedPercent_(speedPercent) {}
    ~Player() {
        if (output_) {
            waveOutReset(output_);
            for (OutputBuffer& b : buffers_)
                if (b.header.dwFlags & WHDR_PREPARED)
                    waveOutUnprepareHeader(output_, &b.header, sizeof b.header);
            waveOutClose(output_);
        }
        if (decoder_) acmStreamClose(decoder_, 0);
        if (done_) CloseHandle(done_);
    }
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    PlayerExit open() {
        MPEGLAYER3WAVEFORMAT in{};
        in.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
        in.wfx.nChannels = static_cast<WORD>(stream_.channels);
        in.wfx.nSamplesPerSec = static_cast<DWORD>(stream_.sampleRate);
        in.wfx.nAvgBytesPerSec = static_cast<DWORD>(stream_.bitrateKbps) * 1000 / 8;
        in.wfx.nBlockAlign = 1;
        in.wfx.wBitsPerSample = 0;
        in.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
        in.wID = MPEGLAYER3_ID_MPEG;
        in.fdwFlags = MPEGLAYER3_FLAG_PADDING_ISO;
        in.nBlockSize = static_cast<WORD>(stream_.frames[0].bytes);
        in.nFramesPerBlock = 1;
        in.nCodecDelay = 0;
        pcm_.wFormatTag = WAVE_FORMAT_PCM;
        pcm_.nChannels = static_cast<WORD>(stream_.channels);
        pcm_.nSamplesPerSec = static_cast<DWORD>(stream_.sampleRate);
        pcm_.wBitsPerSample = 16;
        pcm_.nBlockAlign = static_cast<WORD>(pcm_.nChannels * 2);
        pcm_.nAvgBytesPerSec = pcm_.nSamplesPerSec * pcm_.nBlockAlign;
        if (speedPercent_ != 100)
            stretch_ = std::make_unique<TimeStretch>(stream_.channels, stream_.sampleRate,
                                                     speedPercent_ / 100.0);
        if (waveOutGetNumDevs() == 0) return kPlayerNoAudioOutput;
        if (acmStreamOpen(&decoder_, nullptr, &in.wfx, &pcm_, nullptr, 0, 0,
                          ACM_STREAMOPENF_NONREALTIME) != 0)
            return kPlayerNoDecoder;
        done_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (!done_ || waveOutOpen(&output_, WAVE_MAPPER, &pcm_, reinterpret_cast<DWORD_PTR>(done_),
                                  0, CALLBACK_EVENT) != MMSYSERR_NOERROR) {
            output_ = nullptr;
            return kPlayerNoAudioOutput;
        }
        return kPlayerPlayed;
    }

    PlayerExit play(Mp3FrameRange range) {
        next_ = range.first;
        last_ = range.last;
        // From the file's start, the silence that the encoder and the decoder put before
        // the sound is left out: a reading of ayah after ayah has no more silence between
        // them than the recordings hold.
        skipBytes_ = range.first == 0
                         ? static_cast<size_t>(stream_.leadingSilenceSamples()) * pcm_.nBlockAlign
                         : 0;
        // And the encoder's padding at the end, when the span plays to the file's end.
        tailBytes_ = range.last == stream_.frames.size()
                         ? static_cast<size_t>(stream_.trailingSilenceSamples()) * pcm_.nBlockAlign
                         : 0;
        if (next_ > 0) {
            std::vector<char> leadIn;
            if (!decode(next_ > kLeadInFrames ? next_ - kLeadInFrames : 0, next_, leadIn, false))
                return kPlayerPlaybackFailed;
        }
        // The first buffers are decoded before the player waits for its turn (when the
        // reader started it ahead of its ayah): its sound goes out the moment it may.
        for (OutputBuffer& b : buffers_)
            if (!fill(b)) return kPlayerPlaybackFailed;
        if (!waitForGoIfAsked()) return kPlayerNotReleased;
        bool signalled = false;
        while (true) {
            bool busy = false;
            for (OutputBuffer& b : buffers_) {
                if (b.queued && !(b.header.dwFlags & WHDR_DONE)) {
                    busy = true;
                    continue;
                }
                if (b.queued) {
                    waveOutUnprepareHeader(output_, &b.header, sizeof b.header);
                    b.queued = false;
                    if (!fill(b)) return kPlayerPlaybackFailed;
                }
                if (!b.filled) continue; // the span is decoded to its end
                b.header = WAVEHDR{};
                b.header.lpData = b.pcm.data();
                b.header.dwBufferLength = static_cast<DWORD>(b.pcm.size());
                if (waveOutPrepareHeader(output_, &b.header, sizeof b.header) != MMSYSERR_NOERROR ||
                    waveOutWrite(output_, &b.header, sizeof b.header) != MMSYSERR_NOERROR)
                    return kPlayerPlaybackFailed;
                b.filled = false;
                b.queued = true;
                busy = true;
                if (!signalled) {
                    signalSoundStarted();
                    signalled = true;
                }
            }
            if (!busy) {
                // Every buffer has come back played: the reader may let the next ayah's
                // sound go now, while this player still closes its output and ends.
                signalSoundFinished();
                return kPlayerPlayed;
            }
            WaitForSingleObject(done_, 1000);
        }
    }

  private:
    // Decodes the next frames of the span, a buffer's worth, into the buffer; `filled`
    // says whether it holds sound (false once the span is decoded to its end).
    bool fill(OutputBuffer& b) {
        b.filled = false;
        while (next_ < last_) {
            const size_t end = std::min(last_, next_ + kFramesPerBuffer);
            if (!decode(next_, end, b.pcm, end == last_)) return false;
            next_ = end;
            const size_t skipped = std::min(skipBytes_, b.pcm.size());
            b.pcm.erase(b.pcm.begin(), b.pcm.begin() + static_cast<ptrdiff_t>(skipped));
            skipBytes_ -= skipped;
            if (next_ == last_) b.pcm.resize(b.pcm.size() - std::min(tailBytes_, b.pcm.size()));
            if (stretch_) changeSpeed(b.pcm, next_ == last_);
            if (!b.pcm.empty()) {
                b.filled = true;
                return true;
            }
        }
        return true;
    }

    // Plays the decoded sound at the chosen speed: `pcm` is replaced by the stretched sound
    // it completes; at the span's end the stretch gives out the rest.
    void changeSpeed(std::vector<char>& pcm, bool final) {
        stretched_.clear();
        std::vector<int16_t> samples(pcm.size() / 2);
        std::memcpy(samples.data(), pcm.data(), samples.size() * 2);
        stretch_->push(samples.data(), samples.size(), stretched_);
        if (final) stretch_->finish(stretched_);
        pcm.resize(stretched_.size() * 2);
        std::memcpy(pcm.data(), stretched_.data(), pcm.size());
    }

    // Decodes frames [first, last) into PCM; the source bytes that the decoder leaves
    // (a frame it needs more data for) go in front of the next call's. The final call
    // says so, and the decoder gives out the sound it still holds: the span's tail.
    bool decode(size_t first, size_t last, std::vector<char>& pcm, bool final) {
        for (size_t i = first; i < last; ++i) {
            const Mp3Frame& f = stream_.frames[i];
            pending_.insert(pending_.end(), file_.begin() + static_cast<ptrdiff_t>(f.offset),
                            file_.begin() + static_cast<ptrdiff_t>(f.offset + f.bytes));
        }
        DWORD outBytes = 0;
        const DWORD inBytes = static_cast<DWORD>(pending_.size());
        if (acmStreamSize(decoder_, inBytes, &outBytes, ACM_STREAMSIZEF_SOURCE) != 0 ||
            outBytes == 0)
            outBytes =
                static_cast<DWORD>((last - first + 2) * stream_.samplesPerFrame * pcm_.nBlockAlign);
        // Room for what the decoder held back from earlier calls.
        outBytes += static_cast<DWORD>(2 * stream_.samplesPerFrame * pcm_.nBlockAlign);
        pcm.assign(outBytes, 0);
        ACMSTREAMHEADER header{};
        header.cbStruct = sizeof header;
        header.pbSrc = pending_.data();
        header.cbSrcLength = inBytes;
        header.pbDst = reinterpret_cast<LPBYTE>(pcm.data());
        header.cbDstLength = outBytes;
        if (acmStreamPrepareHeader(decoder_, &header, 0) != 0) return false;
        DWORD flags = started_ ? 0 : ACM_STREAMCONVERTF_START;
        if (final) flags |= ACM_STREAMCONVERTF_END;
        started_ = true;
        const MMRESULT converted = acmStreamConvert(decoder_, &header, flags);
        const DWORD used = header.cbSrcLengthUsed;
        const DWORD made = header.cbDstLengthUsed;
        acmStreamUnprepareHeader(decoder_, &header, 0);
        if (converted != 0) return false;
        pending_.erase(pending_.begin(), pending_.begin() + std::min<DWORD>(used, inBytes));
        pcm.resize(std::min<DWORD>(made, outBytes));
        return true;
    }

    const std::vector<uint8_t>& file_;
    const Mp3Stream& stream_;
    const int speedPercent_;
    std::unique_ptr<TimeStretch> stretch_; // at a speed other than 1
    std::vector<int16_t> stretched_;
    WAVEFORMATEX pcm_{};
    HACMSTREAM decoder_ = nullptr;
    HWAVEOUT output_ = nullptr;
    HANDLE done_ = nullptr;
    bool started_ = false;
    size_t next_ = 0; // the span's frames still to decode: [next_, last_)
    size_t last_ = 0;
    size_t skipBytes_ = 0; // of decoded sound still to leave out at the start
    size_t tailBytes_ = 0; // to leave out at the end
    std::vector<uint8_t> pending_;
    OutputBuffer buffers_[kBuffers];
};

int run() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) return kPlayerBadCommandLine;
    int startSecond = 0;
    int endSecond = 0;
    int speedPercent = 100;
    const bool valid = (count == 4 || count == 5) && parseSecond(arguments[2], &startSecond) &&
                       parseSecond(arguments[3], &endSecond) &&
                       (count == 4 || parseSpeed(arguments[4], &speedPercent));
    std::vector<uint8_t> file;
    const bool read = valid && readWholeFile(arguments[1], file);
    LocalFree(arguments);
    if (!valid) return kPlayerBadCommandLine;
    if (!read) return kPlayerUnreadableFile;
    const Mp3Stream stream = walkMp3Frames(file.data(), file.size());
    if (stream.empty()) return kPlayerNotMp3;
    const Mp3FrameRange range = mp3FramesForSpan(stream, startSecond, endSecond);
    Player player(file, stream, speedPercent);
    const PlayerExit opened = player.open();
    if (opened != kPlayerPlayed) return opened;
    if (range.first >= range.last) return kPlayerPlayed;
    return player.play(range);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        return run();
    } catch (...) {
        return kPlayerPlaybackFailed; // out of memory
    }
}
