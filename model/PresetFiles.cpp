#include "model/PresetFiles.h"

#include "model/DataDefine.h"
#include "model/TextFields.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "platform/GlobalData.h"
#include "platform/RegularFile.h"
#include "platform/ViewServices.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

void Put8(std::vector<std::uint8_t> &out, std::uint8_t v) { out.push_back(v); }

void Put16(std::vector<std::uint8_t> &out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutBytes(std::vector<std::uint8_t> &out, std::span<const std::uint8_t> bytes)
{
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// Sequential reader that refuses to run past the end of the file.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> in) : m_in(in) {}

    bool Magic(std::string_view expected, PresetFileStatus &status)
    {
        std::string text;
        if (!ReadArchiveString(m_in, m_pos, text)) {
            // A file too short for its own length prefix cannot carry the magic.
            status = PresetFileStatus::Short;
            return false;
        }
        if (text != expected) {
            status = PresetFileStatus::BadMagic;
            return false;
        }
        return true;
    }
    bool Byte(std::uint8_t &v)
    {
        if (m_in.size() - m_pos < 1)
            return false;
        v = m_in[m_pos++];
        return true;
    }
    bool Word(std::uint16_t &v)
    {
        if (m_in.size() - m_pos < 2)
            return false;
        v = static_cast<std::uint16_t>(m_in[m_pos] | (m_in[m_pos + 1] << 8));
        m_pos += 2;
        return true;
    }
    bool Bytes(std::span<std::uint8_t> dst)
    {
        if (m_in.size() - m_pos < dst.size())
            return false;
        std::memcpy(dst.data(), m_in.data() + m_pos, dst.size());
        m_pos += dst.size();
        return true;
    }

private:
    std::span<const std::uint8_t> m_in;
    std::size_t m_pos = 0;
};

std::uint8_t ClampSpeakerType(std::uint8_t t)
{
    return t <= kFileMaxSpeakerType ? t : 0;  // a code the program does not know: no speaker type
}

}  // namespace

void AppendArchiveString(std::vector<std::uint8_t> &out, std::string_view text)
{
    const std::size_t n = text.size();
    if (n < 0xFF) {
        Put8(out, static_cast<std::uint8_t>(n));
    } else if (n < 0xFFFE) {
        Put8(out, 0xFF);
        Put16(out, static_cast<std::uint16_t>(n));
    } else {
        Put8(out, 0xFF);
        Put16(out, 0xFFFF);
        const auto n32 = static_cast<std::uint32_t>(n);
        for (int i = 0; i < 4; ++i)
            Put8(out, static_cast<std::uint8_t>(n32 >> (8 * i)));
    }
    out.insert(out.end(), text.begin(), text.end());
}

bool ReadArchiveString(std::span<const std::uint8_t> in, std::size_t &pos, std::string &text)
{
    auto left = [&] { return in.size() - pos; };
    if (pos > in.size() || left() < 1)
        return false;
    std::size_t n = in[pos++];
    if (n == 0xFF) {
        if (left() < 2)
            return false;
        n = in[pos] | (in[pos + 1] << 8);
        pos += 2;
        if (n == 0xFFFF) {
            if (left() < 4)
                return false;
            n = static_cast<std::size_t>(in[pos]) | (static_cast<std::size_t>(in[pos + 1]) << 8) |
                (static_cast<std::size_t>(in[pos + 2]) << 16) |
                (static_cast<std::size_t>(in[pos + 3]) << 24);
            pos += 4;
        }
    }
    if (left() < n)
        return false;
    text.assign(reinterpret_cast<const char *>(in.data() + pos), n);
    pos += n;
    return true;
}

std::vector<std::uint8_t> EncodePresetFile(const FileImage &current)
{
    std::vector<std::uint8_t> out;
    out.reserve(kPresetFileBytes);
    AppendArchiveString(out, kPresetFileMagic);
    PutBytes(out, current);
    return out;
}

std::vector<std::uint8_t> EncodeAllPresetsFile(const AllPresetsFileData &d)
{
    std::vector<std::uint8_t> out;
    out.reserve(kAllPresetsFileBytes);
    AppendArchiveString(out, kAllPresetsFileMagic);
    for (const auto &image : d.presets)
        PutBytes(out, image);
    PutBytes(out, d.current);
    const auto &s = d.sys;
    Put8(out, s.inputSource);
    Put8(out, s.sys5Byte2);
    Put16(out, s.masterVolume);
    Put8(out, s.inputGroupByte);
    Put8(out, s.sys5Byte3);
    Put8(out, s.inputSourceAgain);
    Put8(out, s.inputOption);
    Put8(out, s.noiseGateOn);
    Put8(out, s.noiseParam1);
    Put8(out, s.noiseParamDb);
    Put8(out, s.noiseParamSec);
    Put8(out, s.altInputMode);
    Put8(out, s.sys5Byte5);
    Put8(out, s.masterOn);
    PutBytes(out, s.speakerTypes);
    return out;
}

