#pragma once
// The PC file formats: one preset (".qxds"), all presets (".qxda"), the output map (".lygc") and
// the mode file. Each is an archive string magic (length prefix, then the characters) followed
// by raw image bytes and small system values, little-endian and unaligned.
//
// The codec here only turns bytes into values and back; it never touches the globals.
// Loading is all or nothing: a file is decoded whole and checked before the caller commits any
// of it. The operations that connect the formats with the record tree and the device image are
// at the end of this header.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CKTV_Data;

constexpr std::size_t kFileImageBytes = 4392;  // one preset's device image
constexpr int kFileMachinePresets = 6;

constexpr std::string_view kPresetFileMagic = "VRX5300_File_2.0";
constexpr std::string_view kAllPresetsFileMagic = "VRX5300_ALLFile_2.0";
constexpr std::string_view kOutputMapFileMagic = "VRX5300_Map";
constexpr std::string_view kModeFileMagic = "Mode_File";

constexpr std::size_t kPresetFileBytes = 1 + kPresetFileMagic.size() + kFileImageBytes;
constexpr std::size_t kAllPresetsFileBytes =
    1 + kAllPresetsFileMagic.size() + (kFileMachinePresets + 1) * kFileImageBytes + 23;
constexpr std::size_t kOutputMapFileBytes = 1 + kOutputMapFileMagic.size() + 8 + 8 * 8;
constexpr std::size_t kModeFileBytes = 1 + kModeFileMagic.size() + 1 + 16;
static_assert(kPresetFileBytes == 4409);
static_assert(kAllPresetsFileBytes == 30787);
static_assert(kOutputMapFileBytes == 84);
static_assert(kModeFileBytes == 27);

// Largest file any loader reads. Bytes beyond a format's own length are ignored, but a file far
// larger than every format is not a preset file and is refused unread.
constexpr std::size_t kPresetFileReadLimit = 64u * 1024u;

using FileImage = std::array<std::uint8_t, kFileImageBytes>;

// Ranges of the system values a file may carry; a loaded value outside them is clamped into them.
constexpr int kFileMaxMasterVolume = 66;
constexpr int kFileMaxSpeakerType = 24;
constexpr int kFileMaxInputGroup = 2;
constexpr int kFileMinNoiseSeconds = 2;
constexpr int kFileMaxNoiseSeconds = 30;
constexpr int kFileModeSlots = 4;

enum class PresetFileStatus {
    Ok,
    Short,     // the file ends before its last field
    BadMagic,  // the leading text is not the format's magic
    BadValue,  // the mode file's slot names no row of the mode table
};

// The 22 system fields of the all-presets file, in file order.
struct AllPresetsSystemFields {
    std::uint8_t inputSource = 0;      // system block 2 byte 0
    std::uint8_t sys5Byte2 = 0;        // system block 5 byte 2
    std::uint16_t masterVolume = 0;    // system block 5 bytes 0..1
    std::uint8_t inputGroupByte = 0;   // system block 2 byte 1
    std::uint8_t sys5Byte3 = 0;        // system block 5 byte 3
    std::uint8_t inputSourceAgain = 0; // system block 2 byte 0 again; this copy wins on load
    std::uint8_t inputOption = 0;      // system block 2 byte 3
    std::uint8_t noiseGateOn = 0;      // system block 2 byte 4
    std::uint8_t noiseParam1 = 0;      // system block 2 byte 5
    std::uint8_t noiseParamDb = 0;     // system block 2 byte 6
    std::uint8_t noiseParamSec = 0;    // system block 2 byte 7
    std::uint8_t altInputMode = 0;     // system block 5 byte 4
    std::uint8_t sys5Byte5 = 0;        // system block 5 byte 5
    std::uint8_t masterOn = 0;         // system block 5 byte 6
    std::array<std::uint8_t, 8> speakerTypes{};
};

struct AllPresetsFileData {
    std::array<FileImage, kFileMachinePresets> presets{};  // machine presets 1..6
    FileImage current{};
    AllPresetsSystemFields sys;
};

// One output's crossovers as the map file stores them: slope before family.
struct MapCrossover {
    std::uint16_t hpFreq = 0;
    std::uint8_t hpSlope = 0;
    std::uint8_t hpFamily = 0;
    std::uint16_t lpFreq = 0;
    std::uint8_t lpSlope = 0;
    std::uint8_t lpFamily = 0;
    bool operator==(const MapCrossover &) const = default;
};

struct OutputMapFileData {
    std::array<std::uint8_t, 8> speakerTypes{};
    std::array<MapCrossover, 8> crossovers{};
};

struct ModeFileData {
    std::uint8_t slot = 0;
    std::array<std::uint8_t, 16> row{};
};

// Archive strings: a one-byte length up to 254; else 0xFF and a 16-bit length; above 0xFFFD,
// 0xFF, 0xFFFF and a 32-bit length.
void AppendArchiveString(std::vector<std::uint8_t> &out, std::string_view text);
// Reads one archive string at pos and advances pos; false when the bytes end first.
bool ReadArchiveString(std::span<const std::uint8_t> in, std::size_t &pos, std::string &text);

