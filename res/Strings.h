#pragma once
// The program's texts: one table of every text a user can read, each in Chinese and English
// (UTF-8), and the language flag that picks one. Qt-free, so the model and the link show their
// messages from the same table as the windows.
//
//   ShowMessage(Tr(StrId::UpdateDone), MB_OK, 2000);          // in the UI language
//   Tr(StrId::Warning, true)                                   // "警告" whatever the language
//   TrArgs(StrId::AskFirmwareUpdateTo, {version})              // %1 replaced by the version
//
// A language change is announced to the windows by SetUiLanguage (platform/qt/Language.h); code
// that asks for a text when it shows it needs no notice.

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

// Non-zero while the user interface is Chinese. Any thread may read it.
extern std::atomic<int> g_bChinese;

enum class StrId : std::uint16_t {
    // Message-box captions and the link status of the main view
    Prompt,
    Warning,
    Connected,
    NotConnected,
    // Link failures and device answers
    UsbFail,
    WifiFail,
    NoConnection,
    UsbAccessDenied,  // %1: the udev rule's path
    DeviceVersionLow,  // %1: the software's major version
    SoftwareVersionLow,  // %1: the device's major version
    WifiResetOk,
    WifiResetFail,
    // Equaliser questions
    AskRestoreEq,
    AskBypassEq,
    AskResetEq,
    AskPeqToGeq,
    AskGeqToPeq,
    // Version dialog, help and the exit prompt
    SoftwareVersion,
    VersionCaption,
    VersionHelpButton,
    DeviceVersionLine,  // %1: the device's version text, empty before any device answered
    VersionTextLine,
    HelpCaption,
    HelpMissing,
    ExitQuestion,
    AboutVersionLine,
    // Output strips, master volume strip and curve overlay selector
    StripChannel,  // %1: the output number 1..8
    StripGain,
    StripDelay,
    StripRouteLine,
    StripRouteBluetooth,
    StripRouteDigital,
    StripLink,
    StripPhaseNormal,
    StripPhaseInverted,
    StripMaster,
    StripOverlay,
    SourceHiLevel,  // %1: 1..6
    SourceAux,      // %1: 1..2
    SourceSpdifLeft,
    SourceSpdifRight,
    SourceBluetoothLeft,
    SourceBluetoothRight,
    // Mixer: row tips of the source mix panels, captions of the mixer's background, its caption
    // and its source labels
    MixTipLine,  // %1: 1..8
    MixTipBluetoothLeft,
    MixTipBluetoothRight,
    MixTipSpdifLeft,
    MixTipSpdifRight,
    MixRowLine,  // %1: 1..8
    MixRowBluetoothLeft,
    MixRowBluetoothRight,
    MixRowSpdifLeft,
    MixRowSpdifRight,
    MixerCaption,
    MixLabelHiLevel,  // %1: 1..6
    MixLabelAux,      // %1: 1..2
    MixLabelOpticalLeft,
    MixLabelOpticalRight,
    MixLabelBleLeft,
    MixLabelBleRight,
    // Output map reset question
    MapResetQuestion,
    MapResetEmptied,
    MapResetDefault,
    // Link prompts
    LinkSyncQuestion,
    LinkCopyLeftToRight,
    LinkCopyRightToLeft,
    LinkChannelCaption,
    LinkChannelQuestion,
    LinkChannelPairCaption,  // %1, %2: the pair's channel numbers
    LinkChannelApplied,      // %1: the channel number
    // Bridged-pair panels and the link-group editor
    PairCaption,  // %1, %2: the pair's output numbers
    LinkDlgTitle,
    LinkDlgOperable,
    LinkDlgRelations,
    LinkDlgGroupColumn,
    LinkDlgNameColumn,
    LinkDlgIdColumn,
    LinkDlgChannel,  // %1: the output number 1..8
    LinkDlgWith,
    LinkDlgAskAdd,
    LinkDlgAdd,
    LinkDlgUndo,
    LinkDlgJoinGroup,  // %1: the group number 1..5
    LinkMenuCreate,
    LinkMenuJoin,
    LinkMenuLeave,
    LinkMenuDissolve,
    // Limiter and noise-gate dialog
    DynCaption,
    DynChannelBox,  // %1: the output number 1..8
    DynLevel,
    DynRatio,
    DynAttack,
    DynRelease,
    DynSource,
    DynNoiseGate,
    // Button labels
    Ok,
    Cancel,
    Yes,
    No,
    Quit,
    // Transfer popup
    XferTitle,
    XferRunning,
    XferDone,
    ResetTitle,
    ResetRunning,
    ResetDone,
    // Factory-reset confirmation
    ResetConfirmTitle,
    ResetConfirmHeading,
    ResetConfirmText,
    ResetConfirmCancel,
    // Values of numeric edits and records
    Off,
    UnitMs,
    UnitCm,
    UnitInch,
    FamilyLinkwitzRiley,
    FamilyButterworth,
    FamilyBessel,
    BandPeq,
    BandLowShelf,
    BandHighShelf,
    PolarityNormal,
    PolarityInverted,
    MicLevelOff,
    MicLevel,  // %1: the level
    CharLenError,
    SetPosError,  // a numeric spin given a position outside its range
    // The main view's input-source list, by list position
    InputSourceHiLevel,
    InputSourceAux,
    InputSourceSpdif,
    InputSourcePhone,
    // Speaker types, in the order of their codes 0..24
    SpeakerNone,
    SpeakerFlTweeter,
    SpeakerFlMidrange,
    SpeakerFlWoofer,
    SpeakerFlMidTweeter,
    SpeakerFlMidWoofer,
    SpeakerFlFull,
    SpeakerFrTweeter,
    SpeakerFrMidrange,
    SpeakerFrWoofer,
    SpeakerFrMidTweeter,
    SpeakerFrMidWoofer,
    SpeakerFrFull,
    SpeakerRlTweeter,
    SpeakerRlWoofer,
    SpeakerRlFull,
    SpeakerRrTweeter,
    SpeakerRrWoofer,
    SpeakerRrFull,
    SpeakerCTweeter,
    SpeakerCWoofer,
    SpeakerCFull,
    SpeakerLSubwoofer,
    SpeakerRSubwoofer,
    SpeakerSubwoofer,
    // Firmware update
    AskFirmwareUpdateTo,  // %1: the image's version, 12 characters
    TipUpdateBegins,
    TipProgramming,
    TipErasing,
    TipUsbConnected,
    TipNetConnected,
    UpdateDone,
    UpdateFailed,
    UpdateFailedBang,
    DeviceNeedsUpdate,
    UpdateFileError,
    AskQuitUpdate,
    // Firmware update dialog
    UpdateTitle,
    UpdateFileFrame,
    UpdateBrowse,
    UpdateStart,
    // Connection dialog
    ConnectTitle,
    ConnectUsb,
    ConnectWifi,
    ConnectCom,
    // Preset files, the machine-preset dialog and the preset-name dialog
    SavePresetFileError,
    ReadPresetFileError,
    SaveAllPresetsFileError,
    ReadAllPresetsFileError,
    SaveOutputMapError,
    ReadOutputMapError,
    PresetCustom,
    PresetDeviceOffline,
    PresetLoadTitle,
    PresetLoadButton,
    PresetSaveAsTitle,
    PresetSaveButton,
    PresetDeleteTitle,
    PresetDeleteButton,
    PresetHeaderNumber,
    PresetHeaderName,
    PresetNameEmpty,
    PresetNameBlank,
    PresetNameDuplicate,
    PresetAskDelete,
    PresetNameTitle,
    PresetNameLabel,
    // Grid text files and printing
    GridFileNotFound,
    GridFileAccessDenied,
    GridFileNotText,
    GridFileReadError,
    GridFileWriteError,
    GridPrintPage,
    // Parameter report, its Excel export and printing; the lock log
    ReportCaption,
    ReportPrint,
    ReportExport,
    ReportArgs,
    ReportChannel,  // %1: the output number 1..8
    ReportEqType,   // %1: the band number 1..31, in each of the four band labels
    ReportEqGain,
    ReportEqFreq,
    ReportEqQ,
    ReportEqGainTight,  // the labels of bands 15, 30 and 31
    ReportEqFreqTight,
    ReportEqQTight,
    ReportHpfType,
    ReportHpfFreq,
    ReportHpfSlope,
    ReportLpfType,
    ReportLpfFreq,
    ReportLpfSlope,
    ReportPolarity,
    ReportDelay,
    ReportGain,
    ReportInLeft,
    ReportInRight,
    ReportMute,
    ReportThreshold,
    ReportAttack,
    ReportRelease,
    ReportExportTitle,
    ReportExportFilter,
    ReportExportFailed,  // %1: the file, %2: the reason
    ReportPageHeader,
    ReportPageFooter,
    ReportPageNumber,  // %1: the page, %2: the page count
    ReportPrintFailed,  // %1: the reason
    LockCaption,
    LockWriteLog,
    LockReadLog,
    LockClear,
    // Menus
    MenuOptions,
    MenuFirmwareUpdate,
    MenuFactoryReset,
    MenuLoadMachinePreset,
    MenuSaveMachinePreset,
    MenuDeleteMachinePreset,
    MenuLoadPresetFile,
    MenuLoadAllPresets,
    MenuSavePresetFile,
    MenuSaveAllPresets,
    MenuAdvanced,
    MenuLanguage,         // names the other language
    MenuLanguageChinese,  // the English UI's language item on a zh_CN system
    MenuHelp,
    MenuAbout,
    // Hi.Level mixing dialog and advanced settings dialog with its limiter panel
    HiLevelTitle,
    HiLevelMixing,
    HiLevelThreshold,
    HiLevelAttenuation,
    HiLevelRelease,
    AdvTitle,
    AdvMixer,
    AdvMainSource,
    AdvInputOption,
    AdvMusicGroupDelay,
    AdvNoiseThreshold,
    AdvNetwork,
    AdvAddress,
    AdvPort,
    AdvOutputLimit,
    AdvLimitAttack,
    AdvLimitRelease,
    AdvLimitDbu,
    AdvLimitLevel,
    AdvEqCurve,
    AdvAuxDisplay,
    AdvDescription,
    AdvApply,
    AdvLoadDefault,
    AdvQuit,
    AdvSourceSpdif,
    AdvSourceHiLevel,
    AdvSourcePhone,
    AdvSourceOff,
    AdvColChannel,
    AdvColChannelMap,
    AdvEditMark,
    AdvLinkMark,
    AdvBadAddress,
    AdvBadPort,
    AdvSaveFailed,
    // Output page: crossover lists and captions, equaliser buttons, delay units
    OutFamilyLinkwitzRiley,
    OutHighPass,
    OutLowPass,
    OutFilterType,
    OutFrequency,
    OutSlope,
    OutBandRow,
    OutFreqRow,
    OutQRow,
    OutGainRow,
    OutBypassRow,
    OutPeq,
    OutGeq,
    OutAllBypass,
    OutAllRestore,
    OutEqReset,
    OutPolarityNormal,
    OutPolarityInverted,
    OutUnitMillisecond,
    OutUnitCentimeter,
    OutUnitInch,
    OutUnitMs,
    OutUnitCm,
    OutUnitInchShort,
    OutDelayUnit,
    OutEqualiser,
    OutCrossover,
    // Level and delay page: area captions, input button names, link indicator, output columns
    LevelMaster,
    LevelInputs,
    LevelOutputs,
    LevelDelays,
    LevelInputSpdif,
    LevelInputHiLevel,
    LevelInputPhone,
    LevelLinked,
    LevelChannel,
    // Input page: main sources 0..6, the title of no input, captions, mode buttons
    InSourceSpdif,
    InSourceHiLevel,
    InSourcePhone,
    InSourceAux1,
    InSourceAux2,
    InSourceAux3,
    InSourceOff,
    InNoInput,
    InSelectCaption,
    InMixerCaption,
    InHiLevelCaption,
    InAuxCaption,
    InRowId,
    InRowFreq,
    InRowQ,
    InRowGain,
    InRowWork,
    InSelectedInput,
    InHiLevel1Way,
    InHiLevel2Way,
    InAuxMode0,
    InAuxMode1,
    InAuxMode2,
    InPageTitle,

    Count
};

struct StrEntry {
    StrId id;
    const char *zh;
    const char *en;
};

// The whole table, in the order of StrId.
std::span<const StrEntry> StringTable();

// The text in the UI language (g_bChinese), or in the language asked for. Never null; an id
// outside the table gives an empty text.
const char *Tr(StrId id);
const char *Tr(StrId id, bool chinese);

// The text with %1 .. %9 replaced by the arguments (every occurrence; a missing argument leaves
// its mark empty). The arguments are inserted as they are, never read as a format.
std::string TrArgs(StrId id, std::initializer_list<std::string_view> args);
std::string TrArgs(StrId id, bool chinese, std::initializer_list<std::string_view> args);
std::string FillArgs(std::string_view pattern, std::initializer_list<std::string_view> args);