std::vector<std::uint8_t> EncodeOutputMapFile(const OutputMapFileData &d)
{
    std::vector<std::uint8_t> out;
    out.reserve(kOutputMapFileBytes);
    AppendArchiveString(out, kOutputMapFileMagic);
    PutBytes(out, d.speakerTypes);
    for (const auto &x : d.crossovers) {
        Put16(out, x.hpFreq);
        Put8(out, x.hpSlope);
        Put8(out, x.hpFamily);
        Put16(out, x.lpFreq);
        Put8(out, x.lpSlope);
        Put8(out, x.lpFamily);
    }
    return out;
}

std::vector<std::uint8_t> EncodeModeFile(const ModeFileData &d)
{
    std::vector<std::uint8_t> out;
    out.reserve(kModeFileBytes);
    AppendArchiveString(out, kModeFileMagic);
    Put8(out, d.slot);
    PutBytes(out, d.row);
    return out;
}

PresetFileStatus DecodePresetFile(std::span<const std::uint8_t> bytes, FileImage &current)
{
    Reader r(bytes);
    auto status = PresetFileStatus::Ok;
    if (!r.Magic(kPresetFileMagic, status))
        return status;
    FileImage image;
    if (!r.Bytes(image))
        return PresetFileStatus::Short;
    current = image;
    return PresetFileStatus::Ok;
}

PresetFileStatus DecodeAllPresetsFile(std::span<const std::uint8_t> bytes, AllPresetsFileData &data)
{
    Reader r(bytes);
    auto status = PresetFileStatus::Ok;
    if (!r.Magic(kAllPresetsFileMagic, status))
        return status;
    // Decoded into a local first: the caller's data changes only for a whole, valid file.
    auto d = std::make_unique<AllPresetsFileData>();
    for (auto &image : d->presets)
        if (!r.Bytes(image))
            return PresetFileStatus::Short;
    if (!r.Bytes(d->current))
        return PresetFileStatus::Short;
    auto &s = d->sys;
    const bool whole = r.Byte(s.inputSource) && r.Byte(s.sys5Byte2) && r.Word(s.masterVolume) &&
                       r.Byte(s.inputGroupByte) && r.Byte(s.sys5Byte3) && r.Byte(s.inputSourceAgain) &&
                       r.Byte(s.inputOption) && r.Byte(s.noiseGateOn) && r.Byte(s.noiseParam1) &&
                       r.Byte(s.noiseParamDb) && r.Byte(s.noiseParamSec) && r.Byte(s.altInputMode) &&
                       r.Byte(s.sys5Byte5) && r.Byte(s.masterOn) && r.Bytes(s.speakerTypes);
    if (!whole)
        return PresetFileStatus::Short;
    data = *d;
    return PresetFileStatus::Ok;
}

PresetFileStatus DecodeOutputMapFile(std::span<const std::uint8_t> bytes, OutputMapFileData &data)
{
    Reader r(bytes);
    auto status = PresetFileStatus::Ok;
    if (!r.Magic(kOutputMapFileMagic, status))
        return status;
    OutputMapFileData d;
    if (!r.Bytes(d.speakerTypes))
        return PresetFileStatus::Short;
    for (auto &x : d.crossovers) {
        if (!(r.Word(x.hpFreq) && r.Byte(x.hpSlope) && r.Byte(x.hpFamily) && r.Word(x.lpFreq) &&
              r.Byte(x.lpSlope) && r.Byte(x.lpFamily)))
            return PresetFileStatus::Short;
    }
    data = d;
    return PresetFileStatus::Ok;
}

PresetFileStatus DecodeModeFile(std::span<const std::uint8_t> bytes, ModeFileData &data)
{
    Reader r(bytes);
    auto status = PresetFileStatus::Ok;
    if (!r.Magic(kModeFileMagic, status))
        return status;
    ModeFileData d;
    if (!r.Byte(d.slot) || !r.Bytes(d.row))
        return PresetFileStatus::Short;
    if (d.slot >= kFileModeSlots)
        return PresetFileStatus::BadValue;
    data = d;
    return PresetFileStatus::Ok;
}

