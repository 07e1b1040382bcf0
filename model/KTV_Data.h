#pragma once
// The root of the editable parameter model: the effect record, the microphone input, six music
// inputs and eight outputs, and the name of the current preset. The tree is unpacked from a device
// image when a preset file has been read or the device has sent a preset back, and packed into
// the current image before a preset is saved or pushed. The link's change scheduler
// (link/ChangeScheduler.h) walks its change marks and asks the records for their frames.
//
// Threads: getters, setters, loads, fills and the link-table rebuild run on the UI thread; the
// scheduler runs on the link worker with g_csLink held. Callers of LoadFromImage and FillImage
// that may race with the worker hold g_csLink as well.

#include "model/DeviceImage.h"
#include "model/Effect_Data.h"
#include "model/KTV_OutData.h"
#include "model/MIC_InData.h"
#include "model/Music_InData.h"
#include "platform/WinCompat.h"

#include <array>
#include <memory>
#include <mutex>
#include <string>

// Each output's crossovers as the output-map file carries them (FillCrossoverTable).
extern std::array<CrossoverRecord, DeviceImage::kOutCount> g_CrossoverTable;

// ARGB colours of the curves (0xAARRGGBB): outputs in channel order, the microphone, and the
// effect (alpha 220, red).
extern const std::array<std::uint32_t, 10> g_argbOutCurve;
constexpr std::uint32_t kArgbMicCurve = 0xFFFF8033u;

class CKTV_Data {
public:
    static constexpr int kMusicInputs = 6;
    static constexpr int kOutputs = 8;

    // Builds every record with its creation values, then the link tables.
    CKTV_Data();
    ~CKTV_Data();
    CKTV_Data(const CKTV_Data &) = delete;
    CKTV_Data &operator=(const CKTV_Data &) = delete;

    CEffect_Data &GetEffect() { return m_effect; }
    // Records by index; null for an index out of range.
    CMIC_InData *GetMicIn(int index = 0);
    CMusic_InData *GetMusicIn(int index);
    CKTV_OutData *GetOut(int index);

    // Unpacks an image into the tree: the effect only for mode 0 or 6 (the preset-file loaders
    // pass -1, a preset the device sent back passes its preset number), then the microphone, the
    // music inputs and the outputs. Stamps nothing; the image is only read.
    void LoadFromImage(const DeviceImage &image, int mode);
    // Packs every record into its block of g_CurImage; the name and reserved bytes are left. A
    // record name that no longer fits its item (a loaded name of 8 bytes) leaves that item as it
    // was; the first such result is returned for the caller to show (CharLenErrorText), else Ok.
    TextFieldResult FillImage();
    // Every change mark := flag; system block 5 pending := flag, block 2 pending := 0.
    void ResetChanges(int flag);

    // Points g_OutChannelTable at the outputs, sets g_bAnyLink when two adjacent outputs share a
    // non-zero link group, and clears every per-group bookkeeping entry.
    void InitLinkTable();

    void SetOutPlotRect(const CRect &rect);
    // Every output laid out in a plot of this size; their curves are summed when next updated
    // (a graph updates the curves it draws).
    void SetOutPlotGeometry(const CRect &rect);
    void SetMusicPlotRect(const CRect &rect);
    void SetPlotRect(const CRect &rect);

    // Each output's crossover item, from its live elements, into g_CrossoverTable.
    void FillCrossoverTable();

    // The current preset's name as the scheduler last read it from the image (UTF-8).
    std::string GetPresetName() const;
    void SetPresetName(std::string name);

private:

    CEffect_Data m_effect;
    std::unique_ptr<CMIC_InData> m_mic;
    std::array<std::unique_ptr<CMusic_InData>, kMusicInputs> m_music;
    std::array<std::unique_ptr<CKTV_OutData>, kOutputs> m_out;

    mutable std::mutex m_nameMutex;
    std::string m_strPresetName;
};