std::vector<std::uint8_t> EncodePresetFile(const FileImage &current);
std::vector<std::uint8_t> EncodeAllPresetsFile(const AllPresetsFileData &data);
std::vector<std::uint8_t> EncodeOutputMapFile(const OutputMapFileData &data);
std::vector<std::uint8_t> EncodeModeFile(const ModeFileData &data);

PresetFileStatus DecodePresetFile(std::span<const std::uint8_t> bytes, FileImage &current);
PresetFileStatus DecodeAllPresetsFile(std::span<const std::uint8_t> bytes, AllPresetsFileData &data);
PresetFileStatus DecodeOutputMapFile(std::span<const std::uint8_t> bytes, OutputMapFileData &data);
PresetFileStatus DecodeModeFile(std::span<const std::uint8_t> bytes, ModeFileData &data);

// Whole-file input and output. Reading takes a regular file of at most `limit` bytes (anything
// else fails without blocking, bytes untouched); writing goes to a temporary
// file in the same folder that is renamed over the target, so a failed save leaves the old file.
bool ReadFileBytes(const std::string &path, std::vector<std::uint8_t> &bytes,
                   std::size_t limit = kPresetFileReadLimit);
bool WriteFileBytes(const std::string &path, std::span<const std::uint8_t> bytes);

// An archive over the bytes of one file: storing (the operation fills `bytes`) or loading (the
// operation reads `bytes`, which hold the file as read).
class PresetArchive {
public:
    static PresetArchive ForStoring() { return PresetArchive(true, {}); }
    static PresetArchive ForLoading(std::vector<std::uint8_t> fileBytes)
    {
        return PresetArchive(false, std::move(fileBytes));
    }
    bool IsStoring() const { return m_storing; }
    bool IsLoading() const { return !m_storing; }

    std::vector<std::uint8_t> bytes;

private:
    PresetArchive(bool storing, std::vector<std::uint8_t> b) : bytes(std::move(b)), m_storing(storing) {}
    bool m_storing;
};

// The four file operations over the record tree and the process-wide images. Each returns 1 on
// success and 0 when a loaded file is refused, in which case nothing at all has changed. They
// hold the link lock while they pack or commit, so the worker never sees a half-written image.
//
// Preset: stores the packed tree's current image; loads the current image, clamped, and unpacks
// it into the tree, leaving the effect record as it was.
int SerializePresetFile(CKTV_Data &tree, PresetArchive &ar);
// All presets: the six machine presets, the current image and the system fields; after a load
// the input source is fixed up for the input layout in effect. Storing writes the device's bytes
// as they are; loading clamps every image and the system fields, so a save followed by a load
// gives back the same bytes for everything a device holds within range.
int SerializeAllPresetsFile(CKTV_Data &tree, PresetArchive &ar);
// Output map: the speaker types and each output's crossovers; a load (clamped) only fills the
// speaker types and the crossover table, nothing is applied to the outputs.
int SerializeOutputMapFile(CKTV_Data &tree, PresetArchive &ar);
// Mode file: the selected slot and its row of the mode table; a load stores the slot as the
// mode file's slot and the row into that slot. A slot above 3 refuses the file on loading, and
// makes storing fail (0, nothing written) since there is no row to save.
int SerializeModeFile(PresetArchive &ar);

// Loads clamp every value that reaches the device into the range the program sends, as the
// records' loaders take them, and keep every other byte as it is: any file saved from a real
// device loads, and nothing out of range is pushed back to a device.
//
// An image: the band packets (frequency 20..20000 Hz, gain word 400..800, bandwidth index 0..295)
// and crossovers (frequency at most 20000 Hz, family 0..2, slope 0..8) of the music inputs and
// outputs, and each output's switches (0 or 1), gain (at most 600), delay (at most 960), speaker
// type (an unknown code is no type) and link byte (a group 0..10 or a mask holding the output).
//
// The music-input blocks of a machine preset never reach the device nor the records (the
// program reads, stores and pushes only a machine preset's name and outputs); with outputsOnly
// they are kept as they are, so an all-presets file written from a device (whose machine
// presets hold no music-input blocks) loads and saves back byte for byte.
void ClampImageValues(FileImage &image, bool outputsOnly = false);
// The all-presets file's system fields, within the kFile* ranges above; an unknown speaker type
// is no type.
void ClampSystemFields(AllPresetsSystemFields &fields);
// The map file's speaker types and crossovers, as in an image.
void ClampOutputMap(OutputMapFileData &map);

// Input-source fix-up after an all-presets load, by input layout: layout 0 replaces sources 0
// and 2, layout 1 source 0, layout 2 source 2, by the input page's selection (low byte).
std::uint8_t FixUpInputSource(std::uint8_t source, int layout, int selectedInput);