std::uint8_t FixUpInputSource(std::uint8_t source, int layout, int selectedInput)
{
    bool replace = false;
    switch (layout) {
    case 0: replace = source == 0 || source == 2; break;
    case 1: replace = source == 0; break;
    case 2: replace = source == 2; break;
    default: break;
    }
    return replace ? static_cast<std::uint8_t>(selectedInput & 0xFF) : source;
}

void ClampSystemFields(AllPresetsSystemFields &s)
{
    s.masterVolume = std::min<std::uint16_t>(s.masterVolume, kFileMaxMasterVolume);
    s.inputGroupByte = std::min<std::uint8_t>(s.inputGroupByte, kFileMaxInputGroup);
    s.inputOption = s.inputOption ? 1 : 0;
    s.masterOn = s.masterOn ? 1 : 0;
    s.noiseParamSec = std::clamp<std::uint8_t>(s.noiseParamSec, kFileMinNoiseSeconds, kFileMaxNoiseSeconds);
    for (auto &t : s.speakerTypes)
        t = ClampSpeakerType(t);
}

namespace {

constexpr int kMusicCrossoverItem = 32;

int GetWord(const std::uint8_t *p) { return p[0] | (p[1] << 8); }
int GetSignedWord(const std::uint8_t *p) { return static_cast<std::int16_t>(GetWord(p)); }

void PutWord(std::uint8_t *p, int v)
{
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

// One half of a crossover: frequency, family, slope. The device itself may hold a high-pass
// frequency below 20 Hz (the speaker-type rules raise it), so only the top is limited.
void ClampCrossoverHalf(std::uint16_t &freq, std::uint8_t &family, std::uint8_t &slope)
{
    freq = std::min<std::uint16_t>(freq, kFreqMax);
    family = std::min<std::uint8_t>(family, CFilter::kFamilyBessel);
    slope = std::min<std::uint8_t>(slope, CFilter::kSlopeOff);
}

// A band packet: the words are signed, as the device writes them.
void ClampBandPacket(std::uint8_t *p)
{
    PutWord(p, std::clamp(GetSignedWord(p), kFreqMin, kFreqMax));
    PutWord(p + 2, std::clamp(GetSignedWord(p + 2), kGainWordOffset, kGainWordOffset + kGainCodeMax));
    PutWord(p + 4, std::clamp(GetSignedWord(p + 4), 0, kBandwidthIndexMax));
}

// A crossover item: high-pass then low-pass, each a 16-bit frequency, family and slope.
void ClampCrossoverItem(std::uint8_t *p)
{
    for (std::uint8_t *x : {p, p + 4}) {
        auto freq = static_cast<std::uint16_t>(GetWord(x));
        ClampCrossoverHalf(freq, x[2], x[3]);
        PutWord(x, freq);
    }
}

// An output's link byte: a group 0..10, or a member mask that holds the output's own bit.
std::uint8_t ClampLinkByte(std::uint8_t value, std::size_t output)
{
    return value <= 10 || ((value >> output) & 1) ? value : 0;
}

}  // namespace

void ClampImageValues(FileImage &image, bool outputsOnly)
{
    auto item = [&image](std::size_t blockOffset, int k) {
        return image.data() + blockOffset + static_cast<std::size_t>(k) * DeviceImage::kItemSize;
    };
    for (std::size_t n = 0; n < (outputsOnly ? 0 : DeviceImage::kMusicCount); ++n) {
        const std::size_t block = DeviceImage::kMusicOffset + n * DeviceImage::kMusicSize;
        for (int k = 0; k < CMusic_InData::kBands; ++k)
            ClampBandPacket(item(block, k));
        ClampCrossoverItem(item(block, kMusicCrossoverItem));
    }
    for (std::size_t n = 0; n < DeviceImage::kOutCount; ++n) {
        const std::size_t block = DeviceImage::kOutOffset + n * DeviceImage::kOutSize;
        for (int k = 0; k < CKTV_OutData::kBands; ++k)
            ClampBandPacket(item(block, k));
        std::uint8_t *basic = item(block, CKTV_OutData::kBasicItem);
        basic[0] = basic[0] ? 1 : 0;  // on
        basic[1] = basic[1] ? 1 : 0;  // polarity
        PutWord(basic + 2, std::min(GetWord(basic + 2), CKTV_OutData::kGainMax));
        PutWord(basic + 4, std::min(GetWord(basic + 4), kDelayCodeMax));
        basic[6] = basic[6] ? 1 : 0;  // equaliser mode
        basic[7] = ClampSpeakerType(basic[7]);
        ClampCrossoverItem(item(block, CKTV_OutData::kCrossoverItem));
        std::uint8_t *limit = item(block, CKTV_OutData::kLimitItem);
        limit[6] = ClampLinkByte(limit[6], n);
    }
}

void ClampOutputMap(OutputMapFileData &map)
{
    for (auto &t : map.speakerTypes)
        t = ClampSpeakerType(t);
    for (auto &x : map.crossovers) {
        ClampCrossoverHalf(x.hpFreq, x.hpFamily, x.hpSlope);
        ClampCrossoverHalf(x.lpFreq, x.lpFamily, x.lpSlope);
    }
}

bool ReadFileBytes(const std::string &path, std::vector<std::uint8_t> &bytes, std::size_t limit)
{
    return ReadRegularFile(path, limit, bytes) == FileReadStatus::Ok;
}

namespace {

// A name for the temporary file beside the target that no other writer picks.
std::string TemporaryName(const std::string &path)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::random_device random;
    std::string name = path + ".tmp-";
    for (int i = 0; i < 3; ++i) {
        const unsigned v = random();
        for (int k = 0; k < 4; ++k)
            name.push_back(kHex[(v >> (4 * k)) & 0xF]);
    }
    return name;
}

}  // namespace

bool WriteFileBytes(const std::string &path, std::span<const std::uint8_t> bytes)
{
    // A new file is created 0666 under the umask (and the folder's default ACL), like any saved
    // document. A file being replaced keeps its permission bits, never its set-id or sticky bits.
    struct stat old {};
    const bool replacing = ::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    std::string tmp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        tmp = TemporaryName(path);
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno != EINTR)
                ok = false;
            continue;
        }
        done += static_cast<std::size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    if (replacing)
        ok = ok && ::fchmod(fd, old.st_mode & 0777) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(tmp.c_str(), path.c_str()) == 0)
        return true;
    ::unlink(tmp.c_str());
    return false;
}

// ---- the file operations over the tree and the images ------------------------------------------

namespace {

// A record name that no longer fits its item was left out of the file: say so, with no lock held.
void ReportNameFields(TextFieldResult names)
{
    if (names == TextFieldResult::TooLong)
        ShowMessage(CharLenErrorText(), MB_OK, CharLenErrorCode());
}

void CopyOut(const DeviceImage &src, FileImage &dst) { std::memcpy(dst.data(), src.data(), dst.size()); }
void CopyIn(const FileImage &src, DeviceImage &dst) { std::memcpy(dst.data(), src.data(), src.size()); }

}  // namespace

int SerializePresetFile(CKTV_Data &tree, PresetArchive &ar)
{
    if (ar.IsStoring()) {
        FileImage image;
        TextFieldResult names;
        {
            std::lock_guard link(g_csLink);
            names = tree.FillImage();
            std::lock_guard lock(g_csImage);
            CopyOut(g_CurImage, image);
        }
        ar.bytes = EncodePresetFile(image);
        ReportNameFields(names);
        return 1;
    }

    FileImage image;
    if (DecodePresetFile(ar.bytes, image) != PresetFileStatus::Ok)
        return 0;
    ClampImageValues(image);
    std::lock_guard link(g_csLink);
    {
        std::lock_guard lock(g_csImage);
        CopyIn(image, g_CurImage);
    }
    tree.LoadFromImage(g_CurImage, -1);
    return 1;
}

int SerializeAllPresetsFile(CKTV_Data &tree, PresetArchive &ar)
{
    auto data = std::make_unique<AllPresetsFileData>();
    auto &s = data->sys;
    if (ar.IsStoring()) {
        std::unique_lock link(g_csLink);
        const TextFieldResult names = tree.FillImage();
        {
            std::lock_guard lock(g_csImage);
            for (int p = 0; p < kFileMachinePresets; ++p)
                CopyOut(g_MachinePresets[p], data->presets[p]);
            CopyOut(g_CurImage, data->current);
        }
        s.inputSource = g_nInputSource;
        s.sys5Byte2 = g_nSys5Byte2;
        s.masterVolume = static_cast<std::uint16_t>(int(g_nMasterVolume));
        s.inputGroupByte = g_nInputGroupByte;
        s.sys5Byte3 = g_nSys5Byte3;
        s.inputSourceAgain = g_nInputSource;
        s.inputOption = g_nInputOption;
        s.noiseGateOn = g_nNoiseGateOn;
        s.noiseParam1 = g_nNoiseParam1;
        s.noiseParamDb = g_nNoiseParamDb;
        s.noiseParamSec = g_nNoiseParamSec;
        s.altInputMode = g_bAltInputMode;
        s.sys5Byte5 = g_nSys5Byte5;
        s.masterOn = g_bMasterOn;
        for (int n = 0; n < 8; ++n)
            s.speakerTypes[n] = g_SpeakerTypes[n];
        link.unlock();
        ar.bytes = EncodeAllPresetsFile(*data);
        ReportNameFields(names);
        return 1;
    }

    // Every image is pushed to the device as it stands ("push all presets"), so each is clamped.
    if (DecodeAllPresetsFile(ar.bytes, *data) != PresetFileStatus::Ok)
        return 0;
    for (auto &image : data->presets)
        ClampImageValues(image, true);
    ClampImageValues(data->current);
    ClampSystemFields(s);
    std::lock_guard link(g_csLink);
    {
        std::lock_guard lock(g_csImage);
        for (int p = 0; p < kFileMachinePresets; ++p)
            CopyIn(data->presets[p], g_MachinePresets[p]);
        CopyIn(data->current, g_CurImage);
    }
    g_nSys5Byte2 = s.sys5Byte2;
    g_nMasterVolume = s.masterVolume;
    g_nInputGroupByte = s.inputGroupByte;
    g_nSys5Byte3 = s.sys5Byte3;
    g_nInputSource = s.inputSourceAgain;  // the second copy wins
    g_nInputOption = s.inputOption;
    g_nNoiseGateOn = s.noiseGateOn;
    g_nNoiseParam1 = s.noiseParam1;
    g_nNoiseParamDb = s.noiseParamDb;
    g_nNoiseParamSec = s.noiseParamSec;
    g_bAltInputMode = s.altInputMode;
    g_nSys5Byte5 = s.sys5Byte5;
    g_bMasterOn = s.masterOn;
    for (int n = 0; n < 8; ++n)
        g_SpeakerTypes[n] = s.speakerTypes[n];
    tree.LoadFromImage(g_CurImage, -1);
    g_nInputSource = FixUpInputSource(g_nInputSource, g_nInputLayout, g_nSelInput);
    return 1;
}

int SerializeOutputMapFile(CKTV_Data &tree, PresetArchive &ar)
{
    OutputMapFileData data;
    if (ar.IsStoring()) {
        std::lock_guard link(g_csLink);
        for (int n = 0; n < 8; ++n)
            data.speakerTypes[n] = g_SpeakerTypes[n];
        tree.FillCrossoverTable();
        for (int n = 0; n < 8; ++n) {
            const CrossoverRecord &x = g_CrossoverTable[n];
            data.crossovers[n] = {x.highFreq, x.highSlope, x.highFamily, x.lowFreq, x.lowSlope, x.lowFamily};
        }
        ar.bytes = EncodeOutputMapFile(data);
        return 1;
    }

    if (DecodeOutputMapFile(ar.bytes, data) != PresetFileStatus::Ok)
        return 0;
    ClampOutputMap(data);
    std::lock_guard link(g_csLink);
    for (int n = 0; n < 8; ++n) {
        g_SpeakerTypes[n] = data.speakerTypes[n];
        const MapCrossover &m = data.crossovers[n];
        CrossoverRecord &x = g_CrossoverTable[n];
        x.highFreq = m.hpFreq;
        x.highSlope = m.hpSlope;
        x.highFamily = m.hpFamily;
        x.lowFreq = m.lpFreq;
        x.lowSlope = m.lpSlope;
        x.lowFamily = m.lpFamily;
    }
    return 1;
}

int SerializeModeFile(PresetArchive &ar)
{
    ModeFileData data;
    if (ar.IsStoring()) {
        std::lock_guard link(g_csLink);
        data.slot = g_nPresetSlot;
        // The device's slot byte addresses one of four rows; another value has no row to save.
        if (data.slot >= kFileModeSlots)
            return 0;
        for (std::size_t i = 0; i < kModeTableRowSize; ++i)
            data.row[i] = g_ModeTable[data.slot * kModeTableRowSize + i];
        ar.bytes = EncodeModeFile(data);
        return 1;
    }

    if (DecodeModeFile(ar.bytes, data) != PresetFileStatus::Ok)
        return 0;
    std::lock_guard link(g_csLink);
    g_nModeFileSlot = data.slot;
    for (std::size_t i = 0; i < kModeTableRowSize; ++i)
        g_ModeTable[data.slot * kModeTableRowSize + i] = data.row[i];
    return 1;
}
